// Digits to number words.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "normalisation/NormFixture.h"

namespace parlan {
namespace {

struct DigitCase {
  const char* Name;
  std::u16string Word;
  std::u16string Result;
  std::vector<std::u16string> Log;
};

[[maybe_unused]] void PrintTo(const DigitCase& c, std::ostream* os) {
  *os << c.Name;
}

class AsciiDigitTest : public ::testing::TestWithParam<DigitCase> {
 protected:
  testkit::NormFixture f;
};

TEST_P(AsciiDigitTest, Expands) {
  std::u16string word = GetParam().Word;
  EXPECT_EQ(ExpandDigits(f.Ctx, word), GetParam().Result);
  EXPECT_EQ(word, GetParam().Result);
  EXPECT_EQ(f.Log(), GetParam().Log);
}

INSTANTIATE_TEST_SUITE_P(
    Digits, AsciiDigitTest,
    ::testing::Values(DigitCase{"Year",
                                u"1984",
                                u"one/nine/eight/four/",
                                {u"no   1 one", u"no   4 four", u"no   8 eight", u"no   9 nine"}},
                      DigitCase{"LeadingZeros",
                                u"007",
                                u"zero/zero/seven/",
                                {u"no   0 zero", u"no   0 zero", u"no   7 seven"}},
                      DigitCase{"AfterLetter", u"A4", u"Afour/", {u"no   4 four"}},
                      DigitCase{"NoDigit", u"x", u"x", {}},
                      DigitCase{"AfterPhraseEndStep",
                                u"3/point/25/*.",
                                u"three//point/two/five//*.",
                                {u"no   2 two", u"no   3 three", u"no   5 five"}}),
    [](const auto& info) { return std::string(info.param.Name); });

class OwnDigitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Arabic-Indic digits U+0660..U+0669.
    f.Tables.Digits.OwnDigits = true;
    for (size_t i = 0; i < 10; ++i)
      f.Tables.Digits.DigitStrings[i] = std::u16string(1, static_cast<char16_t>(0x660 + i));
  }
  testkit::NormFixture f;
};

// A language digit is set apart on both sides; an ASCII digit only after.
TEST_F(OwnDigitTest, LanguageDigitBetweenLetters) {
  std::u16string word = u"a\u0661b1";
  EXPECT_EQ(ExpandDigits(f.Ctx, word), u"a/one/bone/");
  EXPECT_EQ(f.Log(), (std::vector<std::u16string>{u"ns no \u0661 one", u"no   1 one"}));
}

// Only the first character of a longer digit string is replaced.
TEST_F(OwnDigitTest, LongerDigitStringReplacesOneCharacter) {
  f.Tables.Digits.DigitStrings[2] = u"xy";
  std::u16string word = u"axyxyb";
  EXPECT_EQ(ExpandDigits(f.Ctx, word), u"a/two/y/two/yb");
}

// Entries that would be replaced without end: an empty digit string matches nothing, and a
// number word holding its own digit is inserted once per digit.
TEST_F(OwnDigitTest, EntriesThatWouldRepeatForEver) {
  f.Tables.Digits.DigitStrings[0] = u"";
  f.Tables.NumberWords[1] = u"\u0661st";
  f.Tables.NumberWords[7] = u"7even";
  std::u16string word = u"0\u06617";
  EXPECT_EQ(ExpandDigits(f.Ctx, word), u"zero//\u0661st/7even/");
  EXPECT_EQ(f.Log().size(), 3u);
}

TEST_F(OwnDigitTest, AsciiDigitsStillExpandWithOwnDigits) {
  std::u16string word = u"12";
  EXPECT_EQ(ExpandDigits(f.Ctx, word), u"one/two/");
}

TEST(DigitsTest, OwnDigitStringsIgnoredWithoutOwnDigits) {
  testkit::NormFixture f;
  f.Tables.Digits.DigitStrings[1] = u"\u0661";
  std::u16string word = u"\u0661";
  EXPECT_EQ(ExpandDigits(f.Ctx, word), u"\u0661");
}

TEST(DigitsTest, NothingLoggedWhenDebuggingIsBarred) {
  testkit::NormFixture f;
  f.Ctx.NeverDebug = true;
  std::u16string word = u"42";
  EXPECT_EQ(ExpandDigits(f.Ctx, word), u"four/two/");
  EXPECT_TRUE(f.Log().empty());
}

}  // namespace
}  // namespace parlan
