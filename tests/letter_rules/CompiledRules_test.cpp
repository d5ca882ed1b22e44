// The compiled rule tables: contexts compiled once must answer as the patterns read from their
// text do, and the focus index must keep the first fitting rule in file order.
#include "letter_rules/CompiledRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LetterRulesFixture.h"
#include "letter_rules/RuleMatcher.h"
#include "strings/StringFunctions.h"

namespace parlan::testing {
namespace {

// Items of every kind: literals, classes (in range, empty members, beyond the loaded classes,
// beyond 16 bits), repetitions of both, the word end and the empty item.
const std::vector<std::u16string> kItems = {
    u"a",  u"b",  u"bc", u"B", u"1", u"2", u"3", u"4",  u"9",  u"0",     u":1",
    u";2", u":a", u";b", u":", u";", u"_", u"",  u":4", u"4x", u"70000", u";70000"};

const std::vector<std::u16string> kTexts = {u"",   u"a",    u"b",     u"bcx",  u"bbx", u"ab",
                                            u"ba", u"cab",  u"bcbc",  u"aeia", u"xa",  u"bB",
                                            u"aa", u"abab", u"ibcbc", u"x"};

std::vector<std::u16string> Patterns() {
  std::vector<std::u16string> patterns{u"*", u"a,b,a,b,a,b,a,b,a,b,a", u"a,b,a,b,a,b,a,b,a,b"};
  for (const auto& a : kItems) {
    patterns.push_back(a);
    for (const auto& b : kItems) patterns.push_back(a + u"," + b);
  }
  for (const auto& a : {u"1", u":a", u"_"})
    for (const auto& b : {u"b", u";2", u"3"})
      for (const auto& c : {u"a", u":1", u"_"})
        patterns.push_back(std::u16string(a) + u"," + b + u"," + c);
  return patterns;
}

class CompiledContextTest : public LetterRulesTest {
 protected:
  void SetUp() override { tables.WildCards = {u"b,bc", u",b,,", u"ae,i"}; }
};

TEST_F(CompiledContextTest, AgreesWithThePatternText) {
  for (const std::u16string& pattern : Patterns()) {
    tables.LetterRules = {{pattern, true, u"a", pattern, true, u"x"}};
    auto compiled = CompileRules(tables);
    const CompiledRule& rule = compiled->Rules.front();
    for (const std::u16string& text : kTexts) {
      error = ErrorRecord{};
      bool left = MatchLeftContext(ctx, text, pattern);
      int16_t leftError = error.Number;
      error = ErrorRecord{};
      bool right = MatchRightContext(ctx, text, pattern);
      int16_t rightError = error.Number;

      bool malformed = false;
      EXPECT_EQ(MatchCompiled(*compiled, rule.Left, ReverseText(text), malformed), left)
          << "left " << ToUtf8(pattern) << " on " << ToUtf8(text);
      EXPECT_EQ(malformed, leftError == errors::kLeftContext) << ToUtf8(pattern);
      malformed = false;
      EXPECT_EQ(MatchCompiled(*compiled, rule.Right, text, malformed), right)
          << "right " << ToUtf8(pattern) << " on " << ToUtf8(text);
      EXPECT_EQ(malformed, rightError == errors::kRightContext) << ToUtf8(pattern);
    }
  }
}

struct OrderCase {
  const char* name;
  std::vector<std::string> rules;
  std::string word;
  std::string phonemes;
};

[[maybe_unused]] void PrintTo(const OrderCase& c, std::ostream* os) {
  *os << c.name;
}

class FocusIndexTest : public LetterRulesTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(FocusIndexTest, FirstFittingRuleInFileOrder) {
  Load({"1 b,c"}, GetParam().rules);
  EXPECT_EQ(Convert(GetParam().word), GetParam().phonemes);
}

INSTANTIATE_TEST_SUITE_P(
    Order, FocusIndexTest,
    ::testing::Values(
        OrderCase{"ShortFocusFirstWins", {"[a]=1", "[ab]=2", "[b]=3"}, "ab", " 1 3"},
        OrderCase{"LongFocusFirstWins", {"[ab]=2", "[a]=1", "[b]=3"}, "ab", " 2"},
        OrderCase{"LongFocusFailsItsContext", {"[ab]c=2", "[a]=1", "[b]=3"}, "ab", " 1 3"},
        OrderCase{"SameFocusTwiceByContext", {"[a]b=1", "[a]=2", "[b]=b"}, "aab", " 2 1 b"},
        OrderCase{"InvertedContextBetweenFoci",
                  {"[abc]=4", "[a]!1=5", "[ab]=6", "[a]=7", "[b]=b", "[c]=c"},
                  "abab",
                  " 6 6"},
        OrderCase{"LaterGroupOfTheSameLetterUnreached", {"[a]=1", "[b]=b", "[ab]=2"}, "ab", " 1 b"},
        OrderCase{"LeftContextFromTheConvertedPart",
                  {"[a]=1", "b[c]=2", "[c]=3", "[b]=b"},
                  "abcac",
                  " 1 b 2 1 3"},
        OrderCase{
            "ClassAndRepeatContexts", {"[a]:1,_=X", "[a]=a", "[b]=b", "[c]=c"}, "abcb", " X b c b"},
        // The candidates narrowed by the characters around the focus keep the same answers.
        OrderCase{"InvertedRightContextFitsWhereItsLetterIsNot",
                  {"[a]!b=1", "[a]=2", "[b]=b", "[c]=c"},
                  "abac",
                  " 2 b 1 c"},
        OrderCase{"WordEndAndLetterAfterTheFocus",
                  {"[a]_=E", "[a]b=B", "[a]=a", "[b]=b"},
                  "aaba",
                  " a B b E"},
        OrderCase{"LeftLetterBeforeTheFocus",
                  {"b[a]c=1", "_[a]=2", "c[a]=3", "[a]=4", "[b]=b", "[c]=c"},
                  "abacaa",
                  " 2 b 1 c 3 4"},
        OrderCase{"CharacterBeyondAsciiAfterTheFocus",
                  {"[a]\u00e9=1", "[a]b=2", "[a]=3", "[\u00e9]=e", "[b]=b"},
                  "a\u00e9ab",
                  " 1 e 2 b"},
        OrderCase{"MalformedLeftContextStillEndsTheWord",
                  {"a,a,a,a,a,a,a,a,a,a,a[b]c=1", "[b]=2", "[a]=a", "[c]=c"},
                  "aba",
                  " a 2"}),
    [](const auto& info) { return std::string(info.param.name); });

// A reload with tables of the same size must not convert with the rules of the file before.
TEST_F(LetterRulesTest, ReloadOfTheSameShapeUsesTheNewRules) {
  Load({"1 b"}, {"[a]1=1", "[b]=b"});
  EXPECT_EQ(Convert("ab"), " 1 b");
  Load({"1 c"}, {"[a]1=2", "[b]=b"});
  EXPECT_EQ(Convert("ab"), "");  // the class no longer holds "b"
  EXPECT_EQ(error.Number, errors::kMissingRule);
}

// Large learned files: the last rule of a long group is still found, and the first of many
// rules with the same focus that fits is the one applied.
TEST_F(LetterRulesTest, TwentyThousandRulesKeepFileOrder) {
  std::vector<std::string> rules;
  for (int i = 0; i < 20000; ++i) rules.push_back("[a]z" + std::to_string(i) + "=n");
  rules.insert(rules.end(), {"[a]b=1", "[a]=2", "[b]=b", "[z]=z"});
  for (int i = 0; i < 10; ++i) rules.push_back("[" + std::to_string(i) + "]=" + std::to_string(i));
  Load({}, rules);
  EXPECT_EQ(Convert("ab"), " 1 b");
  EXPECT_EQ(Convert("aa"), " 2 2");
  EXPECT_EQ(Convert("az19999"), " n z 1 9 9 9 9");
}

}  // namespace
}  // namespace parlan::testing
