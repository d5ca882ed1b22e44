// The pieces of the tool that the studio reuses: the rules behind a word's letters with their
// rule-file lines, and a language's pronunciation tests.
#include <gtest/gtest.h>

#include "CliErrors.h"
#include "PronunciationTests.h"
#include "TinyLanguage.h"
#include "WordRules.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

using testkit::TempDir;

struct RuleUseCase {
  const char* Word;
  std::vector<std::tuple<std::u16string, std::u16string, int>> Uses;  // letters, phonemes, line
};

TEST(ExplainWord, EachPartOfTheWordNamesTheRuleAndItsLine) {
  TempDir root;
  const auto folder = testkit::WriteLanguage(root.Path(), "Tiny", testkit::TinyLanguage());
  const RuleUseCase cases[] = {
      {"chat", {{u"ch", u"tS", 10}, {u"a", u"a", 8}, {u"t", u"t", 31}}},
      // The first rule of a group that fits wins: "c" before a front vowel, then plain "c".
      {"cab", {{u"c", u"k", 12}, {u"a", u"a", 8}, {u"b", u"b", 9}}},
      {"city", {{u"c", u"s", 11}, {u"i", u"I", 19}, {u"t", u"t", 31}, {u"y", u"j", 36}}},
      {"THE", {{u"th", u"T", 30}, {u"e", u"@", 14}}},  // lower-cased as the pipeline does
  };
  for (const auto& c : cases) {
    const std::vector<LetterRuleUse> uses = ExplainWord(folder / "Tinyr.ttg", U16(c.Word));
    ASSERT_EQ(uses.size(), c.Uses.size()) << c.Word;
    for (size_t i = 0; i < uses.size(); ++i) {
      EXPECT_EQ(uses[i].Letters, std::get<0>(c.Uses[i])) << c.Word << " " << i;
      EXPECT_EQ(uses[i].Phonemes, std::get<1>(c.Uses[i])) << c.Word << " " << i;
      EXPECT_EQ(uses[i].Line, std::get<2>(c.Uses[i])) << c.Word << " " << i;
    }
  }
}

TEST(ExplainWord, CommentsAndClassesDoNotShiftTheLines) {
  TempDir root;
  testkit::LanguageFiles files = testkit::TinyLanguage();
  // Comments among the rules, and a heading line that also names the wild cards.
  files.Rules = {
      "LANGUAGE=Tiny WILD CARDS", "1 e,i", "RULES", "' comment", "[a]=a", "'", "[b]=b", "END"};
  const auto folder = testkit::WriteLanguage(root.Path(), "Tiny", files);
  const auto uses = ExplainWord(folder / "Tinyr.ttg", u"ba");
  ASSERT_EQ(uses.size(), 2u);
  EXPECT_EQ(uses[0].Line, 7);
  EXPECT_EQ(uses[1].Line, 5);
}

TEST(ExplainWord, ALetterWithoutRulesEndsWithTheConvertersMessage) {
  TempDir root;
  const auto folder = testkit::WriteLanguage(root.Path(), "Tiny", testkit::TinyLanguage());
  const auto uses = ExplainWord(folder / "Tinyr.ttg", u"a\u00e9");
  ASSERT_GE(uses.size(), 2u);
  EXPECT_EQ(uses.front().Letters, u"a");
  EXPECT_TRUE(uses.back().Letters.empty());
  EXPECT_EQ(uses.back().Line, 0);
  EXPECT_NE(uses.back().Rule.find(u"\u00e9"), std::u16string::npos) << ToUtf8(uses.back().Rule);
}

TEST(ExplainWord, ARuleFileThatDoesNotLoadIsAnError) {
  TempDir root;
  testkit::LanguageFiles files = testkit::TinyLanguage();
  files.Rules = {"no language line"};
  const auto folder = testkit::WriteLanguage(root.Path(), "Tiny", files);
  EXPECT_THROW(ExplainWord(folder / "Tinyr.ttg", u"a"), RunError);
}

TEST(PronunciationTests, EachCaseIsComparedWithTheLanguagesPhonemes) {
  TempDir root;
  const auto folder = testkit::WriteLanguage(root.Path(), "Tiny", testkit::TinyLanguage());
  testkit::WriteBytes(folder / "tests.tsv",
                      "# text\tphonemes\r\n"
                      "chat\ttS a t\r\n"
                      "\r\n"
                      "cab  dab\t  k a b   d a b \n"
                      "city\tk I t i\n"
                      "no tab here\n");
  const PronunciationRun run = RunPronunciationTests(folder);
  ASSERT_EQ(run.Cases.size(), 3u);
  EXPECT_EQ(run.MalformedLines, std::vector<int>{6});
  EXPECT_EQ(run.Cases[0].Line, 2);
  EXPECT_TRUE(run.Cases[0].Passed) << ToUtf8(run.Cases[0].Actual);
  EXPECT_TRUE(run.Cases[1].Passed) << ToUtf8(run.Cases[1].Actual);
  EXPECT_FALSE(run.Cases[2].Passed);
  EXPECT_EQ(run.Cases[2].Actual, u"s I t j");
  EXPECT_EQ(run.Failed(), 1);
}

TEST(PronunciationTests, AFolderWithoutTestsOrModesIsAUsageError) {
  TempDir root;
  const auto folder = testkit::WriteLanguage(root.Path(), "Tiny", testkit::TinyLanguage());
  EXPECT_THROW(RunPronunciationTests(folder), UsageError);
  testkit::LanguageFiles silent = testkit::TinyLanguage();
  silent.Config = {"GENDER=None"};
  const auto mute = testkit::WriteLanguage(root.Path(), "Mute", silent);
  testkit::WriteBytes(mute / "tests.tsv", "a\ta\n");
  EXPECT_THROW(RunPronunciationTests(mute), UsageError);
}

}  // namespace
}  // namespace parlan::cli
