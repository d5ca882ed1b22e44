// Rule files that cannot be loaded, loads that follow them, and files larger than the usual
// tables.
#include <gtest/gtest.h>

#include "LetterRulesFixture.h"
#include "letter_rules/RuleFile.h"

namespace parlan::testing {
namespace {

using ::testing::ElementsAre;

struct BrokenFile {
  std::string name;
  std::vector<std::string> lines;
};

[[maybe_unused]] void PrintTo(const BrokenFile& c, std::ostream* os) {
  *os << c.name;
}

std::vector<std::string> FiftyOneClasses() {
  std::vector<std::string> lines{"LANGUAGE=T", "WILD CARDS"};
  for (int c = 1; c <= 51; ++c) lines.push_back(std::to_string(c) + " a");
  lines.insert(lines.end(), {"RULES", "[a]=a", "END"});
  return lines;
}

std::vector<BrokenFile> BrokenFiles() {
  return {
      {"NoLanguageLine", {"WILD CARDS", "1 a", "RULES", "[a]=a", "END"}},
      {"NoWildCardsLine", {"LANGUAGE=T", "1 a", "RULES", "[a]=a", "END"}},
      {"NoRulesLine", {"LANGUAGE=T", "WILD CARDS", "1 a", "[a]=a", "END"}},
      {"NoEndLine", {"LANGUAGE=T", "WILD CARDS", "1 a", "RULES", "[a]=a", "end"}},
      {"EndOnlyInComment", {"LANGUAGE=T", "WILD CARDS", "RULES", "[a]=a", "'END"}},
      {"BlankWildCardLine", {"LANGUAGE=T", "WILD CARDS", "1 a", "", "RULES", "[a]=a", "END"}},
      {"ShortWildCardLine", {"LANGUAGE=T", "WILD CARDS", "1", "RULES", "[a]=a", "END"}},
      {"ShortTenthClass",
       {"LANGUAGE=T", "WILD CARDS", "1 a", "2 a", "3 a", "4 a", "5 a", "6 a", "7 a", "8 a", "9 a",
        "10", "RULES", "[a]=a", "END"}},
      {"FiftyFirstClass", FiftyOneClasses()},
      {"EmptyFile", {}},
  };
}

class BrokenRuleFileTest : public LetterRulesTest,
                           public ::testing::WithParamInterface<BrokenFile> {};

TEST_P(BrokenRuleFileTest, FailsWithErrorThree) {
  auto file = dir.Path() / "Brokenr.ttg";
  if (GetParam().lines.empty())
    testkit::WriteBytes(file, "");
  else
    testkit::WriteUtf16Lines(file, GetParam().lines);
  LoadLetterRules(ctx, file);
  EXPECT_FALSE(tables.RulesLoadOk);
  EXPECT_FALSE(tables.RulesLoaded);
  EXPECT_EQ(error.Number, errors::kRulesNotLoaded);
  EXPECT_EQ(ToUtf8(error.Text), "Rules were not loaded from " + file.string());
  std::vector<std::string> applied = BoxLines("txtRulesAppld");
  ASSERT_FALSE(applied.empty());
  EXPECT_EQ(applied.back(), "Error in Load to Letter Rules");
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenRuleFileTest, ::testing::ValuesIn(BrokenFiles()),
                         [](const auto& info) { return info.param.name; });

class RuleFileFailureTest : public LetterRulesTest {};

TEST_F(RuleFileFailureTest, MissingFileIsNeverCreated) {
  auto file = dir.Path() / "Parlan Nowhere" / "Nowherer.ttg";
  LoadLetterRules(ctx, file);
  EXPECT_FALSE(tables.RulesLoadOk);
  EXPECT_EQ(ToUtf8(error.Text), "Rules were not loaded from " + file.string());
  EXPECT_THAT(BoxLines("txtRulesAppld"), ElementsAre("Error in Load to Letter Rules"));
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(RuleFileFailureTest, NeverDebugFailureRecordsTheErrorOnly) {
  ctx.NeverDebug = true;
  LoadLetterRules(ctx, WriteRules({"LANGUAGE=T", "WILD CARDS", "RULES", "[a]=a"}));
  EXPECT_EQ(error.Number, errors::kRulesNotLoaded);
  EXPECT_EQ(RulesAppliedBox(), "");
  EXPECT_EQ(RuleSetBox(), "");
}

TEST_F(RuleFileFailureTest, LoadAfterAFailedLoadStartsAgain) {
  auto file = WriteRules({"LANGUAGE=T", "WILD CARDS", "1 a", "RULES", "[a]=a"});
  LoadLetterRules(ctx, file);
  ASSERT_FALSE(tables.RulesLoadOk);
  testkit::WriteUtf16Lines(file, RuleFile({"1 b,c"}, {"[b]1=B", "[b]=b", "[c]=c"}));
  LoadLetterRules(ctx, file);
  EXPECT_TRUE(tables.RulesLoadOk);
  EXPECT_TRUE(tables.RulesLoaded);
  EXPECT_EQ(WildCard(1), "b,c");
  EXPECT_EQ(GroupLetters(), "bc");
  EXPECT_EQ(Convert("bcb"), " B c b");
}

TEST_F(RuleFileFailureTest, FailedLoadLeavesNoUsableIndex) {
  Load({}, {"[a]=a"});
  LoadLetterRules(ctx, WriteRules({"LANGUAGE=T", "WILD CARDS", "RULES", "[b]=b"}, "Halfr.ttg"));
  ASSERT_FALSE(tables.RulesLoadOk);
  EXPECT_EQ(GroupLetters(), "");
  EXPECT_EQ(Convert("a"), "");
  EXPECT_FALSE(tables.ConversionOk);
  EXPECT_EQ(ToUtf8(error.Text), "Missing Rule with right focus = a");
}

// Rule files beyond the customary 1000 rules and 201 groups load into grown tables. Group g
// (from 0) has its own letter, taken from scripts without letter case (CJK ideographs, Hangul
// syllables, Yi syllables) so that lowercasing never merges two groups.
char16_t GroupLetter(int g) {
  if (g < 20992) return static_cast<char16_t>(0x4E00 + g);
  if (g < 20992 + 11172) return static_cast<char16_t>(0xAC00 + g - 20992);
  return static_cast<char16_t>(0xA000 + g - 20992 - 11172);
}

std::vector<std::string> ManyGroups(int groups, int rulesPerGroup) {
  std::vector<std::string> rules;
  for (int g = 0; g < groups; ++g) {
    std::string letter = ToUtf8(std::u16string(1, GroupLetter(g)));
    for (int r = 1; r < rulesPerGroup; ++r) rules.push_back(letter + "[" + letter + "]x=never");
    rules.push_back("[" + letter + "]=g" + std::to_string(g + 1));
  }
  return rules;
}

TEST_F(RuleFileFailureTest, MoreThanAThousandRulesAndTwoHundredGroupsLoad) {
  Load({}, ManyGroups(300, 5));
  EXPECT_EQ(tables.LetterGroups.size(), 300u);
  EXPECT_EQ(tables.GroupLetters.size(), 300u);
  EXPECT_EQ(tables.LetterGroups.back().First, 1496);
  EXPECT_EQ(tables.LetterGroups.back().Last, 1500);
  std::u16string word{GroupLetter(299), GroupLetter(0)};
  EXPECT_EQ(ToUtf8(ConvertWord(ctx, word)), " g300 g1");
}

TEST_F(RuleFileFailureTest, RuleNumbersUpToTheSixteenBitLimitLoad) {
  Load({}, ManyGroups(kMaxRules, 1));
  EXPECT_EQ(tables.LetterGroups.size(), static_cast<size_t>(kMaxRules));
  EXPECT_EQ(tables.LetterGroups.back().Last, kMaxRules);
  std::u16string word{GroupLetter(kMaxRules - 1)};
  EXPECT_EQ(ToUtf8(ConvertWord(ctx, word)), " g32767");
}

TEST_F(RuleFileFailureTest, MoreRulesThanSixteenBitsCanNumberFailTheLoad) {
  std::vector<std::string> rules = ManyGroups(kMaxRules, 1);
  rules.push_back("[a]=a");
  LoadLetterRules(ctx, WriteRules(RuleFile({}, rules)));
  EXPECT_FALSE(tables.RulesLoadOk);
  EXPECT_EQ(error.Number, errors::kRulesNotLoaded);
  EXPECT_LE(tables.LetterRules.size(), static_cast<size_t>(kMaxRules));
}

TEST(AddRuleTest, RefusesNumbersOutsideTheTable) {
  LetterRuleTables tables;
  EXPECT_EQ(AddRule(tables, u"*", u"a", u"*", u"a", 0), 0);
  EXPECT_EQ(AddRule(tables, u"*", u"a", u"*", u"a", kMaxRules + 1), 0);
  EXPECT_TRUE(tables.LetterRules.empty());
  EXPECT_EQ(AddRule(tables, u"!x", u"a", u"!", u"a", 3), 1);
  ASSERT_EQ(tables.LetterRules.size(), 3u);
  EXPECT_EQ(tables.LetterRules[2].LeftContext, u"x");
  EXPECT_FALSE(tables.LetterRules[2].LeftSense);
  EXPECT_EQ(tables.LetterRules[2].RightContext, u"");
  EXPECT_FALSE(tables.LetterRules[2].RightSense);
}

TEST(BuildLetterIndexTest, CountBeyondTheStoredRulesIsCut) {
  LetterRuleTables tables;
  AddRule(tables, u"*", u"a", u"*", u"a", 1);
  AddRule(tables, u"*", u"b", u"*", u"b", 2);
  BuildLetterIndex(tables, 40000);
  EXPECT_EQ(tables.GroupLetters, u"ab");
  BuildLetterIndex(tables, 1);
  EXPECT_EQ(tables.GroupLetters, u"a");
}

}  // namespace
}  // namespace parlan::testing
