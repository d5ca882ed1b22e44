// The tokenizer of prepared text and the small character tests shared by the passes.
#include "strings/StringFunctions.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace parlan {
namespace {

struct Token {
  std::u16string Text;
  int32_t Kind;
};

struct TokenCase {
  const char* Name;
  std::u16string Input;
  std::vector<Token> Expected;  // then the empty token (kind 4) with nothing left
};

[[maybe_unused]] void PrintTo(const TokenCase& c, std::ostream* os) {
  *os << c.Name;
}

const std::vector<TokenCase> kTokenCases = {
    {"MixedSequence",
     u"//abc/[xy]/*,/<t>",
     {{u"abc", kWord}, {u"xy", kPhonemeBlock}, {u"*,", kMark}, {u"<t>", kTag}}},
    {"SingleWord", u"abc", {{u"abc", kWord}}},
    {"UnclosedBlockLosesLastCharacter", u"[xy", {{u"x", kPhonemeBlock}}},
    {"LoneBracketIsEmptyBlock", u"[", {{u"", kPhonemeBlock}}},
    {"EmptyBlock", u"[]", {{u"", kPhonemeBlock}}},
    {"TrailingSlash", u"/abc/", {{u"abc", kWord}}},
    {"EmptyTokensBetweenWordsAreSkipped", u"/a///b", {{u"a", kWord}, {u"b", kWord}}},
    {"MarkAtEnd", u"/word/*.", {{u"word", kWord}, {u"*.", kMark}}},
    {"TagWithSpaces", u"/<x y>/z", {{u"<x y>", kTag}, {u"z", kWord}}},
    {"WordKeepsInnerBrackets", u"a[b]", {{u"a[b]", kWord}}},
    {"NonAsciiWord",
     u"/\u03b1\u03b2\u03b3/[\u03b4]",
     {{u"\u03b1\u03b2\u03b3", kWord}, {u"\u03b4", kPhonemeBlock}}},
    {"Empty", u"", {}},
    {"OnlySlashes", u"///", {}},
};

class NextTokenTest : public testing::TestWithParam<TokenCase> {};

TEST_P(NextTokenTest, ShrinkingTextGivesEveryTokenThenEmpty) {
  const TokenCase& c = GetParam();
  std::u16string text = c.Input;
  for (const Token& want : c.Expected) {
    int32_t kind = 0;
    EXPECT_EQ(NextToken(text, kind), want.Text);
    EXPECT_EQ(kind, want.Kind);
  }
  int32_t kind = 0;
  EXPECT_EQ(NextToken(text, kind), u"");
  EXPECT_EQ(kind, kWord);
  EXPECT_EQ(text, u"");
  // Asking again past the end stays empty.
  kind = 0;
  EXPECT_EQ(NextToken(text, kind), u"");
  EXPECT_EQ(kind, kWord);
}

TEST_P(NextTokenTest, ReadingAtPositionGivesTheSameTokens) {
  const TokenCase& c = GetParam();
  size_t pos = 0;
  for (const Token& want : c.Expected) {
    int32_t kind = 0;
    EXPECT_EQ(NextTokenAt(c.Input, pos, kind), want.Text);
    EXPECT_EQ(kind, want.Kind);
    EXPECT_LE(pos, c.Input.size());
  }
  int32_t kind = 0;
  EXPECT_EQ(NextTokenAt(c.Input, pos, kind), u"");
  EXPECT_EQ(kind, kWord);
  EXPECT_EQ(pos, c.Input.size());
}

INSTANTIATE_TEST_SUITE_P(Sequences, NextTokenTest, testing::ValuesIn(kTokenCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(NextToken, RemovesOnlyTheTokenAndItsSeparator) {
  std::u16string text = u"/abc/def/ghi";
  int32_t kind = 0;
  EXPECT_EQ(NextToken(text, kind), u"abc");
  EXPECT_EQ(text, u"def/ghi");
}

TEST(NextTokenAt, PositionOutsideTheTextGivesEmpty) {
  std::u16string text = u"abc";
  size_t pos = 10;
  int32_t kind = 0;
  EXPECT_EQ(NextTokenAt(text, pos, kind), u"");
  EXPECT_EQ(kind, kWord);
}

struct FlagCase {
  std::u16string Input;
  bool Expected;
};

TEST(IsBlank, SpaceTabUnderscoreAndEmpty) {
  const std::vector<FlagCase> cases = {
      {u" ", true},
      {u"\t", true},
      {u"_", true},
      {u"", true},
      {u"a", false},
      {u"\n", false},
      {u"\u00a0", false},
      {u" \t", true},  // a run of the blank string itself
                       // occurs in it
      {u"_ ", false},  // not in that order
      {u"  ", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsBlank(c.Input), c.Expected) << "input size " << c.Input.size();
}

TEST(ReverseText, Cases) {
  const std::vector<std::pair<std::u16string, std::u16string>> cases = {
      {u"abc", u"cba"},
      {u"", u""},
      {u"a", u"a"},
      {u"ab ", u" ba"},
      {u"\u03b1\u03b2", u"\u03b2\u03b1"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(ReverseText(in), out);
}

TEST(IsDigitChar, AsciiDigitsWithoutOwnDigits) {
  const std::vector<FlagCase> cases = {
      {u"7", true},   {u"0", true},  {u"9", true},       {u"", true}, {u"a", false},
      {u" ", false},  {u"-", false}, {u"\u0660", false},  // Arabic-Indic zero is no digit here
      {u"34", true},                                      // a run of "0123456789" occurs in it
      {u"43", false},
  };
  DigitSet none;
  none.DigitStrings[0] = u"\u0660";  // ignored while OwnDigits is not set
  for (const auto& c : cases) {
    EXPECT_EQ(IsDigitChar(c.Input), c.Expected)
        << static_cast<int>(c.Input.empty() ? 0 : c.Input[0]);
    EXPECT_EQ(IsDigitChar(c.Input, none), c.Expected);
  }
}

TEST(IsDigitChar, OwnDigitsAddTheLanguagesDigits) {
  DigitSet own;
  own.OwnDigits = true;
  for (int d = 0; d < 10; ++d) own.DigitStrings[d] = std::u16string(1, char16_t(0x0660 + d));
  const std::vector<FlagCase> cases = {
      {u"\u0660", true},  // the language's own zero
      {u"\u0669", true}, {u"7", true}, {u"", true}, {u"\u066a", false}, {u"x", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsDigitChar(c.Input, own), c.Expected)
        << static_cast<int>(c.Input.empty() ? 0 : c.Input[0]);
}

TEST(IsDigitChar, OwnDigitStringsLeftEmptyMatchNothingElse) {
  DigitSet own;
  own.OwnDigits = true;
  own.DigitStrings[3] = u"\u0663";
  EXPECT_TRUE(IsDigitChar(u"\u0663", own));
  EXPECT_FALSE(IsDigitChar(u"q", own));
}

TEST(RemoveSpaces, OnlyU0020IsRemoved) {
  const std::vector<std::pair<std::u16string, std::u16string>> cases = {
      {u" k a t", u"kat"},        {u"", u""},          {u"   ", u""}, {u"a\tb", u"a\tb"},
      {u"a\u00a0b", u"a\u00a0b"}, {u"a \n b", u"a\nb"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(RemoveSpaces(in), out);
}

struct InStrCase {
  std::u16string Hay;
  std::u16string Needle;
  size_t Start;
  size_t Expected;
};

TEST(InStr, OneBasedPositionsFromStart) {
  const std::vector<InStrCase> cases = {
      {u"abcabc", u"bc", 1, 2}, {u"abcabc", u"bc", 2, 2}, {u"abcabc", u"bc", 3, 5},
      {u"abcabc", u"bc", 6, 0}, {u"abcabc", u"x", 1, 0},  {u"abc", u"", 1, 0},
      {u"", u"a", 1, 0},        {u"abc", u"a", 0, 0},     {u"abc", u"c", 3, 3},
      {u"abc", u"c", 4, 0},     {u"abc", u"abcd", 1, 0},  {u"abc", u"abc", 1, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(InStr(c.Hay, c.Needle, c.Start), c.Expected) << "start " << c.Start;
  EXPECT_EQ(InStr(u"xyz", u"z"), 3u);
}

TEST(InStrChar, Cases) {
  EXPECT_EQ(InStrChar(u"abc", u'a'), 1u);
  EXPECT_EQ(InStrChar(u"abc", u'c'), 3u);
  EXPECT_EQ(InStrChar(u"abc", u'd'), 0u);
  EXPECT_EQ(InStrChar(u"", u'a'), 0u);
}

TEST(TrimSpaces, RightAndBothSides) {
  const std::vector<std::pair<std::u16string, std::u16string>> right = {
      {u"ab  ", u"ab"}, {u"  ab", u"  ab"}, {u"   ", u""},
      {u"", u""},       {u"a\t ", u"a\t"},  {u"a b", u"a b"}};
  for (const auto& [in, out] : right) {
    std::u16string t = in;
    RightTrimSpaces(t);
    EXPECT_EQ(t, out);
  }
  const std::vector<std::pair<std::u16string, std::u16string>> both = {
      {u"  ab  ", u"ab"}, {u"ab", u"ab"},           {u"   ", u""},
      {u"", u""},         {u"\ta b\t", u"\ta b\t"}, {u" a b ", u"a b"}};
  for (const auto& [in, out] : both) EXPECT_EQ(TrimSpaces(in), out);
}

}  // namespace
}  // namespace parlan
