// Converting prepared phrases: token kinds, marks for the two kinds of engine, loading on first
// use and the flags the speak pipeline reads.
#include <gtest/gtest.h>

#include "LetterRulesFixture.h"

namespace parlan::testing {
namespace {

using ::testing::ElementsAre;

class TextToPhonemesTest : public LetterRulesTest {
 protected:
  std::filesystem::path ruleFile;

  void SetUp() override { ruleFile = WriteRules(SmallRuleFile()); }

  std::string Phonemes(const std::string& chunk) {
    std::u16string text = U16(chunk);
    std::u16string result = TextToPhonemes(ctx, text, ruleFile);
    EXPECT_EQ(result, text);  // the caller's variable receives the result too
    return ToUtf8(result);
  }
};

struct ChunkCase {
  std::string chunk;
  std::string voice4;  // through a SAPI 4 engine: marks stay as they are
  std::string voice5;  // through a SAPI 5 voice: marks rewritten
};

// "]=" is written "] =": test listings are read back inside brackets that "]=]" would end.
[[maybe_unused]] void PrintTo(const ChunkCase& c, std::ostream* os) {
  for (size_t i = 0; i < c.chunk.size(); ++i)
    *os << c.chunk[i]
        << (c.chunk[i] == ']' && i + 1 < c.chunk.size() && c.chunk[i + 1] == '=' ? " " : "");
}

class ChunkTest : public TextToPhonemesTest, public ::testing::WithParamInterface<ChunkCase> {};

TEST_P(ChunkTest, ConvertsForBothEngineKinds) {
  ctx.NativeEngineKind = 1;
  EXPECT_EQ(Phonemes(GetParam().chunk), GetParam().voice4);
  ctx.NativeEngineKind = 2;
  EXPECT_EQ(Phonemes(GetParam().chunk), GetParam().voice5);
}

INSTANTIATE_TEST_SUITE_P(
    Chunks, ChunkTest,
    ::testing::Values(ChunkCase{"/ca/*./", " k a*.", " k a ."}, ChunkCase{"/ac/", " a s", " a s"},
                      ChunkCase{"", "", ""}, ChunkCase{"///", "", ""},
                      ChunkCase{"/[hoU]/", "hoU", "hoU"}, ChunkCase{"ca", " k a", " k a"},
                      ChunkCase{"//ca//ac//", " k a a s", " k a a s"},
                      ChunkCase{"/ca/*;/", " k a*;", " k a ."},
                      ChunkCase{"/ca/*,/ac/*?/", " k a*, a s*?", " k a , a s ?"},
                      ChunkCase{"/[kA]/[]/ca/", "kA k a", "kA k a"},
                      ChunkCase{"/ca/[]", " k a", " k a"}, ChunkCase{"/[]/[]/ac", " a s", " a s"},
                      ChunkCase{"/<emph>/ca/", "<emph> k a", "<emph> k a"},
                      ChunkCase{"/*/", "*", " ."}));

TEST_F(TextToPhonemesTest, WordsAreConvertedEachOnItsOwn) {
  ruleFile = WriteRules(RuleFile({}, {"[a]_=A", "[a]=a", "_[b]=B", "[b]=b"}), "Ownr.ttg");
  EXPECT_EQ(Phonemes("/a/b/"), " A B");
  EXPECT_EQ(Phonemes("/ab/"), " a b");
}

TEST_F(TextToPhonemesTest, PhonemeBlocksAndMarksJoinWithoutSpace) {
  ruleFile = WriteRules(RuleFile({}, {"t,h[e]=i", "[e]=e", "[th]=D", "[t]=t", "[a]=a", "[c]=k"}),
                        "Joinr.ttg");
  EXPECT_EQ(Phonemes("/the/[dOg]/*,/"), " D idOg*,");
  EXPECT_EQ(Phonemes("/cat/*;/"), " k a t*;");
}

TEST_F(TextToPhonemesTest, LoadsOnFirstUseOnly) {
  EXPECT_EQ(Phonemes("/ca/"), " k a");
  std::vector<std::string> lines = BoxLines("txtRulesAppld");
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Loading Rules");
  EXPECT_EQ(lines[1], "LANGUAGE=Demo");
  testkit::WriteUtf16Lines(ruleFile, RuleFile({}, {"[c]=C", "[a]=A"}));
  EXPECT_EQ(Phonemes("/ca/"), " k a");
  tables.RulesLoaded = false;  // as setting the mode does
  EXPECT_EQ(Phonemes("/ca/"), " C A");
}

TEST_F(TextToPhonemesTest, FailedLoadIsTriedAgainAtTheNextChunk) {
  ruleFile = dir.Path() / "Parlan Later" / "Laterr.ttg";
  EXPECT_EQ(Phonemes("/ca/*./"), "*.");
  EXPECT_FALSE(tables.RulesLoadOk);
  EXPECT_FALSE(tables.RulesLoaded);
  EXPECT_FALSE(tables.ConversionOk);
  EXPECT_THAT(BoxLines("txtRulesAppld"),
              ElementsAre("Loading Rules", "Error in Load to Letter Rules",
                          "Rule Index is too large, can't find rule for c"));
  testkit::WriteUtf16Lines(ruleFile, SmallRuleFile());
  debug.Click("frmAdvanced", "cmdClear");
  EXPECT_EQ(Phonemes("/ca/*./"), " k a*.");
  EXPECT_TRUE(tables.RulesLoadOk);
  EXPECT_TRUE(tables.ConversionOk);
  EXPECT_EQ(BoxLines("txtRulesAppld").front(), "Loading Rules");
}

// A word without a rule is left out wherever it stands; the phrase is still spoken, and the
// failing word's error is recorded.
TEST_F(TextToPhonemesTest, FailedWordIsLeftOutAndThePhraseStillSpoken) {
  const std::pair<const char*, const char*> cases[] = {{"/zz/ca/", " k a"},
                                                       {"/ca/zz/", " k a"},
                                                       {"/ca/cz/[dOg]/", " k adOg"},
                                                       {"/ca/*,/zz/*./", " k a*,*."}};
  for (const auto& [chunk, phonemes] : cases) {
    error.Text.clear();
    EXPECT_EQ(Phonemes(chunk), phonemes) << chunk;
    EXPECT_TRUE(tables.ConversionOk) << chunk;
    EXPECT_NE(ToUtf8(error.Text).find("Missing Rule"), std::string::npos) << chunk;
  }
}

TEST_F(TextToPhonemesTest, PhraseOfFailedWordsOnlyStaysFailed) {
  EXPECT_EQ(Phonemes("/zz/*./"), "*.");
  EXPECT_FALSE(tables.ConversionOk);
  EXPECT_EQ(ToUtf8(error.Text), "Missing Rule with right focus = zz");
}

TEST_F(TextToPhonemesTest, ChunkWithoutWordsIsNotHeldBackByAnEarlierFailure) {
  Phonemes("/zz/");
  ASSERT_FALSE(tables.ConversionOk);
  EXPECT_EQ(Phonemes("/[hoU]/*./"), "hoU*.");
  EXPECT_TRUE(tables.ConversionOk);
}

TEST_F(TextToPhonemesTest, NeverDebugWritesNothingButTheRuleSetClear) {
  ctx.NeverDebug = true;
  debug.Box(debug.Advanced(), "txtRuleSet").Text = u"stale rule set";
  EXPECT_EQ(Phonemes("/ca/zz/"), " k a");
  EXPECT_EQ(RuleSetBox(), "");
  EXPECT_EQ(RulesAppliedBox(), "");
  EXPECT_FALSE(debug.Advanced().Visible());
  EXPECT_FALSE(debug.Debug().Created());
}

TEST(MarksToSapi5Test, RewritesEveryMark) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u" h e l oU*, w 3: l d*.", u" h e l oU , w 3: l d ."},
      {u"*?", u" ?"},
      {u" k a t*! d O g", u" k a t ! d O g"},
      {u"*;*:", u" . ."},
      {u"*x", u" ."},
      {u"**", u" ."},
      {u" k a t", u" k a t"},
      {u"", u""},
      {u"*", u" ."},
      {u" k a*", u" k a ."},
      {u"*,*", u" , ."},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(MarksToSapi5(in), out) << ToUtf8(in);
}

}  // namespace
}  // namespace parlan::testing
