// Whole-phrase replacements.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "normalisation/NormFixture.h"

namespace parlan {
namespace {

struct AlwaysCase {
  const char* Name;
  std::u16string Word;
  std::u16string Result;
  std::vector<std::u16string> Log;
};

[[maybe_unused]] void PrintTo(const AlwaysCase& c, std::ostream* os) {
  *os << c.Name;
}

class AlwaysTest : public ::testing::TestWithParam<AlwaysCase> {
 protected:
  void SetUp() override {
    f.AddAlways(u"&", u"and");
    f.AddAlways(u"e.g.", u"for/example");
  }
  testkit::NormFixture f;
};

TEST_P(AlwaysTest, Replaces) {
  std::u16string word = GetParam().Word;
  EXPECT_EQ(ApplyAlwaysReplacements(f.Ctx, word), GetParam().Result);
  EXPECT_EQ(word, GetParam().Result);
  EXPECT_EQ(f.Log(), GetParam().Log);
}

INSTANTIATE_TEST_SUITE_P(
    Always, AlwaysTest,
    ::testing::Values(
        AlwaysCase{"InsideWord", u"R&D", u"R/and/D", {u"always& and"}},
        AlwaysCase{"EveryOccurrence", u"&&", u"/and//and/", {u"always& and", u"always& and"}},
        AlwaysCase{"DottedAbbreviation", u"e.g.", u"/for/example/", {u"alwayse.g. for/example"}},
        AlwaysCase{"InFileOrder",
                   u"e.g.&",
                   u"/for/example//and/",
                   {u"always& and", u"alwayse.g. for/example"}},
        AlwaysCase{"NoKey", u"hello", u"hello", {}},
        AlwaysCase{"CaseSensitive", u"E.G.", u"E.G.", {}}),
    [](const auto& info) { return std::string(info.param.Name); });

class AlwaysGuardTest : public ::testing::Test {
 protected:
  testkit::NormFixture f;
};

// Later entries see the output of earlier ones.
TEST_F(AlwaysGuardTest, LaterEntriesSeeEarlierOutput) {
  f.AddAlways(u"&", u"and");
  f.AddAlways(u"and", u"plus");
  std::u16string word = u"a&b";
  EXPECT_EQ(ApplyAlwaysReplacements(f.Ctx, word), u"a//plus//b");
}

// Entries that would be replaced without end: the key inside its own replacement is inserted
// once per occurrence, and an empty key matches nothing.
TEST_F(AlwaysGuardTest, EntriesThatWouldRepeatForEver) {
  f.AddAlways(u"", u"x");
  f.AddAlways(u"&", u"&and&");
  f.AddAlways(u"a", u"a");
  std::u16string word = u"&b&";
  EXPECT_EQ(ApplyAlwaysReplacements(f.Ctx, word), u"/&/a/nd&/b/&/a/nd&/");
  EXPECT_EQ(f.Log().size(), 2u + 2u);
}

TEST_F(AlwaysGuardTest, CountBoundsTheEntries) {
  f.AddAlways(u"&", u"and");
  f.Tables.AlwaysCount = 0;
  std::u16string word = u"R&D";
  EXPECT_EQ(ApplyAlwaysReplacements(f.Ctx, word), u"R&D");
  f.Tables.AlwaysCount = 5;  // more than the lists hold
  EXPECT_EQ(ApplyAlwaysReplacements(f.Ctx, word), u"R/and/D");
}

TEST_F(AlwaysGuardTest, NothingLoggedWhenDebuggingIsBarred) {
  f.AddAlways(u"&", u"and");
  f.Ctx.NeverDebug = true;
  std::u16string word = u"R&D";
  EXPECT_EQ(ApplyAlwaysReplacements(f.Ctx, word), u"R/and/D");
  EXPECT_TRUE(f.Log().empty());
}

}  // namespace
}  // namespace parlan
