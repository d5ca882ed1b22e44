// The normalisation file loader and its line helpers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "normalisation/NormFixture.h"
#include "strings/Unicode.h"
#include "testkit/TestKit.h"

namespace parlan {
namespace {

using Lines = std::vector<std::string>;

const Lines kNumberWords = {"zero", "one", "two",   "three", "four",
                            "five", "six", "seven", "eight", "nine"};
const Lines kAsciiDigits = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

struct FileParts {
  Lines Before = {};
  std::string Locale = "1033";
  std::string Charset = "0";
  Lines Digits = kAsciiDigits;
  Lines Entries = {};
  Lines After = {"unused", "!?;:", ",", "()", ".", "dot", "point"};
};

Lines BuildFile(const FileParts& p) {
  Lines lines = p.Before;
  lines.insert(lines.end(), {"LOCALE", p.Locale, "CHARSET", p.Charset, "NO"});
  lines.insert(lines.end(), kNumberWords.begin(), kNumberWords.end());
  lines.push_back("NOSTR");
  lines.insert(lines.end(), p.Digits.begin(), p.Digits.end());
  lines.push_back("ABBR");
  lines.insert(lines.end(), p.Entries.begin(), p.Entries.end());
  lines.push_back("ABBREND");
  lines.insert(lines.end(), p.After.begin(), p.After.end());
  return lines;
}

class LoaderTest : public ::testing::Test {
 protected:
  bool Load(const Lines& lines, bool withBom = false) {
    auto file = dir.Path() / "Demon.ttg";
    testkit::WriteUtf16Lines(file, lines, withBom);
    return LoadNormalisationRules(f.Ctx, file);
  }
  bool Load(const FileParts& parts) { return Load(BuildFile(parts)); }

  testkit::TempDir dir;
  testkit::NormFixture f;
};

TEST_F(LoaderTest, ReadsEverySection) {
  FileParts parts;
  parts.Locale = "1032";
  parts.Charset = "161";
  ASSERT_TRUE(Load(parts));
  const NormalisationTables& t = f.Tables;
  EXPECT_EQ(t.NormLocale, 1032);
  EXPECT_EQ(t.NormCharset, 161);
  EXPECT_EQ(t.NumberWords[0], u"zero");
  EXPECT_EQ(t.NumberWords[9], u"nine");
  EXPECT_EQ(t.Digits.DigitStrings[7], u"7");
  EXPECT_FALSE(t.Digits.OwnDigits);
  EXPECT_EQ(t.PhraseEndChars, u"!?;:");
  EXPECT_EQ(t.SymbolChars, u",");
  EXPECT_EQ(t.IgnoreChars, u"()");
  EXPECT_EQ(t.DecimalPoint, u".");
  EXPECT_EQ(t.DotWord, u"dot");
  EXPECT_EQ(t.DecimalPointWord, u"point");
  EXPECT_FALSE(t.DecimalPointNotDot);
  // The debug boxes take the file's character set and locale.
  EXPECT_EQ(f.Debug.Advanced().FindControl("txtNormAppld")->FontCharset, 161);
  EXPECT_EQ(f.Debug.Debug().FindControl("rtbTextIn")->FontCharset, 161);
  EXPECT_EQ(f.Debug.Locale(), 1032);
}

TEST_F(LoaderTest, ArbitraryLinesBeforeLocaleAreSkipped) {
  FileParts parts;
  parts.Before = {"Demo normalisation rules", "", "locale", " LOCALE", "ABBR", "NO"};
  ASSERT_TRUE(Load(parts));
  EXPECT_EQ(f.Tables.NormLocale, 1033);
  EXPECT_EQ(f.Tables.NumberWords[3], u"three");
}

TEST_F(LoaderTest, ByteOrderMarkDoesNotHideTheFirstKeyword) {
  ASSERT_TRUE(Load(BuildFile({}), /*withBom=*/true));
  EXPECT_EQ(f.Tables.NormLocale, 1033);
}

TEST_F(LoaderTest, EmptyAbbreviationSection) {
  ASSERT_TRUE(Load(FileParts{}));
  EXPECT_EQ(f.Tables.AbbrCount, 0);
  EXPECT_EQ(f.Tables.AlwaysCount, 0);
  EXPECT_TRUE(f.Tables.AbbrInitials.empty());
  EXPECT_TRUE(f.Tables.AbbrGroupLast.empty());
}

TEST_F(LoaderTest, AbbreviationsAndWholePhraseEntries) {
  FileParts parts;
  parts.Entries = {"Dr --> doctor", "e.g. --> for example", "& --> and **", "i.e. --> that is **"};
  ASSERT_TRUE(Load(parts));
  const NormalisationTables& t = f.Tables;
  ASSERT_EQ(t.AbbrCount, 2);
  EXPECT_EQ(t.AbbrKeys, (std::vector<std::u16string>{u"Dr", u"e.g."}));
  EXPECT_EQ(t.AbbrExpansions, (std::vector<std::u16string>{u"doctor", u"for/example"}));
  ASSERT_EQ(t.AlwaysCount, 2);
  EXPECT_EQ(t.AlwaysKeys, (std::vector<std::u16string>{u"&", u"i.e."}));
  EXPECT_EQ(t.AlwaysReplacements, (std::vector<std::u16string>{u"and", u"that/is"}));
}

struct RepeatCase {
  const char* Name;
  Lines Entries;
  std::vector<std::u16string> Keys, Expansions, AlwaysKeys;
};

[[maybe_unused]] void PrintTo(const RepeatCase& c, std::ostream* os) {
  *os << c.Name;
}

class RepeatTest : public LoaderTest, public ::testing::WithParamInterface<RepeatCase> {};

// A line without the arrow repeats the entry before it; a mark already removed stays removed,
// so a repeated whole-phrase entry lands among the abbreviations.
TEST_P(RepeatTest, LineWithoutArrow) {
  FileParts parts;
  parts.Entries = GetParam().Entries;
  ASSERT_TRUE(Load(parts));
  EXPECT_EQ(f.Tables.AbbrKeys, GetParam().Keys);
  EXPECT_EQ(f.Tables.AbbrExpansions, GetParam().Expansions);
  EXPECT_EQ(f.Tables.AlwaysKeys, GetParam().AlwaysKeys);
  EXPECT_EQ(f.Tables.AbbrCount, static_cast<int16_t>(GetParam().Keys.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Loader, RepeatTest,
    ::testing::Values(
        RepeatCase{"AfterAbbreviation",
                   {"Dr --> doctor", "comment"},
                   {u"Dr", u"Dr"},
                   {u"doctor", u"doctor"},
                   {}},
        RepeatCase{"AfterWholePhrase", {"& --> and **", ""}, {u"&"}, {u"and"}, {u"&"}},
        RepeatCase{
            "FirstLine", {"no arrow here", "Mr --> mister"}, {u"", u"Mr"}, {u"", u"mister"}, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(LoaderTest, GroupsFollowTheFirstCharacter) {
  FileParts parts;
  parts.Entries = {"Dr --> doctor",           "& --> and **",  "Dr. --> doctor", "Mr --> mister",
                   "e.g. --> for example **", "Mrs --> missis"};
  ASSERT_TRUE(Load(parts));
  const NormalisationTables& t = f.Tables;
  EXPECT_EQ(t.AbbrInitials, u"DM");
  EXPECT_EQ(t.AbbrGroupFirst, (std::vector<int16_t>{1, 3}));
  EXPECT_EQ(t.AbbrGroupLast, (std::vector<int16_t>{2, 4}));
  EXPECT_EQ(t.AlwaysCount, 2);
}

TEST_F(LoaderTest, CharacterStartingTwoRunsOpensTwoGroups) {
  FileParts parts;
  parts.Entries = {"Dr --> doctor", "Mr --> mister", "Dr. --> doctor"};
  ASSERT_TRUE(Load(parts));
  EXPECT_EQ(f.Tables.AbbrInitials, u"DMD");
  EXPECT_EQ(f.Tables.AbbrGroupFirst, (std::vector<int16_t>{1, 2, 3}));
  EXPECT_EQ(f.Tables.AbbrGroupLast, (std::vector<int16_t>{1, 2, 3}));
}

struct DecimalCase {
  const char* Name;
  std::string Ignore, Point;
  bool NotDot, Ignored;
};

[[maybe_unused]] void PrintTo(const DecimalCase& c, std::ostream* os) {
  *os << c.Name;
}

class DecimalPointTest : public LoaderTest, public ::testing::WithParamInterface<DecimalCase> {};

TEST_P(DecimalPointTest, Flags) {
  FileParts parts;
  parts.After = {"unused", "!?", ",", GetParam().Ignore, GetParam().Point, "dot", "point"};
  ASSERT_TRUE(Load(parts));
  EXPECT_EQ(f.Tables.DecimalPointNotDot, GetParam().NotDot);
  EXPECT_EQ(f.Tables.DecimalPointIgnored, GetParam().Ignored);
}

INSTANTIATE_TEST_SUITE_P(Loader, DecimalPointTest,
                         ::testing::Values(DecimalCase{"CommaIgnored", "(,)", ",", true, true},
                                           DecimalCase{"CommaKept", "()", ",", true, false},
                                           DecimalCase{"Dot", "(.)", ".", false, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(LoaderTest, OwnDigits) {
  FileParts parts;
  parts.Digits = kAsciiDigits;
  parts.Digits[1] = "\xD9\xA1";  // ARABIC-INDIC DIGIT ONE
  ASSERT_TRUE(Load(parts));
  EXPECT_TRUE(f.Tables.Digits.OwnDigits);
  EXPECT_EQ(f.Tables.Digits.DigitStrings[1], u"\u0661");
}

struct NumberCase {
  const char* Name;
  std::string Locale;
  bool Ok;
  int16_t Value;
};

[[maybe_unused]] void PrintTo(const NumberCase& c, std::ostream* os) {
  *os << c.Name;
}

class NumberLineTest : public LoaderTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(NumberLineTest, Locale) {
  FileParts parts;
  parts.Locale = GetParam().Locale;
  EXPECT_EQ(Load(parts), GetParam().Ok);
  if (GetParam().Ok) {
    EXPECT_EQ(f.Tables.NormLocale, GetParam().Value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Loader, NumberLineTest,
    ::testing::Values(NumberCase{"Plain", "1033", true, 1033},
                      NumberCase{"LeadingBlanksAndTrailingText", "  1032 Greek", true, 1032},
                      NumberCase{"Rounded", "1032.6", true, 1033},
                      NumberCase{"NoNumber", "Greek", true, 0}, NumberCase{"Empty", "", true, 0},
                      NumberCase{"SmallestInteger", "-32768", true, -32768},
                      NumberCase{"Largest", "32767", true, 32767},
                      NumberCase{"TooLarge", "32768", false, 0},
                      NumberCase{"TooSmall", "-40000", false, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(LoaderTest, CharsetOutsideSixteenBitsFails) {
  FileParts parts;
  parts.Charset = "70000";
  EXPECT_FALSE(Load(parts));
}

// Each of these files ends, or lacks a keyword, before the load is complete.
TEST_F(LoaderTest, TruncatedOrIncompleteFilesFail) {
  const Lines full = BuildFile({});
  for (size_t keep = 0; keep < full.size(); ++keep) {
    Lines part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(keep));
    EXPECT_FALSE(Load(part)) << "file cut after " << keep << " lines";
  }
  for (const char* keyword : {"LOCALE", "CHARSET", "NO", "NOSTR", "ABBR", "ABBREND"}) {
    Lines broken = full;
    for (auto& line : broken)
      if (line == keyword) line = "removed";
    EXPECT_FALSE(Load(broken)) << "without " << keyword;
  }
  EXPECT_FALSE(LoadNormalisationRules(f.Ctx, dir.Path() / "missing.ttg"));
}

TEST_F(LoaderTest, LinesAfterTheSeventhAreNotRead) {
  Lines lines = BuildFile({});
  lines.insert(lines.end(), {"LOCALE", "junk"});
  ASSERT_TRUE(Load(lines));
  EXPECT_EQ(f.Tables.DecimalPointWord, u"point");
}

TEST_F(LoaderTest, FailedLoadLeavesNoTablesBehind) {
  FileParts parts;
  parts.Entries = {"Dr --> doctor"};
  ASSERT_TRUE(Load(parts));
  f.Debug.SetLocale(7);
  Lines cut = BuildFile(parts);
  cut.pop_back();
  EXPECT_FALSE(Load(cut));
  EXPECT_EQ(f.Tables.AbbrCount, 0);
  EXPECT_TRUE(f.Tables.AbbrKeys.empty());
  EXPECT_TRUE(f.Tables.PhraseEndChars.empty());
  EXPECT_EQ(f.Debug.Locale(), 7);  // only a successful load sets the locale
}

// Counters are 16-bit: 32766 abbreviations fit, one more overflows the next index.
TEST_F(LoaderTest, SixteenBitCounters) {
  FileParts parts;
  for (int i = 0; i < 32766; ++i) parts.Entries.push_back("k" + std::to_string(i) + " --> x");
  ASSERT_TRUE(Load(parts));
  EXPECT_EQ(f.Tables.AbbrCount, 32766);
  EXPECT_EQ(f.Tables.AbbrGroupLast, (std::vector<int16_t>{32766}));
  parts.Entries.push_back("k --> x");
  EXPECT_FALSE(Load(parts));
  parts.Entries.assign(32767, "& --> and **");
  EXPECT_FALSE(Load(parts));
}

struct ArrowCase {
  const char* Name;
  std::u16string Line, Key, Expansion;
};

[[maybe_unused]] void PrintTo(const ArrowCase& c, std::ostream* os) {
  *os << c.Name;
}

class SplitAtArrowTest : public ::testing::TestWithParam<ArrowCase> {};

TEST_P(SplitAtArrowTest, Splits) {
  std::u16string key = u"old key", expansion = u"old expansion";
  SplitAtArrow(GetParam().Line, key, expansion);
  EXPECT_EQ(key, GetParam().Key);
  EXPECT_EQ(expansion, GetParam().Expansion);
}

INSTANTIATE_TEST_SUITE_P(
    Helpers, SplitAtArrowTest,
    ::testing::Values(ArrowCase{"Plain", u"Dr --> doctor", u"Dr", u"doctor"},
                      ArrowCase{"FirstArrowCounts", u"a --> b --> c", u"a", u"b --> c"},
                      ArrowCase{"EmptyKey", u" --> x", u"", u"x"},
                      ArrowCase{"EmptyExpansion", u"a --> ", u"a", u""},
                      ArrowCase{"NoSpacesIsNoArrow", u"a-->b", u"old key", u"old expansion"},
                      ArrowCase{"NoArrow", u"", u"old key", u"old expansion"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(HelpersTest, StripAlwaysMark) {
  struct Case {
    std::u16string In;
    bool Stripped;
    std::u16string Out;
  };
  for (const Case& c : {Case{u"and **", true, u"and"}, Case{u" **", true, u""},
                        Case{u"and", false, u"and"}, Case{u"and**", false, u"and**"},
                        Case{u"**", false, u"**"}, Case{u"a ** b", false, u"a ** b"}}) {
    std::u16string s = c.In;
    EXPECT_EQ(StripAlwaysMark(s), c.Stripped) << ToUtf8(c.In);
    EXPECT_EQ(s, c.Out);
  }
}

TEST(HelpersTest, SpacesToSlashesChangesItsArgument) {
  std::u16string s = u"for  example ";
  EXPECT_EQ(SpacesToSlashes(s), u"for//example/");
  EXPECT_EQ(s, u"for//example/");
}

}  // namespace
}  // namespace parlan
