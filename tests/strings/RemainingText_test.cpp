// The still-to-be-spoken part of a text: words off the front, leftovers back in front.
#include "strings/RemainingText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parlan {
namespace {

struct WordsCase {
  const char* Name;
  std::u16string Text;
  std::vector<std::u16string> Words;  // taken one by one until the text is empty
};

[[maybe_unused]] void PrintTo(const WordsCase& c, std::ostream* os) {
  *os << c.Name;
}

const std::vector<WordsCase> kWordsCases = {
    {"NoSpaceGivesWholeText", u"word", {u"word"}},
    {"TwoWords", u"one two", {u"one", u"two"}},
    {"TwoSpacesGiveAnEmptyWord", u"a  b", {u"a", u"", u"b"}},
    {"LeadingSpaceGivesAnEmptyWord", u" a", {u"", u"a"}},
    {"TrailingSpaceEndsTheText", u"a ", {u"a"}},
    {"OnlySpace", u" ", {u""}},
    {"TabIsNoSeparator", u"a\tb c", {u"a\tb", u"c"}},
    {"NonAscii", u"\u03ba\u03b1\u03b9 \u00fcber", {u"\u03ba\u03b1\u03b9", u"\u00fcber"}},
};

class TakeFirstWordTest : public testing::TestWithParam<WordsCase> {};

TEST_P(TakeFirstWordTest, WordsComeOffTheFront) {
  RemainingText text(GetParam().Text);
  std::vector<std::u16string> words;
  while (!text.Empty()) words.push_back(text.TakeFirstWord());
  EXPECT_EQ(words, GetParam().Words);
  EXPECT_EQ(text.Size(), 0u);
  EXPECT_EQ(text.Str(), u"");
  // Taking from an empty text gives the empty word and keeps it empty.
  EXPECT_EQ(text.TakeFirstWord(), u"");
  EXPECT_TRUE(text.Empty());
}

INSTANTIATE_TEST_SUITE_P(Texts, TakeFirstWordTest, testing::ValuesIn(kWordsCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(RemainingText, TakeLeavesWhatFollowsTheSpace) {
  RemainingText text(u"one two  three");
  EXPECT_EQ(text.TakeFirstWord(), u"one");
  EXPECT_EQ(text.Str(), u"two  three");
  EXPECT_EQ(text.Size(), 10u);
  EXPECT_EQ(text.Back(), u'e');
}

struct PrependCase {
  const char* Name;
  std::u16string Text;
  int Taken;  // words taken before the prepend
  std::u16string Put;
  std::u16string Expected;
};

[[maybe_unused]] void PrintTo(const PrependCase& c, std::ostream* os) {
  *os << c.Name;
}

const std::vector<PrependCase> kPrependCases = {
    {"RoomInFront", u"alpha beta gamma", 1, u"xy ", u"xy beta gamma"},
    {"ExactlyTheRoom", u"abc def", 1, u"wxyz", u"wxyzdef"},
    {"NoRoomAtStart", u"abc def", 0, u"more ", u"more abc def"},
    {"MoreThanTheRoom", u"ab cd", 1, u"longer text ", u"longer text cd"},
    {"AfterTakingEverything", u"abc", 1, u"x.", u"x."},
    {"AfterTakingEverythingUpToASpace", u"abc ", 1, u"x.", u"x."},
    {"EmptyPrepend", u"ab cd", 1, u"", u"cd"},
    {"IntoEmptyText", u"", 0, u"new", u"new"},
};

class PrependTest : public testing::TestWithParam<PrependCase> {};

TEST_P(PrependTest, TextIsPutBackInFront) {
  const PrependCase& c = GetParam();
  RemainingText text(c.Text);
  for (int i = 0; i < c.Taken; ++i) text.TakeFirstWord();
  text.Prepend(c.Put);
  EXPECT_EQ(text.Str(), c.Expected);
  EXPECT_EQ(text.Size(), c.Expected.size());
  EXPECT_EQ(text.Empty(), c.Expected.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, PrependTest, testing::ValuesIn(kPrependCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(RemainingText, PrependedWordsAreTakenAgain) {
  RemainingText text(u"one two three");
  EXPECT_EQ(text.TakeFirstWord(), u"one");
  text.Prepend(u"x y ");
  EXPECT_EQ(text.TakeFirstWord(), u"x");
  EXPECT_EQ(text.TakeFirstWord(), u"y");
  EXPECT_EQ(text.TakeFirstWord(), u"two");
  text.Prepend(u"a much longer leftover than the room ");
  EXPECT_EQ(text.Str(), u"a much longer leftover than the room three");
}

struct TrimCase {
  const char* Name;
  std::u16string Text;
  int Taken;
  std::u16string Expected;
};

[[maybe_unused]] void PrintTo(const TrimCase& c, std::ostream* os) {
  *os << c.Name;
}

const std::vector<TrimCase> kTrimCases = {
    {"TrailingSpaces", u"ab  ", 0, u"ab"},
    {"NoSpaces", u"ab", 0, u"ab"},
    {"OnlySpaces", u"   ", 0, u""},
    {"InnerSpacesStay", u"a b ", 0, u"a b"},
    {"TabStays", u"a\t", 0, u"a\t"},
    {"AfterTakingAWord", u"one two  ", 1, u"two"},
    {"TrimStopsAtTheTakenPart", u"one    ", 1, u""},
    {"Empty", u"", 0, u""},
};

class RightTrimTest : public testing::TestWithParam<TrimCase> {};

TEST_P(RightTrimTest, TrailingSpacesGo) {
  const TrimCase& c = GetParam();
  RemainingText text(c.Text);
  for (int i = 0; i < c.Taken; ++i) text.TakeFirstWord();
  text.RightTrimSpaces();
  EXPECT_EQ(text.Str(), c.Expected);
  EXPECT_EQ(text.Empty(), c.Expected.empty());
  // The text stays usable after the trim.
  text.Append(u"z");
  EXPECT_EQ(text.Str(), c.Expected + u"z");
  EXPECT_EQ(text.Back(), u'z');
}

INSTANTIATE_TEST_SUITE_P(Cases, RightTrimTest, testing::ValuesIn(kTrimCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(RemainingText, AppendAndClear) {
  RemainingText text(u"a b");
  text.TakeFirstWord();
  text.Append(u" c");
  EXPECT_EQ(text.Str(), u"b c");
  text.Clear();
  EXPECT_TRUE(text.Empty());
  EXPECT_EQ(text.View(), u"");
}

TEST(RemainingText, BackOfAnEmptyTextIsNoLeftoverCharacter) {
  RemainingText text(u"ab. ");
  EXPECT_EQ(text.TakeFirstWord(), u"ab.");
  ASSERT_TRUE(text.Empty());
  EXPECT_EQ(text.Back(), u'\0');
  RemainingText none;
  EXPECT_EQ(none.Back(), u'\0');
}

}  // namespace
}  // namespace parlan
