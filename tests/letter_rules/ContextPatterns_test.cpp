// Context patterns: boundaries, literals, classes, repetitions, negation and the order in which
// left-context items are matched.
#include <gtest/gtest.h>

#include "LetterRulesFixture.h"
#include "letter_rules/RuleMatcher.h"

namespace parlan::testing {
namespace {

// One letter per rule for every letter the cases use, after the rules under test.
const std::vector<std::string> kPlainLetters{"[a]=a", "[b]=b", "[c]=c", "[e]=e",
                                             "[r]=r", "[s]=s", "[x]=x"};

struct ContextCase {
  std::string name;
  std::vector<std::string> classes;
  std::vector<std::string> rules;  // tried before the plain letters of their group
  std::string word;
  std::string phonemes;
};

[[maybe_unused]] void PrintTo(const ContextCase& c, std::ostream* os) {
  *os << c.name;
}

class ContextPatternTest : public LetterRulesTest,
                           public ::testing::WithParamInterface<ContextCase> {};

TEST_P(ContextPatternTest, Converts) {
  const ContextCase& c = GetParam();
  // Rules of one letter must stand together: put each plain rule after the case's rules for
  // the same letter.
  std::vector<std::string> rules;
  for (const std::string& plain : kPlainLetters) {
    for (const std::string& r : c.rules)
      if (r[r.find('[') + 1] == plain[1]) rules.push_back(r);
    rules.push_back(plain);
  }
  Load(c.classes, rules);
  EXPECT_EQ(Convert(c.word), c.phonemes);
  EXPECT_TRUE(tables.ConversionOk);
  EXPECT_EQ(error.Number, 0);
}

std::vector<ContextCase> Cases() {
  const std::vector<std::string> bc{"1 b,c"};
  const std::vector<std::string> eEr{"1 x", "2 e,er"};
  return {
      {"StartBoundaryAtStart", {}, {"_[a]=A"}, "aba", " A b a"},
      {"EndBoundaryAtEnd", {}, {"[a]_=A"}, "aba", " a b A"},
      {"BoundaryIgnoresWhatFollows", {}, {"[a]_xyz=A"}, "ba", " b A"},
      {"StartThenLetterFits", {}, {"_,a[b]=B"}, "ab", " a B"},
      {"StartThenLetterNeedsTheStart", {}, {"_,a[b]=B"}, "cab", " c a b"},
      {"NegatedLeftAfterOther", {}, {"!a[x]=ks"}, "bx", " b ks"},
      {"NegatedLeftAtStart", {}, {"!a[x]=ks"}, "x", " ks"},
      {"NegatedLeftAfterA", {}, {"!a[x]=ks"}, "ax", " a x"},
      {"NegatedAnythingNeverFits", {}, {"!*[a]=A", "[a]!*=A"}, "a", " a"},
      {"BareNegationFitsEverywhere", {}, {"![a]=A"}, "ba", " b A"},
      {"BareNegationRightFitsEverywhere", {}, {"[a]!=A"}, "ab", " A b"},
      {"OneOrMoreThenLiteral", bc, {"[a]:1,x=A"}, "abcbx", " A b c b x"},
      {"OneOrMoreNeedsTheLiteralAfter", bc, {"[a]:1,x=A"}, "abcb", " a b c b"},
      {"OneOrMoreFitsOnce", bc, {"[a]:1=A"}, "abx", " A b x"},
      {"OneOrMoreNeedsOne", bc, {"[a]:1=A"}, "axb", " a x b"},
      {"ZeroOrMoreFitsNothing", bc, {"[a];1=A"}, "a", " A"},
      {"ZeroOrMoreFitsOther", bc, {"[a];1=A"}, "axb", " A x b"},
      {"ZeroOrMoreLiteral", {}, {"[a];b,c=A"}, "abbbc", " A b b b c"},
      {"ZeroOrMoreLiteralNone", {}, {"[a];b,c=A"}, "ac", " A c"},
      {"LongestMemberThenLiteral", eEr, {"[a]2,s=A"}, "aers", " A e r s"},
      {"ShortMemberThenLiteral", eEr, {"[a]2,s=A"}, "aes", " A e s"},
      {"ClassNeedsItsMember", eEr, {"[a]2,s=A"}, "ars", " a r s"},
      {"ClassNumberReadFromTheFront", bc, {"[a]1x=A"}, "ab", " A b"},
      {"ClassZeroNeverFits", bc, {"[a]0=A"}, "ab", " a b"},
      {"ClassBeyondFiftyNeverFits", bc, {"[a]51=A"}, "ab", " a b"},
      {"UndefinedClassNeverFits", bc, {"[a]7=A"}, "ab", " a b"},
      {"EmptyItemNeverFits", {}, {"[a]b,,c=A", "[a]b,=A"}, "abc", " a b c"},
      {"LoneOneOrMoreMarkNeverFits", {}, {"[a]:=A"}, "ab", " a b"},
      {"LoneZeroOrMoreMarkAlwaysFits", {}, {"[a];=A"}, "ab", " A b"},
      {"LeftLiteralReadsBackwards", {}, {"ab[c]=C"}, "bac", " b a C"},
      {"LeftLiteralInReadingOrderFails", {}, {"ab[c]=C"}, "abc", " a b c"},
      {"LeftSingleLettersInReadingOrder", {}, {"a,b[c]=C"}, "abc", " a b C"},
      {"LeftItemsNearestTheFocusLast", {}, {"a,b[c]=C"}, "bac", " b a c"},
      {"LeftOneOrMoreThenStart", bc, {"_,:1[a]=A"}, "bca", " b c A"},
      {"LeftOneOrMoreNeedsTheStart", bc, {"_,:1[a]=A"}, "abca", " a b c a"},
      {"LeftMembersReadBackwards", {"1 er"}, {"1[s]=S"}, "res", " r e S"},
      {"LeftMembersInReadingOrderFail", {"1 er"}, {"1[s]=S"}, "ers", " e r s"},
  };
}

INSTANTIATE_TEST_SUITE_P(Patterns, ContextPatternTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

TEST(ContextItemsTest, ClassMembersCompareExactlyLiteralsIgnoreCase) {
  LetterRuleTables tables;
  tables.WildCards = {u"b,bc"};
  std::u16string_view text = u"BCx";
  EXPECT_FALSE(MatchWildCard(tables, text, 1));
  EXPECT_TRUE(MatchLiteral(text, u"bc"));
  EXPECT_EQ(text, u"x");
  text = u"bcx";
  EXPECT_TRUE(MatchWildCard(tables, text, 1));
  EXPECT_EQ(text, u"x");
  EXPECT_FALSE(MatchWildCard(tables, text, 2));  // never loaded
  EXPECT_FALSE(MatchLiteral(text, u""));
  EXPECT_FALSE(MatchLiteral(text, u"xy"));
}

TEST(ContextItemsTest, EmptyMembersNeverMatchAndRepetitionsEnd) {
  LetterRuleTables tables;
  tables.WildCards = {u",b,,"};
  bool malformed = false;
  std::u16string_view text = u"bbx";
  EXPECT_TRUE(MatchOneOrMore(tables, text, u":1", malformed));
  EXPECT_EQ(text, u"x");
  EXPECT_TRUE(MatchZeroOrMore(tables, text, u";1", malformed));
  EXPECT_FALSE(MatchOneOrMore(tables, text, u":", malformed));
  EXPECT_TRUE(MatchZeroOrMore(tables, text, u";", malformed));
  EXPECT_EQ(text, u"x");
  EXPECT_FALSE(malformed);
}

TEST(PatternFunctionsTest, CountTakeAndReverse) {
  struct Case {
    std::u16string pattern;
    int32_t count;
    std::u16string first;
    std::u16string rest;
    std::u16string reversed;
  };
  const Case cases[] = {
      {u"", 1, u"", u"", u""},
      {u"a", 1, u"a", u"", u"a"},
      {u"a,b,c", 3, u"a", u"b,c", u"c,b,a"},
      {u"_,:1", 2, u"_", u":1", u":1,_"},
      {u"a,", 2, u"a", u"", u",a"},
      {u",a", 2, u"", u"a", u"a,"},
      {u",,", 3, u"", u",", u",,"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CountItems(c.pattern), c.count) << ToUtf8(c.pattern);
    std::u16string_view rest = c.pattern;
    EXPECT_EQ(TakeItem(rest), c.first) << ToUtf8(c.pattern);
    EXPECT_EQ(rest, c.rest) << ToUtf8(c.pattern);
    EXPECT_EQ(ReverseItems(c.pattern), c.reversed) << ToUtf8(c.pattern);
  }
}

TEST(PatternFunctionsTest, ClassNumbers) {
  EXPECT_EQ(ClassNumber(u"12abc"), 12);
  EXPECT_EQ(ClassNumber(u"007"), 7);
  EXPECT_EQ(ClassNumber(u"32767"), 32767);
  EXPECT_EQ(ClassNumber(u"32768"), std::nullopt);
  EXPECT_EQ(ClassNumber(u"123456789012345678901234567890"), std::nullopt);
}

}  // namespace
}  // namespace parlan::testing
