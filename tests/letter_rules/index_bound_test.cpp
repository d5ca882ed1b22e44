// Rule files that once made the load build a letter index of gigabytes, for seconds: they must
// load, and convert, like any other file.
#include <gtest/gtest.h>

#include <filesystem>

#include "debug_ui/DebugWindows.h"
#include "letter_rules/LetterRules.h"

namespace parlan::testing {
namespace {

class IndexBound : public ::testing::TestWithParam<const char*> {};

TEST_P(IndexBound, HostileRuleFileLoadsAndConverts) {
  const std::filesystem::path file =
      std::filesystem::path(PARLAN_TEST_DATA) / "regressions" / GetParam();
  ASSERT_TRUE(std::filesystem::is_regular_file(file)) << file;
  LetterRuleTables tables;
  ErrorRecord error;
  DebugWindows debug;
  LetterRuleContext ctx{tables, error, debug, true, 0};
  LoadLetterRules(ctx, file);
  ASSERT_TRUE(tables.RulesLoadOk);
  for (const char16_t* word : {u"hello", u"a", u"the", u"xyz'q"}) (void)ConvertWord(ctx, word);
}

INSTANTIATE_TEST_SUITE_P(Regressions, IndexBound,
                         ::testing::Values("rules-index-exhausted-memory.ttg",
                                           "rules-index-took-seconds.ttg"));

}  // namespace
}  // namespace parlan::testing
