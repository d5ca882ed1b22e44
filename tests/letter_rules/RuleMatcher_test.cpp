// Converting words: letter groups, rule order, context patterns, item kinds and errors.
#include <gtest/gtest.h>

#include "LetterRulesFixture.h"
#include "letter_rules/RuleMatcher.h"

namespace parlan::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// The five rules: groups a (1), c (2), h (3 to 4) and t (5).
const std::vector<std::string> kFiveRules{"[a]=a", "[c]=k", "c[h]=x", "[h]=h", "[t]=t"};

class RuleMatcherTest : public LetterRulesTest {};

TEST_F(RuleMatcherTest, FiveRuleWords) {
  Load({}, kFiveRules);
  const std::pair<const char*, const char*> cases[] = {
      {"cat", " k a t"}, {"chat", " k x a t"}, {"hat", " h a t"}, {"tact", " t a k t"}};
  for (const auto& [word, phonemes] : cases) {
    EXPECT_EQ(Convert(word), phonemes) << word;
    EXPECT_TRUE(tables.ConversionOk) << word;
  }
  EXPECT_EQ(error.Number, 0);
}

TEST_F(RuleMatcherTest, CharacterWithoutGroupEndsTheWordAsMissing) {
  Load({}, kFiveRules);
  EXPECT_EQ(Convert("zat"), "");
  EXPECT_FALSE(tables.ConversionOk);
  EXPECT_EQ(error.Number, errors::kMissingRule);
  EXPECT_EQ(ToUtf8(error.Text), "Missing Rule with right focus = zat");
  EXPECT_THAT(BoxLines("txtRulesAppld"),
              ::testing::Contains("Rule Index is too large, can't find rule for z"));
}

TEST_F(RuleMatcherTest, MissingLetterInsideAWordKeepsTheOutputSoFar) {
  Load({}, kFiveRules);
  EXPECT_EQ(Convert("catzca"), " k a t");
  EXPECT_EQ(ToUtf8(error.Text), "Missing Rule with right focus = zca");
  EXPECT_FALSE(tables.ConversionOk);
  EXPECT_EQ(Convert("cat"), " k a t");
  EXPECT_TRUE(tables.ConversionOk);
  EXPECT_EQ(error.Number, errors::kMissingRule);  // a clean word leaves the last error alone
}

TEST_F(RuleMatcherTest, GroupLookupIgnoresCaseButFociDoNot) {
  Load({}, kFiveRules);
  EXPECT_EQ(Convert("Cat"), "");
  EXPECT_EQ(ToUtf8(error.Text), "Missing Rule with right focus = Cat");
  EXPECT_THAT(RulesAppliedBox(), Not(HasSubstr("Rule Index is too large")));
}

TEST_F(RuleMatcherTest, NonAsciiLettersFindTheirGroupWithoutRegardToCase) {
  Load({}, {"[É]=e:", "[ω]=o:"});
  EXPECT_EQ(Convert("éω"), " e: o:");
  EXPECT_EQ(Convert("Ω"), "");
  EXPECT_EQ(ToUtf8(error.Text), "Missing Rule with right focus = Ω");
  EXPECT_THAT(RulesAppliedBox(), Not(HasSubstr("Rule Index is too large")));
}

TEST_F(RuleMatcherTest, EarlierRuleWinsOverLongerFocus) {
  Load({}, {"[t]=t", "[th]=T", "[h]=h"});
  EXPECT_EQ(Convert("th"), " t h");
  Load({}, {"[th]=T", "[t]=t", "[h]=h"});
  EXPECT_EQ(Convert("th"), " T");
}

TEST_F(RuleMatcherTest, EmptyResultsStillGetTheirSpace) {
  Load({}, {"[a]=", "[b]=b"});
  EXPECT_EQ(Convert("aba"), "  b ");
}

TEST_F(RuleMatcherTest, AppliedRulesAreLogged) {
  LoadLetterRules(ctx, WriteRules(SmallRuleFile()));
  debug.Click("frmAdvanced", "cmdClear");
  EXPECT_EQ(Convert("ca"), " k a");
  EXPECT_THAT(BoxLines("txtRulesAppld"),
              ::testing::ElementsAre("F= c LC= _ RC= 1 RES= k", "F= a LC= * RC= * RES= a"));
}

TEST_F(RuleMatcherTest, NegatedContextsAreLoggedWithoutTheirMark) {
  Load({}, {"!b[a]!c=A", "[c]=c"});
  debug.Click("frmAdvanced", "cmdClear");
  EXPECT_EQ(Convert("a"), " A");
  EXPECT_EQ(RulesAppliedBox(), "F= a LC= b RC= c RES= A\r\n");
}

TEST_F(RuleMatcherTest, NeverDebugLogsNothing) {
  Load({}, kFiveRules);
  ctx.NeverDebug = true;
  debug.Click("frmAdvanced", "cmdClear");
  EXPECT_EQ(Convert("cat"), " k a t");
  EXPECT_EQ(Convert("zat"), "");
  EXPECT_EQ(RulesAppliedBox(), "");
  EXPECT_EQ(error.Number, errors::kMissingRule);
}

TEST_F(RuleMatcherTest, RightContextWithElevenItemsIsAnError) {
  Load({}, {"[a]b,b,b,b,b,b,b,b,b,b,b=X", "[a]b,b,b,b,b,b,b,b,b,b=T", "[a]=a", "[b]=b"});
  EXPECT_EQ(Convert("abbbbbbbbbbb"), " T b b b b b b b b b b b");
  EXPECT_EQ(error.Number, errors::kRightContext);
  EXPECT_EQ(ToUtf8(error.Text), "right context error");
  EXPECT_TRUE(tables.ConversionOk);
}

TEST_F(RuleMatcherTest, FailedContextTestIsInvertedByItsSense) {
  Load({}, {"[a]!b,b,b,b,b,b,b,b,b,b,b=X", "[a]=a"});
  EXPECT_EQ(Convert("a"), " X");
  EXPECT_EQ(error.Number, errors::kRightContext);
}

TEST_F(RuleMatcherTest, LeftContextErrorEndsTheWordAtTheNextLetter) {
  Load({}, {"[a]=a", "a,a,a,a,a,a,a,a,a,a,a[b]=X", "[b]=b", "[c]=c"});
  EXPECT_EQ(Convert("abc"), " a b");
  EXPECT_EQ(ToUtf8(error.Text), "Missing Rule with right focus = c");
  EXPECT_FALSE(tables.ConversionOk);
  EXPECT_EQ(Convert("ab"), " a b");
  EXPECT_EQ(error.Number, errors::kLeftContext);
  EXPECT_EQ(ToUtf8(error.Text), "left context error");
  EXPECT_FALSE(tables.ConversionOk);
}

TEST_F(RuleMatcherTest, ClassNumberBeyondSixteenBitsIsAContextError) {
  Load({"1 b"}, {"[a]99999=X", "[a]32767=Y", "[a]=a", "[b]=b"});
  EXPECT_EQ(Convert("ab"), " a b");
  EXPECT_EQ(error.Number, errors::kRightContext);
  Load({"1 b"}, {"[a]=a", "[b];99999=X", "[b]=b"});
  EXPECT_EQ(Convert("ab"), " a b");
  EXPECT_EQ(error.Number, errors::kRightContext);
  Load({"1 b"}, {"[a]=a", ":99999[b]=X", "[b]=b"});
  EXPECT_EQ(Convert("ab"), " a b");
  EXPECT_EQ(error.Number, errors::kLeftContext);
}

}  // namespace
}  // namespace parlan::testing

namespace parlan::testing {
namespace {

// The group lookup answers ASCII pairs without ICU; it must still agree with a plain search that
// asks ICU about every letter, for ASCII letters and signs and for the characters beyond ASCII
// that fold onto them (Kelvin sign, long s) or onto each other.
TEST(GroupLetterPositionTest, AgreesWithCaseInsensitiveSearch) {
  const std::u16string letterSets[] = {
      u"abc[{",         u"ABC@`", u"\u212Ak\u017Fs",    u"s\u017FK\u212A",
      u"\u00E9\u00C9e", u"zZ_^~", u"\u03A3\u03C3\u03C2"};
  std::u16string probes;
  for (char16_t c = 0; c < 0x80; ++c) probes.push_back(c);
  probes += u"\u212A\u017F\u00E9\u00C9\u03A3\u03C3\u03C2";
  for (const std::u16string& letters : letterSets) {
    for (char16_t c : probes) {
      int32_t expected = 0;
      for (size_t g = 0; g < letters.size() && expected == 0; ++g)
        if (letters[g] == c ||
            SameIgnoringCase(std::u16string_view(letters).substr(g, 1), std::u16string_view(&c, 1)))
          expected = static_cast<int32_t>(g + 1);
      EXPECT_EQ(GroupLetterPosition(letters, c), expected)
          << "character U+" << std::hex << static_cast<int>(c) << " in set " << std::dec
          << (&letters - letterSets);
    }
  }
}

}  // namespace
}  // namespace parlan::testing
