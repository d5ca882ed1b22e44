// Ignored characters, the foreign decimal separator, and symbols.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "normalisation/NormFixture.h"

namespace parlan {
namespace {

struct PassCase {
  const char* Name;
  std::u16string Word;
  std::u16string Result;
  std::vector<std::u16string> Log;
};

[[maybe_unused]] void PrintTo(const PassCase& c, std::ostream* os) {
  *os << c.Name;
}

std::string CaseName(const ::testing::TestParamInfo<PassCase>& info) {
  return info.param.Name;
}

class IgnoreTest : public ::testing::TestWithParam<PassCase> {
 protected:
  testkit::NormFixture f;
};

TEST_P(IgnoreTest, Parentheses) {
  f.Tables.IgnoreChars = u"()";
  std::u16string word = GetParam().Word;
  RemoveIgnoredCharacters(f.Ctx, word);
  EXPECT_EQ(word, GetParam().Result);
  EXPECT_EQ(f.Log(), GetParam().Log);
}

INSTANTIATE_TEST_SUITE_P(
    CharacterPasses, IgnoreTest,
    ::testing::Values(PassCase{"Both", u"(hello)", u"hello", {u"ignore (", u"ignore )"}},
                      PassCase{"InListOrder",
                               u")a(b)(",
                               u"ab",
                               {u"ignore (", u"ignore (", u"ignore )", u"ignore )"}},
                      PassCase{"None", u"hello", u"hello", {}},
                      PassCase{"OnlyIgnored", u"()", u"", {u"ignore (", u"ignore )"}}),
    CaseName);

class DecimalIgnoreTest : public ::testing::TestWithParam<PassCase> {
 protected:
  testkit::NormFixture f;
};

TEST_P(DecimalIgnoreTest, CommaDecimalPointAmongIgnored) {
  f.Tables.IgnoreChars = u"(,)";
  f.Tables.DecimalPoint = u",";
  f.Tables.DecimalPointNotDot = true;
  f.Tables.DecimalPointIgnored = true;
  std::u16string word = GetParam().Word;
  RemoveIgnoredCharacters(f.Ctx, word);
  EXPECT_EQ(word, GetParam().Result);
  EXPECT_EQ(f.Log(), GetParam().Log);
}

INSTANTIATE_TEST_SUITE_P(
    CharacterPasses, DecimalIgnoreTest,
    ::testing::Values(
        PassCase{"BetweenDigits", u"3,25", u"3.25", {u"repl NSDP ,"}},
        PassCase{"AfterWord", u"well,", u"well", {u"ignore ,"}},
        PassCase{"SecondToLast", u"3,5", u"35", {u"ignore ,"}},
        PassCase{"First", u",25", u"25", {u"ignore ,"}},
        PassCase{"TwoInARow", u"3,,25", u"3.25", {u"ignore ,", u"repl NSDP ,"}},
        PassCase{"Thousands", u"1,000,000", u"1.000.000", {u"repl NSDP ,", u"repl NSDP ,"}},
        PassCase{"DecimalThenTrailing", u"1,2,", u"1.2", {u"repl NSDP ,", u"ignore ,"}},
        PassCase{"LeadingThenSecondToLast", u",1,2", u"12", {u"ignore ,", u"ignore ,"}},
        PassCase{"ParenthesesToo", u"(3,25)", u"3.25", {u"ignore (", u"repl NSDP ,", u"ignore )"}}),
    CaseName);

TEST(CharacterPassesTest, DotDecimalPointIsIgnoredLikeAnyOther) {
  testkit::NormFixture f;
  f.Tables.IgnoreChars = u".";
  std::u16string word = u"3.25";
  RemoveIgnoredCharacters(f.Ctx, word);
  EXPECT_EQ(word, u"325");
}

TEST(CharacterPassesTest, LanguageDigitsAroundTheSeparator) {
  testkit::NormFixture f;
  f.Tables.IgnoreChars = u",";
  f.Tables.DecimalPoint = u",";
  f.Tables.DecimalPointNotDot = true;
  f.Tables.DecimalPointIgnored = true;
  f.Tables.Digits.OwnDigits = true;
  f.Tables.Digits.DigitStrings[3] = u"\u0663";
  std::u16string word = u"\u0663,\u06632";
  RemoveIgnoredCharacters(f.Ctx, word);
  EXPECT_EQ(word, u"\u0663.\u06632");
}

class SymbolTest : public ::testing::TestWithParam<PassCase> {
 protected:
  testkit::NormFixture f;
};

TEST_P(SymbolTest, Comma) {
  f.Tables.SymbolChars = u",";
  std::u16string word = GetParam().Word;
  SeparateSymbols(f.Ctx, word);
  EXPECT_EQ(word, GetParam().Result);
  EXPECT_EQ(f.Log(), GetParam().Log);
}

INSTANTIATE_TEST_SUITE_P(
    CharacterPasses, SymbolTest,
    ::testing::Values(PassCase{"AtEnd", u"hello,", u"hello/*,/", {u"Pss ,"}},
                      PassCase{"AtStart", u",x", u"/*,/x", {u"Pss ,"}},
                      PassCase{"Several", u"a,b,c", u"a/*,/b/*,/c", {u"Pss ,", u"Pss ,"}},
                      PassCase{"AlreadyMarked", u"a*,", u"a*,", {}},
                      PassCase{"Adjacent", u",,", u"/*,//*,/", {u"Pss ,", u"Pss ,"}},
                      PassCase{"None", u"abc", u"abc", {}}),
    CaseName);

class TwoSymbolTest : public ::testing::TestWithParam<PassCase> {
 protected:
  testkit::NormFixture f;
};

// Each symbol is searched for only after the last cut made for an earlier one.
TEST_P(TwoSymbolTest, CommaThenSemicolon) {
  f.Tables.SymbolChars = u",;";
  std::u16string word = GetParam().Word;
  SeparateSymbols(f.Ctx, word);
  EXPECT_EQ(word, GetParam().Result);
  EXPECT_EQ(f.Log(), GetParam().Log);
}

INSTANTIATE_TEST_SUITE_P(
    CharacterPasses, TwoSymbolTest,
    ::testing::Values(PassCase{"LaterSymbolFirst", u"a;b,c", u"a;b/*,/c", {u"Pss ,"}},
                      PassCase{"InListOrder", u"a,b;c", u"a/*,/b/*;/c", {u"Pss ,", u"Pss ;"}},
                      PassCase{"OnlyLater", u"a;b", u"a/*;/b", {u"Pss ;"}}),
    CaseName);

TEST(CharacterPassesTest, EmptyListsLeaveTheWordAlone) {
  testkit::NormFixture f;
  std::u16string word = u"(a,b)";
  RemoveIgnoredCharacters(f.Ctx, word);
  SeparateSymbols(f.Ctx, word);
  EXPECT_EQ(word, u"(a,b)");
  EXPECT_TRUE(f.Log().empty());
}

TEST(CharacterPassesTest, NothingLoggedWhenDebuggingIsBarred) {
  testkit::NormFixture f;
  f.Ctx.NeverDebug = true;
  f.Tables.IgnoreChars = u"(";
  f.Tables.SymbolChars = u",";
  std::u16string word = u"(a,b";
  RemoveIgnoredCharacters(f.Ctx, word);
  SeparateSymbols(f.Ctx, word);
  EXPECT_EQ(word, u"a/*,/b");
  EXPECT_FALSE(f.Debug.Advanced().Created());
}

}  // namespace
}  // namespace parlan
