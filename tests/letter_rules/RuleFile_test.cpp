// Loading rule files: sections, classes, rule lines, the letter index, debug lines and failures.
#include <gtest/gtest.h>

#include "LetterRulesFixture.h"
#include "letter_rules/RuleFile.h"
#include "strings/TextFiles.h"

namespace parlan::testing {
namespace {

using ::testing::ElementsAre;

class RuleFileTest : public LetterRulesTest {};

TEST_F(RuleFileTest, SmallFileGivesClassesRulesAndGroups) {
  LoadLetterRules(ctx, WriteRules(SmallRuleFile()));
  EXPECT_TRUE(tables.RulesLoadOk);
  EXPECT_TRUE(tables.RulesLoaded);
  EXPECT_EQ(WildCard(1), "a,e,i,o,u");
  EXPECT_EQ(WildCard(2), "b,c,d");
  EXPECT_EQ(Rule(1), "_|c|1|k");
  EXPECT_EQ(Rule(2), "*|c|*|s");
  EXPECT_EQ(Rule(3), "*|a|*|a");
  EXPECT_EQ(GroupLetters(), "ca");
  ASSERT_EQ(tables.LetterGroups.size(), 2u);
  EXPECT_EQ(ToUtf8(tables.LetterGroups[0].Letter), "c");
  EXPECT_EQ(tables.LetterGroups[0].First, 1);
  EXPECT_EQ(tables.LetterGroups[0].Last, 2);
  EXPECT_EQ(ToUtf8(tables.LetterGroups[1].Letter), "a");
  EXPECT_EQ(tables.LetterGroups[1].First, 3);
  EXPECT_EQ(tables.LetterGroups[1].Last, 3);
  EXPECT_EQ(error.Number, 0);
}

TEST_F(RuleFileTest, SmallFileDebugLines) {
  LoadLetterRules(ctx, WriteRules(SmallRuleFile()));
  EXPECT_THAT(BoxLines("txtRuleSet"), ElementsAre("WC 1 : a,e,i,o,u", "WC 2 : b,c,d", "Full Set",
                                                  "_[c]1=k", "*[c]*=s", "*[a]*=a"));
  EXPECT_THAT(BoxLines("txtRulesAppld"), ElementsAre("LANGUAGE=Demo"));
  EXPECT_FALSE(debug.Advanced().Visible());
}

TEST_F(RuleFileTest, CommentLinesInWildCardsDoNotCount) {
  Load({"'vowels", "1 a,e,i,o,u", "'consonants", "2 b,c,d"}, {"[a]=a"});
  EXPECT_EQ(WildCard(1), "a,e,i,o,u");
  EXPECT_EQ(WildCard(2), "b,c,d");
  EXPECT_EQ(WildCard(3), "");
}

TEST_F(RuleFileTest, ClassesFromTheTenthOnLoseThreeCharacters) {
  std::vector<std::string> classes;
  for (int c = 1; c <= 9; ++c) classes.push_back(std::to_string(c) + " m" + std::to_string(c));
  classes.push_back("10 x,y");
  classes.push_back("11:z");
  Load(classes, {"[a]=a"});
  EXPECT_EQ(WildCard(9), "m9");
  EXPECT_EQ(WildCard(10), "x,y");
  EXPECT_EQ(WildCard(11), "z");
  std::vector<std::string> lines = BoxLines("txtRuleSet");
  ASSERT_GE(lines.size(), 11u);
  EXPECT_EQ(lines[9], "WC 10 : x,y");
}

TEST_F(RuleFileTest, ClassNumbersInTheFileAreNotRead) {
  Load({"7 a,e", "3 b,c,d", "3 A,E,I"}, {"[a]=a"});
  EXPECT_EQ(WildCard(1), "a,e");
  EXPECT_EQ(WildCard(2), "b,c,d");
  EXPECT_THAT(BoxLines("txtRuleSet"),
              ElementsAre("WC 1 : a,e", "WC 2 : b,c,d", "WC 3 : a,e,i", "Full Set", "*[a]*=a"));
}

TEST_F(RuleFileTest, ClassMembersAreLowercased) {
  Load({"1 A,E", "2 Ä,Ö"}, {"[a]=a"});
  EXPECT_EQ(WildCard(1), "a,e");
  EXPECT_EQ(WildCard(2), "ä,ö");
}

TEST_F(RuleFileTest, CommentHoldingRulesEndsTheWildCardSection) {
  LoadLetterRules(
      ctx, WriteRules({"LANGUAGE=Test", "WILD CARDS", "1 a", "'the rules follow", "[a]=a", "END"}));
  ASSERT_TRUE(tables.RulesLoaded);
  EXPECT_EQ(WildCard(1), "a");
  EXPECT_EQ(WildCard(2), "");
  EXPECT_EQ(Rule(1), "*|a|*|a");
  EXPECT_EQ(GroupLetters(), "a");
}

TEST_F(RuleFileTest, OnlyEndInCapitalsEndsTheRuleSection) {
  Load({}, {"[a]=a", "[e]=end", "'END in a comment", "[i]=i", "[o]=o END of the rules", "[u]=u"});
  EXPECT_EQ(Rule(2), "*|e|*|end");
  EXPECT_EQ(Rule(3), "*|i|*|i");
  EXPECT_EQ(GroupLetters(), "aei");
  EXPECT_THAT(BoxLines("txtRuleSet"), ElementsAre("Full Set", "*[a]*=a", "*[e]*=end", "*[i]*=i"));
}

TEST_F(RuleFileTest, PreambleIsSkippedAndKeywordsIgnoreCase) {
  LoadLetterRules(ctx, WriteRules({"Demo rules, no header yet", "[x]=x", "END",
                                   "Language=Demo, Wild Cards", "1 a", "Rules", "[a]=a", "END"}));
  ASSERT_TRUE(tables.RulesLoaded);
  EXPECT_EQ(WildCard(1), "a");
  EXPECT_EQ(Rule(1), "*|a|*|a");
  EXPECT_THAT(BoxLines("txtRulesAppld"), ElementsAre("Language=Demo, Wild Cards"));
}

TEST_F(RuleFileTest, LinesBetweenLanguageAndWildCardsAreSkipped) {
  Load({}, {"[a]=a"});
  LoadLetterRules(ctx, WriteRules({"LANGUAGE=Test", "1 x", "RULES", "WILD CARDS", "1 b", "RULES",
                                   "[b]=b", "END"}));
  ASSERT_TRUE(tables.RulesLoaded);
  EXPECT_EQ(WildCard(1), "b");
  EXPECT_EQ(GroupLetters(), "b");
}

// Rule lines and how they are cut; "(not)" marks a context with false sense.
struct SplitCase {
  std::string line;
  std::string stored;
  bool noFocusMessage;
};

// "]=" is written "] =": test listings are read back inside brackets that "]=]" would end.
[[maybe_unused]] void PrintTo(const SplitCase& c, std::ostream* os) {
  for (size_t i = 0; i < c.line.size(); ++i)
    *os << c.line[i]
        << (c.line[i] == ']' && i + 1 < c.line.size() && c.line[i + 1] == '=' ? " " : "");
}

class RuleSplitTest : public LetterRulesTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(RuleSplitTest, StoresTheFourParts) {
  const SplitCase& c = GetParam();
  Load({}, {c.line});
  EXPECT_EQ(Rule(1), c.stored);
  bool message = Box("txtRulesAppld").find("Error in Rule - no focus") != std::string::npos;
  EXPECT_EQ(message, c.noFocusMessage);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RuleSplitTest,
    ::testing::Values(SplitCase{"ab[c]de=K", "ab|c|de|K", false},
                      SplitCase{"[c]=k", "*|c|*|k", false}, SplitCase{"a[c]=k", "a|c|*|k", false},
                      SplitCase{"!a[c]!e= k ", "a(not)|c|e(not)|k", false},
                      SplitCase{"A[B]C=XY", "a|b|c|XY", false},
                      SplitCase{"!*[c]=k", "*(not)|c|*|k", false},
                      SplitCase{"![c]!=k", "(not)|c|(not)|k", false},
                      SplitCase{" a [ B ]c d= x Y ", " a | b |c d|x Y", false},
                      SplitCase{"[c]=", "*|c|*|", false}, SplitCase{"[c]=a=b", "*|c|*|a=b", false},
                      SplitCase{"[c]d", "*|c|*|[c]d", false}, SplitCase{"[]=x", "*||*|x", false},
                      SplitCase{"c]a[=x", "c]a||a[|x", true}, SplitCase{"", "*||*|", true},
                      SplitCase{"[ab=x", "*||*|x", true}, SplitCase{"ab]=x", "*||*|x", true},
                      SplitCase{"[sh]!1,2=S", "*|sh|1,2(not)|S", false}));

TEST_F(RuleFileTest, RuleSetShowsContextsWithoutTheirMark) {
  Load({}, {"!a[c]!e= k ", "_[a]=a"});
  EXPECT_THAT(BoxLines("txtRuleSet"), ElementsAre("Full Set", "a[c]e=k", "_[a]*=a"));
}

TEST_F(RuleFileTest, RunsOfTheSameFirstLetterFormGroups) {
  Load({}, {"[a]=1", "[ab]=2", "[b]=3", "[a]=4"});
  EXPECT_EQ(GroupLetters(), "aba");
  ASSERT_EQ(tables.LetterGroups.size(), 3u);
  EXPECT_EQ(tables.LetterGroups[0].First, 1);
  EXPECT_EQ(tables.LetterGroups[0].Last, 2);
  EXPECT_EQ(tables.LetterGroups[1].First, 3);
  EXPECT_EQ(tables.LetterGroups[1].Last, 3);
  EXPECT_EQ(tables.LetterGroups[2].First, 4);
  EXPECT_EQ(tables.LetterGroups[2].Last, 4);
  EXPECT_EQ(Convert("a"), " 1");  // the second run of a is never used
}

TEST_F(RuleFileTest, RulesWithoutFocusDoNotShiftLaterGroups) {
  Load({}, {"[a]=a", "no focus here", "[b]=b", "[]=x", "[b]=B", "[c]=c"});
  EXPECT_EQ(GroupLetters(), "abc");
  ASSERT_EQ(tables.LetterGroups.size(), 3u);
  EXPECT_EQ(tables.LetterGroups[1].First, 3);
  EXPECT_EQ(tables.LetterGroups[1].Last, 5);
  EXPECT_EQ(tables.LetterGroups[2].First, 6);
  EXPECT_EQ(Convert("cab"), " c a b");
  EXPECT_TRUE(tables.ConversionOk);
}

TEST_F(RuleFileTest, FileOfOnlyUnfocusedRulesHasNoGroups) {
  Load({}, {"no focus", "[]=x"});
  EXPECT_EQ(GroupLetters(), "");
  EXPECT_TRUE(tables.LetterGroups.empty());
  EXPECT_EQ(Convert("a"), "");
  EXPECT_EQ(error.Number, errors::kMissingRule);
}

TEST_F(RuleFileTest, EveryLoadClearsTheRuleSetBox) {
  Load({"1 a"}, {"[a]=a"});
  Load({}, {"[b]=b"});
  EXPECT_THAT(BoxLines("txtRuleSet"), ElementsAre("Full Set", "*[b]*=b"));
}

TEST_F(RuleFileTest, NeverDebugWritesNothingButClearsTheRuleSet) {
  Load({"1 a"}, {"[a]=a"});
  ctx.NeverDebug = true;
  debug.Click("frmAdvanced", "cmdClear");
  LoadLetterRules(ctx, WriteRules(RuleFile({"1 a,e,i"}, {"[c]=k", "no focus"}), "Otherr.ttg"));
  EXPECT_TRUE(tables.RulesLoaded);
  EXPECT_EQ(RuleSetBox(), "");
  EXPECT_EQ(RulesAppliedBox(), "");
  EXPECT_EQ(WildCard(1), "a,e,i");
}

TEST_F(RuleFileTest, NeverDebugLoadCreatesTheAdvancedWindowUnseen) {
  ctx.NeverDebug = true;
  LoadLetterRules(ctx, WriteRules(SmallRuleFile()));
  EXPECT_TRUE(debug.Advanced().Created());
  EXPECT_FALSE(debug.Advanced().Visible());
  EXPECT_FALSE(debug.Debug().Created());
}

TEST_F(RuleFileTest, NeverDebugFailureBeforeTheWildCardsTouchesNoWindow) {
  ctx.NeverDebug = true;
  LoadLetterRules(ctx, dir.Path() / "Missingr.ttg");
  EXPECT_EQ(error.Number, errors::kRulesNotLoaded);
  EXPECT_FALSE(debug.Advanced().Created());
}

TEST_F(RuleFileTest, ClassesTheNewFileDoesNotDefineKeepTheirMembers) {
  Load({"1 a", "2 b", "3 c"}, {"[a]=a"});
  Load({"1 x"}, {"[x]3=X", "[x]=x", "[c]=c"});
  EXPECT_EQ(WildCard(1), "x");
  EXPECT_EQ(WildCard(3), "c");
  EXPECT_EQ(Convert("xc"), " X c");
}

TEST_F(RuleFileTest, ByteOrderMarkAndLfLineEndsAreRead) {
  auto file = dir.Path() / "Bomr.ttg";
  testkit::WriteBytes(file, EncodeUtf16Le(u"LANGUAGE=T\nWILD CARDS\n1 a\nRULES\n[a]=a\nEND", true));
  LoadLetterRules(ctx, file);
  EXPECT_TRUE(tables.RulesLoaded);
  EXPECT_EQ(Rule(1), "*|a|*|a");
}

}  // namespace
}  // namespace parlan::testing
