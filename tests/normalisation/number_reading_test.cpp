// The number section of the normalisation file: its reader's complaints, and a second language
// that states its own number reading without any code of its own.
#include "normalisation/NumberReading.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "normalisation/NormFixture.h"
#include "normalisation/NumberForms.h"
#include "strings/Unicode.h"
#include "testkit/TestKit.h"

namespace parlan {
namespace {

using Lines = std::vector<std::string>;

std::vector<std::u16string> U16(const Lines& lines) {
  std::vector<std::u16string> out;
  for (const std::string& l : lines) {
    out.emplace_back();
    EXPECT_TRUE(Utf8ToUtf16(l, out.back()));
  }
  return out;
}

// A German-like language: decimal comma, group dot, number words joined into one word with
// the units before the tens ("einundzwanzig"), the euro sign after the amount.
Lines GermanFile(const Lines& section) {
  Lines f = {"Deutsch", "LOCALE",  "1031", "CHARSET", "0",      "NO",   "null", "eins",  "zwei",
             "drei",    "vier",    "fünf", "sechs",   "sieben", "acht", "neun", "NOSTR", "0",
             "1",       "2",       "3",    "4",       "5",      "6",    "7",    "8",     "9",
             "ABBR",    "ABBREND", "line", "!?;:",    ",",      "()",   ",",    "Punkt", "Komma"};
  f.insert(f.end(), section.begin(), section.end());
  return f;
}

const Lines kGermanNumbers = {
    "NUMBERS",
    "CARDINAL %zahl",
    "ORDINAL %ordnung ter te",
    "GROUP .",
    "MINUS minus -",
    "CURRENCY after € Euro Euro Cent Cent",
    "MONEY {major} {majorunit} und {minor} {minorunit}",
    "UNIT % Prozent Prozent",
    "TIME %zahl %minuten",
    "RULES",
    "%zahl:",
    " 0: null; 1: eins; 2: zwei; 3: drei; 4: vier; 5: fünf; 6: sechs; 7: sieben; 8: acht;",
    " 9: neun; 10: zehn; 11: elf; 12: zwölf; 13: dreizehn; 14: vierzehn; 15: fünfzehn;",
    " 16: sechzehn; 17: siebzehn; 18: achtzehn; 19: neunzehn;",
    " 20: [>%%ein>und]zwanzig; 30: [>%%ein>und]dreißig; 40: [>%%ein>und]vierzig;",
    " 50: [>%%ein>und]fünfzig;",
    " 100: <%%ein<hundert[>>]; 1000: <%%ein<tausend[>>];",
    "%ordnung:",
    " 1: erste; 2: zweite; 3: dritte; 4: =%zahl=te; 20: =%zahl=ste;",
    "%minuten:",
    " 0: Uhr; 1: =%zahl=;",
    "%%ein:",
    " 1: ein; 2: =%zahl=;",
    "RULESEND",
    "NUMBERSEND",
};

class SecondLanguage : public ::testing::Test {
 protected:
  std::string Read(const std::string& utf8) {
    std::u16string word;
    EXPECT_TRUE(Utf8ToUtf16(utf8, word));
    ReadNumberForms(f.Ctx, word, {});
    ExpandDigits(f.Ctx, word);
    return ToUtf8(word);
  }
  testkit::TempDir dir;
  testkit::NormFixture f;
};

TEST_F(SecondLanguage, StatesItsOwnReadingInTheFile) {
  const auto file = dir.Path() / "Deutschn.ttg";
  testkit::WriteUtf16Lines(file, GermanFile(kGermanNumbers));
  ASSERT_TRUE(LoadNormalisationRules(f.Ctx, file));
  ASSERT_TRUE(f.Tables.Numbers.Present);
  const std::pair<const char*, const char*> cases[] = {
      {"21", "/einundzwanzig/"},
      {"40", "/vierzig/"},
      {"1.234", "/eintausendzweihundertvierunddreißig/"},
      {"3,5", "/drei/Komma/fünf/"},
      {"-7", "/minus/sieben/"},
      {"5,20€", "/fünf/Euro/und/zwanzig/Cent/"},
      {"50%", "/fünfzig/Prozent/"},
      {"3te", "/dritte/"},
      {"10:00", "/zehn/Uhr/"},
      {"007", "/null/null/sieben/"},
  };
  for (const auto& [text, words] : cases) EXPECT_EQ(Read(text), words) << text;
}

TEST_F(SecondLanguage, FileWithoutTheSectionReadsDigitByDigit) {
  const auto file = dir.Path() / "Deutschn.ttg";
  testkit::WriteUtf16Lines(file, GermanFile({}));
  ASSERT_TRUE(LoadNormalisationRules(f.Ctx, file));
  EXPECT_FALSE(f.Tables.Numbers.Present);
  EXPECT_EQ(Read("21"), "zwei/eins/");
}

TEST_F(SecondLanguage, BrokenSectionStillLoadsTheFile) {
  const auto file = dir.Path() / "Deutschn.ttg";
  testkit::WriteUtf16Lines(file, GermanFile({"NUMBERS", "CARDINAL %fehlt", "NUMBERSEND"}));
  ASSERT_TRUE(LoadNormalisationRules(f.Ctx, file));
  EXPECT_EQ(f.Tables.DecimalPointWord, u"Komma");
  EXPECT_EQ(Read("21"), "/zwei/eins/");  // no rules: digit by digit
}

// "Nr. 5" is "Nummer fünf", while "Nr." before other words keeps the reading of the rest of
// the file; the language states it, no code knows German.
TEST_F(SecondLanguage, ReadsAWordByTheKindOfWordAfterIt) {
  const auto file = dir.Path() / "Deutschn.ttg";
  Lines section = kGermanNumbers;
  section.insert(
      section.begin() + 1,
      {"BEFORE Nr. digit Nummer", "BEFORE Str. lower,capital Straße",
       "BEFORE z.B. lower,capital zum_Beispiel", "BEFORE usw. capital,other und_so_weiter."});
  testkit::WriteUtf16Lines(file, GermanFile(section));
  ASSERT_TRUE(LoadNormalisationRules(f.Ctx, file));
  const struct {
    const char *Word, *Next, *Words;
  } cases[] = {
      {"Nr.", "5", "/Nummer/"},
      {"(Nr.", "12)", "(/Nummer/"},
      {"Nr.", "Eins", "Nr."},
      {"Nr.", "", "Nr."},
      {"Str.", "Nord", "/Straße/"},
      {"Str.", "3", "Str."},
      {"z.B.", "so", "/zum/Beispiel/"},
      {"Nr", "5", "Nr"},
      {"nr.", "5", "nr."},
      {"usw.", "", "/und/so/weiter."},
      {"usw.", "Dann", "/und/so/weiter."},
      {"usw.", "und", "usw."},
  };
  for (const auto& c : cases) {
    std::u16string word, next;
    ASSERT_TRUE(Utf8ToUtf16(c.Word, word) && Utf8ToUtf16(c.Next, next));
    ReadNumberForms(f.Ctx, word, WordNeighbours{{}, next});
    EXPECT_EQ(ToUtf8(word), c.Words) << c.Word << " " << c.Next;
  }
  const auto log = f.Log();
  EXPECT_NE(std::find(log.begin(), log.end(), u"ctx Nr. Nummer"), log.end());
}

struct ProblemCase {
  const char* Name;
  Lines Section;
  size_t Line;  // index of the line the problem is reported at
  const char* Message;
};

[[maybe_unused]] void PrintTo(const ProblemCase& c, std::ostream* os) {
  *os << c.Name;
}

class SectionProblem : public ::testing::TestWithParam<ProblemCase> {};

TEST_P(SectionProblem, IsReportedAtItsLine) {
  const ProblemCase& c = GetParam();
  NumberReading reading;
  std::vector<NumberProblem> problems;
  ParseNumberReading(U16(c.Section), 0, reading, &problems);
  ASSERT_FALSE(problems.empty());
  bool found = false;
  for (const NumberProblem& p : problems)
    found = found || (p.Line == c.Line && p.Text.find(c.Message) != std::string::npos);
  EXPECT_TRUE(found) << problems.front().Line << ": " << problems.front().Text;
}

const Lines kRules = {"RULES", "%n: 0: zero; 1: one; 2: two;", "RULESEND"};
Lines With(Lines head, const Lines& tail = {"NUMBERSEND"}) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SectionProblem,
    ::testing::Values(
        ProblemCase{
            "UnknownKeyword", {"NUMBERS", "COLOUR red", "NUMBERSEND"}, 1, "unknown keyword"},
        ProblemCase{"TooFewValues", {"NUMBERS", "UNIT km", "NUMBERSEND"}, 1, "takes 3 values"},
        ProblemCase{"NeverEnds", {"NUMBERS", "GROUP ,"}, 0, "no \"NUMBERSEND\""},
        ProblemCase{"RulesNeverEnd", {"NUMBERS", "RULES", "%n: 0: zero;"}, 1, "no \"RULESEND\""},
        ProblemCase{"RulesDoNotCompile",
                    {"NUMBERS", "RULES", "%n: 0: zero; 1: <%nowhere<;", "RULESEND", "NUMBERSEND"},
                    1,
                    "do not compile"},
        ProblemCase{"UnknownRuleSet", With({"NUMBERS", "CARDINAL %m"}, With(kRules)), 1,
                    "no public rule set \"%m\""},
        ProblemCase{"RuleSetWithoutRules", {"NUMBERS", "CARDINAL %n", "NUMBERSEND"}, 1, "no rules"},
        ProblemCase{"YearsBackwards", With({"NUMBERS", "YEAR %n 2000 1000"}, With(kRules)), 1,
                    "first year is after the last"},
        ProblemCase{
            "NotANumber", {"NUMBERS", "DIGITS many", "NUMBERSEND"}, 1, "not a whole number"},
        ProblemCase{"SignSide",
                    {"NUMBERS", "CURRENCY beside $ dollar dollars", "NUMBERSEND"},
                    1,
                    "\"before\" or \"after\""},
        ProblemCase{"HalfAMinorUnit",
                    {"NUMBERS", "CURRENCY before $ dollar dollars cent", "NUMBERSEND"},
                    1,
                    "both its singular and its plural"},
        ProblemCase{
            "LongGroupSeparator", {"NUMBERS", "GROUP ,,", "NUMBERSEND"}, 1, "one character"},
        ProblemCase{"LetterOfTwo", {"NUMBERS", "LETTER AB ay", "NUMBERSEND"}, 1, "one character"},
        ProblemCase{
            "DateOrder", {"NUMBERS", "DATE ymd {year}", "NUMBERSEND"}, 1, "\"mdy\" or \"dmy\""},
        ProblemCase{"UnknownNextKind",
                    {"NUMBERS", "BEFORE St. capital,upper Saint", "NUMBERSEND"},
                    1,
                    "not \"upper\""},
        ProblemCase{"NoWordsAfterTheKind",
                    {"NUMBERS", "BEFORE St. capital", "NUMBERSEND"},
                    1,
                    "takes 3 to 64 values"},
        ProblemCase{"ElevenMonths",
                    {"NUMBERS", "MONTHS a b c d e f g h i j k", "NUMBERSEND"},
                    1,
                    "takes 12 values"}),
    [](const auto& i) { return std::string(i.param.Name); });

TEST(NumberSection, CleanSectionHasNoProblemsAndStartsAfterBlankLines) {
  NumberReading reading;
  std::vector<NumberProblem> problems;
  ParseNumberReading(U16(With({"", "NUMBERS", "CARDINAL %n", "// a comment"}, With(kRules))), 0,
                     reading, &problems);
  EXPECT_TRUE(problems.empty()) << problems.front().Text;
  EXPECT_TRUE(reading.Present);
  EXPECT_EQ(SpellNumber(reading, 2, u"%n"), u"two");
  EXPECT_EQ(SpellNumber(reading, 2, u"%none"), std::nullopt);
}

TEST(NumberSection, OtherTextAfterTheSevenLinesIsNoSection) {
  NumberReading reading;
  std::vector<NumberProblem> problems;
  ParseNumberReading(U16({"a note", "NUMBERS", "NUMBERSEND"}), 0, reading, &problems);
  EXPECT_FALSE(reading.Present);
  EXPECT_TRUE(problems.empty());
}

}  // namespace
}  // namespace parlan
