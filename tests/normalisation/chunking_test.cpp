// Cutting text into phrases: final stop, first word, phrase-end test and the split of a word.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "normalisation/NormFixture.h"
#include "strings/Unicode.h"

namespace parlan {
namespace {

struct SplitCase {
  const char* Name;
  std::u16string Word;
  std::u16string Result;
  std::u16string Leftover;
  bool Ended;
  std::vector<std::u16string> Log = {};
};

[[maybe_unused]] void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << c.Name;
}

class SplitTest : public ::testing::TestWithParam<SplitCase> {
 protected:
  testkit::NormFixture f;
};

TEST_P(SplitTest, DotPhraseEndingLanguage) {
  const SplitCase& c = GetParam();
  std::u16string word = c.Word;
  bool ended = !c.Ended;
  ASSERT_TRUE(HasPhraseEnd(f.Tables, word));
  EXPECT_EQ(SplitAtPhraseEnd(f.Ctx, word, ended), c.Result);
  EXPECT_EQ(word, c.Leftover);
  EXPECT_EQ(ended, c.Ended);
  EXPECT_EQ(f.Log(), c.Log);
}

INSTANTIATE_TEST_SUITE_P(
    Chunking, SplitTest,
    ::testing::Values(
        SplitCase{"FinalDot", u"end.", u"end/*.", u"", true},
        SplitCase{"DecimalPoint", u"3.5", u"3/point/5", u"", false, {u"eop dp say point"}},
        SplitCase{"DecimalThenFinal", u"3.5.", u"3/point/5/*.", u"", true, {u"eop dp say point"}},
        SplitCase{"PlainDot", u"file.name", u"file/dot/name", u"", false, {u"eop dot say dot"}},
        SplitCase{"LeadingDecimal", u".5", u"/point/5", u"", false, {u"eop dp say point"}},
        SplitCase{"LeadingPlainDot", u".x", u"/dot/x", u"", false, {u"eop dot say dot"}},
        SplitCase{"PhraseEndInside", u"Hi!there", u"Hi/*!", u"there", true},
        SplitCase{"DotBeforePhraseEnd", u"a.b!", u"a/dot/b/*!", u"", true, {u"eop dot say dot"}},
        SplitCase{"DotsAfterPhraseEndWait", u"x!y.z", u"x/*!", u"y.z", true},
        SplitCase{"EarliestPhraseEndCharacterWins", u"a;b!c", u"a/*;", u"b!c", true},
        SplitCase{"DotBeforeBlankEndsPhrase", u"a._b", u"a/*.", u"_b", true},
        SplitCase{"DotBeforeTabEndsPhrase", u"a.\tb!", u"a/*.", u"\tb!", true},
        SplitCase{"TwoDots",
                  u"a..b",
                  u"a/dot//dot/b",
                  u"",
                  false,
                  {u"eop dot say dot", u"eop dot say dot"}},
        SplitCase{"DigitThenDotThenLetter", u"3.x", u"3/dot/x", u"", false, {u"eop dot say dot"}},
        SplitCase{"PhraseEndFirst", u"!x", u"/*!", u"x", true},
        SplitCase{"OnlyPhraseEnd", u"?", u"/*?", u"", true}),
    [](const auto& info) { return std::string(info.param.Name); });

class ChunkingTest : public ::testing::Test {
 protected:
  std::u16string Split(std::u16string& word, bool& ended) {
    return SplitAtPhraseEnd(f.Ctx, word, ended);
  }
  testkit::NormFixture f;
};

TEST_F(ChunkingTest, DotListedAsPhraseEndIsNeverClassified) {
  f.Tables.PhraseEndChars = u"!.";
  std::u16string word = u"3.5";
  bool ended = false;
  EXPECT_EQ(Split(word, ended), u"3/*.");
  EXPECT_EQ(word, u"5");
  EXPECT_TRUE(ended);
  EXPECT_TRUE(f.Log().empty());
}

TEST_F(ChunkingTest, ForeignDecimalSeparatorBecomesPoint) {
  f.Tables.DecimalPoint = u",";
  f.Tables.DecimalPointNotDot = true;
  std::u16string word = u"3,25.";
  bool ended = false;
  EXPECT_EQ(Split(word, ended), u"3/point/25/*.");
  EXPECT_TRUE(ended);
  EXPECT_EQ(f.Log(), (std::vector<std::u16string>{u"eop dpr ", u"eop dp say point"}));
}

TEST_F(ChunkingTest, ForeignDecimalSeparatorSecondToLastIsRemoved) {
  f.Tables.DecimalPoint = u",";
  f.Tables.DecimalPointNotDot = true;
  std::u16string word = u"a!3,5";
  bool ended = false;
  EXPECT_EQ(Split(word, ended), u"a/*!");
  EXPECT_EQ(word, u"35");
  EXPECT_TRUE(ended);
  EXPECT_EQ(f.Log(), (std::vector<std::u16string>{u"eop rmd nsdp "}));
}

TEST_F(ChunkingTest, IgnoredForeignSeparatorIsLeftToTheIgnorePass) {
  f.Tables.DecimalPoint = u",";
  f.Tables.DecimalPointNotDot = true;
  f.Tables.DecimalPointIgnored = true;
  std::u16string word = u"3,25.";
  bool ended = false;
  EXPECT_EQ(Split(word, ended), u"3,25/*.");
}

// Removing a separator moves the phrase-end character forward; the cut stays where it was
// noted, on a later character or past the end of the word.
TEST_F(ChunkingTest, CutPositionIsNotRecomputed) {
  f.Tables.DecimalPoint = u",";
  f.Tables.DecimalPointNotDot = true;
  std::u16string word = u"a,!b";
  bool ended = false;
  EXPECT_EQ(Split(word, ended), u"a!/*b");
  EXPECT_EQ(word, u"");
  word = u"a,!";
  ended = false;
  EXPECT_EQ(Split(word, ended), u"a!/*");
  EXPECT_EQ(word, u"");
  EXPECT_TRUE(ended);
  word = u",,,,!";
  EXPECT_EQ(Split(word, ended), u"!/*");
  EXPECT_EQ(word, u"");
}

TEST_F(ChunkingTest, LongWordIsCutAtSixHundred) {
  std::u16string word(700, u'a');
  word[649] = u'!';
  bool ended = false;
  std::u16string result = Split(word, ended);
  EXPECT_EQ(result, std::u16string(599, u'a') + u"/*a");
  EXPECT_EQ(word.size(), 100u);
  EXPECT_TRUE(ended);
}

TEST_F(ChunkingTest, DotWordHoldingADotIsSpokenOnce) {
  f.Tables.DotWord = u"dot.";
  f.Tables.DecimalPointWord = u"po.int";
  std::u16string word = u"a.b.c!";
  bool ended = false;
  EXPECT_EQ(Split(word, ended), u"a/dot./b/dot./c/*!");
  word = u"1.5";
  EXPECT_EQ(Split(word, ended), u"1/po.int/5");
  EXPECT_FALSE(ended);
}

TEST_F(ChunkingTest, LanguageDigitsAroundADot) {
  f.Tables.Digits.OwnDigits = true;
  f.Tables.Digits.DigitStrings[3] = u"\u0663";
  std::u16string word = u"\u0663.\u0663";
  bool ended = false;
  EXPECT_EQ(Split(word, ended), u"\u0663/point/\u0663");
}

TEST_F(ChunkingTest, ClassifyDot) {
  struct Case {
    std::u16string Word;
    size_t D;
    int Class;
  };
  for (const Case& c :
       {Case{u"a.", 2, kFinalDot}, Case{u"a. b", 2, kFinalDot}, Case{u"a._", 2, kFinalDot},
        Case{u"3.5", 2, kDecimalDot}, Case{u"a.5", 2, kPlainDot}, Case{u"3.a", 2, kPlainDot},
        Case{u".5", 1, kDecimalDot}, Case{u".a", 1, kPlainDot}, Case{u".", 1, kFinalDot}}) {
    EXPECT_EQ(ClassifyDot(f.Tables, c.Word, c.D), c.Class) << ToUtf8(c.Word) << " at " << c.D;
  }
}

TEST_F(ChunkingTest, HasPhraseEnd) {
  EXPECT_TRUE(HasPhraseEnd(f.Tables, u"a.b"));
  EXPECT_TRUE(HasPhraseEnd(f.Tables, u"a:b"));
  EXPECT_FALSE(HasPhraseEnd(f.Tables, u"a,b"));
  EXPECT_FALSE(HasPhraseEnd(f.Tables, u""));
  f.Tables.PhraseEndChars.clear();
  EXPECT_FALSE(HasPhraseEnd(f.Tables, u"a!b"));
  EXPECT_TRUE(HasPhraseEnd(f.Tables, u"a."));
}

TEST_F(ChunkingTest, NothingIsLoggedWhenDebuggingIsBarred) {
  f.Ctx.NeverDebug = true;
  std::u16string word = u"a.b.5.5!";
  bool ended = false;
  Split(word, ended);
  EXPECT_TRUE(f.Log().empty());
  EXPECT_FALSE(f.Debug.Advanced().Created());
}

TEST_F(ChunkingTest, EnsureFinalStop) {
  struct Case {
    std::u16string In, Out;
    bool Added;
  };
  for (const Case& c :
       {Case{u"Hello world", u"Hello world.", true},
        Case{u"Hello world!  ", u"Hello world!", false}, Case{u"end.", u"end.", false},
        Case{u"   ", u"", false}, Case{u"", u"", false}, Case{u"a,", u"a,.", true}}) {
    RemainingText text(c.In);
    bool added = false;
    EnsureFinalStop(f.Tables, text, added);
    EXPECT_EQ(text.Str(), c.Out) << ToUtf8(c.In);
    EXPECT_EQ(added, c.Added) << ToUtf8(c.In);
  }
}

TEST_F(ChunkingTest, TakeFirstWord) {
  RemainingText text(u"One  two three");
  std::vector<std::u16string> words;
  while (!text.Empty()) words.push_back(TakeFirstWord(text));
  EXPECT_EQ(words, (std::vector<std::u16string>{u"One", u"", u"two", u"three"}));
}

TEST_F(ChunkingTest, TakeFirstWordOfBoundedLength) {
  RemainingText text(u"abcdefg hij k");
  std::vector<std::u16string> words;
  while (!text.Empty()) words.push_back(TakeFirstWord(text, 3));
  EXPECT_EQ(words, (std::vector<std::u16string>{u"abc", u"def", u"g", u"hij", u"k"}));
  text = RemainingText(u"ab");
  EXPECT_EQ(TakeFirstWord(text, 0), u"a");  // at least one character is taken
  EXPECT_EQ(text.Str(), u"b");
}

}  // namespace
}  // namespace parlan
