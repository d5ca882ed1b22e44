// The text preparation driver: one phrase off the front of the text, normalised word by word,
// then the exception dictionary.
#include "pipeline/PrepareText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "normalisation/NormFixture.h"
#include "testkit/TestKit.h"

namespace parlan {
namespace {

using Lines = std::vector<std::string>;

class PrepareTextTest : public ::testing::Test {
 protected:
  // Runs one phrase; the text keeps what is left.
  std::u16string Prepare(RemainingText& text, bool dotAdded) {
    return PrepareText(ctx, text, dotAdded);
  }
  void WriteDictionary(const Lines& lines) { testkit::WriteUtf16Lines(ctx.ExceptFile, lines); }
  const std::u16string& Box(const char* name) { return f.Debug.Advanced().FindControl(name)->Text; }
  void AddAbbreviation(std::u16string key, std::u16string expansion) {
    NormalisationTables& t = f.Tables;
    t.AbbrKeys.push_back(key);
    t.AbbrExpansions.push_back(std::move(expansion));
    t.AbbrCount = static_cast<int16_t>(t.AbbrKeys.size());
    if (t.AbbrInitials.empty() || t.AbbrInitials.back() != key.front()) {
      t.AbbrInitials.push_back(key.front());
      t.AbbrGroupFirst.push_back(t.AbbrCount);
      t.AbbrGroupLast.push_back(t.AbbrCount);
    }
    t.AbbrGroupLast.back() = t.AbbrCount;
  }

  testkit::TempDir dir;
  testkit::NormFixture f;
  ExceptionTables exceptions;
  bool exceptRead = false;
  bool exceptOk = false;
  PrepareContext ctx{f.Ctx, true, exceptions, exceptRead, exceptOk, dir.Path() / "Teste.ttg"};
};

struct ChunkCase {
  const char* Name;
  std::u16string Text;
  bool DotAdded;
  std::u16string Chunk;
  std::u16string Left;
};

[[maybe_unused]] void PrintTo(const ChunkCase& c, std::ostream* os) {
  *os << c.Name;
}

class ChunkTest : public PrepareTextTest, public ::testing::WithParamInterface<ChunkCase> {};

TEST_P(ChunkTest, OnePhrase) {
  RemainingText text(GetParam().Text);
  EXPECT_EQ(Prepare(text, GetParam().DotAdded), GetParam().Chunk);
  EXPECT_EQ(text.Str(), GetParam().Left);
  EXPECT_FALSE(exceptOk);  // no dictionary in this language
  EXPECT_TRUE(exceptRead);
  EXPECT_EQ(Box("txtNormOutput"), GetParam().Chunk);
  EXPECT_EQ(Box("txtExcOutput"), u"");
}

INSTANTIATE_TEST_SUITE_P(
    PrepareText, ChunkTest,
    ::testing::Values(
        ChunkCase{"AddedStopIsDropped", u"Hello world.", true, u"/Hello/world", u""},
        ChunkCase{"OwnStopIsKept", u"Hello world.", false, u"/Hello/world/*.", u""},
        ChunkCase{"LeftoverKeepsItsSpace", u"Hi!there you.", false, u"/Hi/*!", u"there you."},
        ChunkCase{"NoSpaceForEmptyLeftover", u"One. Two!", false, u"/One/*.", u"Two!"},
        ChunkCase{"TwoSpacesGiveEmptyToken", u"One  two.", false, u"/One//two/*.", u""},
        ChunkCase{"LeftoverAtTextEnd", u"a!b", false, u"/a/*!", u"b"},
        ChunkCase{"NumbersSpoken", u"Pi is 3.14!", false, u"/Pi/is/three//point/one/four//*!", u""},
        // Without a phrase end the loop ends when the text runs out.
        ChunkCase{"TextRunsOut", u"no stop here", false, u"/no/stop/here", u""},
        ChunkCase{"EmptyText", u"", false, u"/", u""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(PrepareTextTest, WithoutNormalisationTheTextIsOneChunk) {
  ctx.NormRulesOk = false;
  RemainingText text(u"Hello world. Next!");
  EXPECT_EQ(Prepare(text, true), u"Hello world. Next!");
  EXPECT_TRUE(text.Empty());
  EXPECT_TRUE(exceptRead);  // the dictionary is still read at the first chunk
}

// A phrase-end character among the ignored ones removes the final stop before it is seen.
TEST_F(PrepareTextTest, IgnoredStopDoesNotHangTheLoop) {
  f.Tables.IgnoreChars = u".!";
  RemainingText text(u"Hello there world.");
  EXPECT_EQ(Prepare(text, true), u"/Hello/there/world");
  EXPECT_TRUE(text.Empty());
}

TEST_F(PrepareTextTest, DictionaryLowerCasesEveryToken) {
  WriteDictionary({"EXCEPT", "the --> D@", "END"});
  RemainingText text(u"The CAT, the Dog!");
  f.Tables.SymbolChars = u",";
  EXPECT_EQ(Prepare(text, false), u"/[D@]/cat/*,/[D@]/dog/*!");
  EXPECT_TRUE(exceptOk);
  EXPECT_EQ(Box("txtNormOutput"), u"/The/CAT/*,//the/Dog/*!");
  EXPECT_EQ(Box("txtExcOutput"), u"/[D@]/cat/*,/[D@]/dog/*!");
  EXPECT_EQ(Box("txtExceptAppld"), u"the -> D@\r\nthe -> D@\r\n");
}

// The dictionary is read once, at the first chunk, whatever the result.
TEST_F(PrepareTextTest, DictionaryReadOnce) {
  WriteDictionary({"EXCEPT", "one --> wVn", "END"});
  RemainingText text(u"one. one.");
  EXPECT_EQ(Prepare(text, false), u"/[wVn]/*.");
  WriteDictionary({"EXCEPT", "one --> XX", "END"});
  EXPECT_EQ(Prepare(text, false), u"/[wVn]/*.");
  exceptRead = false;  // the mode was set again
  text = RemainingText(u"one.");
  EXPECT_EQ(Prepare(text, false), u"/[XX]/*.");
}

TEST_F(PrepareTextTest, FailedDictionaryIsNotRetried) {
  RemainingText text(u"a. b.");
  Prepare(text, false);
  WriteDictionary({"EXCEPT", "b --> bi", "END"});
  EXPECT_EQ(Prepare(text, false), u"/b/*.");
  EXPECT_FALSE(exceptOk);
}

// Each pass logs its lines in the fixed order of the passes.
TEST_F(PrepareTextTest, LogLinesInPassOrder) {
  f.AddAlways(u"&", u"and");
  f.Tables.IgnoreChars = u"()";
  f.Tables.SymbolChars = u",";
  AddAbbreviation(u"Dr", u"doctor");
  RemainingText text(u"(Dr&Co),1.5!");
  EXPECT_EQ(Prepare(text, false), u"//doctor//and//Co//*,//one//point//five//*!/");
  EXPECT_EQ(f.Log(), (std::vector<std::u16string>{u"always& and", u"ignore (", u"ignore )",
                                                  u"Pss ,", u"eop dp say point", u"no   1 one",
                                                  u"no   5 five", u"isol Dr doctor"}));
}

TEST_F(PrepareTextTest, AddedStopAfterAbbreviationPass) {
  AddAbbreviation(u"Dr", u"doctor");
  RemainingText text(u"Dr Who.");
  EXPECT_EQ(Prepare(text, true), u"//doctor///Who//");
}

TEST_F(PrepareTextTest, NothingWrittenWhenDebuggingIsBarred) {
  WriteDictionary({"EXCEPT", "the --> D@", "END"});
  f.Ctx.NeverDebug = true;
  ctx.Norm.NeverDebug = true;
  f.Tables.SymbolChars = u",";
  RemainingText text(u"the 1, 2.5.");
  EXPECT_EQ(Prepare(text, false), u"/[D@]/one/*,/two/point/five/*.");
  EXPECT_FALSE(f.Debug.Advanced().Created());
  EXPECT_FALSE(f.Debug.Debug().Created());
}

// A word of up to a thousand characters is one word: a phrase end beyond position 599 cuts it
// at 600.
TEST_F(PrepareTextTest, LongWordIsCutAtSixHundred) {
  std::u16string word(700, u'a');
  word[649] = u'!';
  RemainingText text(word + u" b.");
  EXPECT_EQ(Prepare(text, false), u"/" + std::u16string(599, u'a') + u"/*a");
  EXPECT_EQ(text.Str(), std::u16string(49, u'a') + u"!" + std::u16string(50, u'a') + u" b.");
}

// A longer word is read in pieces of a thousand characters, as if a space stood after each.
TEST_F(PrepareTextTest, VeryLongWordIsReadInPieces) {
  RemainingText text(std::u16string(1500, u'x') + u"!y.");
  EXPECT_EQ(Prepare(text, false),
            u"/" + std::u16string(1000, u'x') + u"/" + std::u16string(500, u'x') + u"/*!");
  EXPECT_EQ(text.Str(), u"y.");
  // The rest of a piece after its phrase end is put back as a word of its own.
  text = RemainingText(std::u16string(500, u'x') + u"!" + std::u16string(499, u'y') + u"zw.");
  EXPECT_EQ(Prepare(text, false), u"/" + std::u16string(500, u'x') + u"/*!");
  EXPECT_EQ(text.Str(), std::u16string(499, u'y') + u" zw.");
}

// A long text is worked through phrase by phrase; every word is taken once.
TEST_F(PrepareTextTest, LongTextPhraseByPhrase) {
  std::u16string input;
  for (int i = 0; i < 2000; ++i) input += u"Word a.b! ";
  RemainingText text(input);
  bool dotAdded = false;
  int phrases = 0;
  while (!text.Empty()) {
    EnsureFinalStop(f.Tables, text, dotAdded);
    ASSERT_EQ(Prepare(text, dotAdded), u"/Word/a/dot/b/*!");
    ++phrases;
  }
  EXPECT_EQ(phrases, 2000);
}

// The demonstration language as checked in: its normalisation file and dictionary prepare a
// paragraph with abbreviations, symbols, ignored characters, numbers and dictionary words.
TEST(DemoLanguageTest, PreparesAParagraph) {
  const std::filesystem::path folder =
      std::filesystem::path(PARLAN_TEST_DATA) / "root" / "Parlan Demo";
  testkit::NormFixture f;
  ASSERT_TRUE(LoadNormalisationRules(f.Ctx, folder / "Demon.ttg"));
  EXPECT_EQ(f.Tables.AbbrInitials, u"DMkS");
  EXPECT_EQ(f.Tables.AlwaysCount, 3);
  ExceptionTables exceptions;
  bool exceptRead = false, exceptOk = false;
  PrepareContext ctx{f.Ctx, true, exceptions, exceptRead, exceptOk, folder / "Demoe.ttg"};

  RemainingText text(u"Dr Smith met (the) Mr Jones & co, e.g. at 3.5 km: \"1984\"! Who? two");
  bool dotAdded = false;
  std::vector<std::u16string> chunks;
  while (!text.Empty() && chunks.size() < 10) {
    EnsureFinalStop(f.Tables, text, dotAdded);
    chunks.push_back(PrepareText(ctx, text, dotAdded));
  }
  EXPECT_TRUE(exceptOk);
  EXPECT_EQ(chunks, (std::vector<std::u16string>{
                        u"/doctor/smith/met/[D@]/mister/jones/and/co/*,/for/example/at/three/"
                        u"point/five/kilo/metres/*:",
                        u"/[w'0n]/nine/eight/four/*!", u"/[h'u:]/*?", u"/[t'u:]/"}));
}

}  // namespace
}  // namespace parlan
