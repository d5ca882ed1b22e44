// Golden tests of English number reading: text in, the words of the prepared phrases out, read
// by the shipped normalisation file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "normalisation/NormFixture.h"
#include "pipeline/PrepareText.h"
#include "strings/Unicode.h"
#include "testkit/TestKit.h"

namespace parlan {
namespace {

namespace fs = std::filesystem;

fs::path EnglishFile(const char* name) {
  return fs::path(PARLAN_TEST_DATA).parent_path().parent_path() / "languages" / "Parlan English" /
         name;
}

// The phrases of a whole text as SpeakNative cuts them, each token set apart by a blank. The
// dictionary step is given `dictionary`, or a missing file so that words stay words.
class EnglishReading : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadNormalisationRules(f.Ctx, EnglishFile("Englishn.ttg")));
    ASSERT_TRUE(f.Tables.Numbers.Present);
  }

  std::string Read(const std::string& utf8, const fs::path& dictionary = {}) {
    std::u16string in;
    EXPECT_TRUE(Utf8ToUtf16(utf8, in));
    bool exceptRead = false, exceptOk = false;
    ExceptionTables exceptions;
    PrepareContext ctx{f.Ctx,      true,
                       exceptions, exceptRead,
                       exceptOk,   dictionary.empty() ? dir.Path() / "none.ttg" : dictionary};
    RemainingText text(std::move(in));
    bool dotAdded = false;
    std::u16string all;
    for (int guard = 0; guard < 100; ++guard) {
      EnsureFinalStop(f.Tables, text, dotAdded);
      if (text.Empty()) break;
      all += PrepareText(ctx, text, dotAdded) + u"/";
    }
    std::string out;
    for (size_t from = 0; from <= all.size();) {
      size_t slash = std::min(all.find(u'/', from), all.size());
      if (slash > from) out += (out.empty() ? "" : " ") + ToUtf8(all.substr(from, slash - from));
      from = slash + 1;
    }
    return out;
  }

  testkit::TempDir dir;
  testkit::NormFixture f;
};

struct ReadingCase {
  const char* Name;
  const char* Text;
  const char* Words;
};

[[maybe_unused]] void PrintTo(const ReadingCase& c, std::ostream* os) {
  *os << c.Name;
}

class EnglishGolden : public EnglishReading, public ::testing::WithParamInterface<ReadingCase> {};

TEST_P(EnglishGolden, ReadsAsAnEnglishReaderWould) {
  EXPECT_EQ(Read(GetParam().Text), GetParam().Words) << GetParam().Text;
}

const ReadingCase kCardinals[] = {
    {"Units", "7 cats", "seven cats"},
    {"Teens", "I am 13", "I am thirteen"},
    {"Tens", "42", "forty two"},
    {"Hundreds", "105 and 999", "one hundred five and nine hundred ninety nine"},
    {"Million", "1000000", "one million"},
    {"Quadrillion", "2,000,000,000,000,000", "two quadrillion"},
    {"Grouped", "1,234,567",
     "one million two hundred thirty four thousand five hundred sixty seven"},
    {"BadGroupsAreTwoNumbers", "12,34", "twelve *, thirty four"},
    {"Decimal", "3.14", "three point one four"},
    {"DecimalBelowOne", "0.5", "zero point five"},
    {"Negative", "-5", "minus five"},
    {"UnicodeMinus", "\u22127", "minus seven"},
    {"NegativeDecimal", "-3.5", "minus three point five"},
    {"TrailingStop", "I paid 20.", "I paid twenty *."},
    {"DigitsLeftInAWord", "A4 paper", "A four paper"},
    {"DigitsAfterAReplacement", "#5", "number five"},
};
INSTANTIATE_TEST_SUITE_P(Cardinals, EnglishGolden, ::testing::ValuesIn(kCardinals),
                         [](const auto& i) { return std::string(i.param.Name); });

const ReadingCase kOrdinalsAndYears[] = {
    {"First", "1st", "first"},
    {"Second", "2nd", "second"},
    {"TwentySecond", "22nd", "twenty second"},
    {"HundredThird", "103rd", "one hundred third"},
    {"Hundredth", "100th", "one hundredth"},
    {"Eleventh", "11th", "eleventh"},
    {"Twelfth", "the 12th", "the twelfth"},
    {"Fortieth", "40th", "fortieth"},
    {"Thousandth", "1,000th", "one thousandth"},
    {"Year1999", "In 1999", "In nineteen ninety nine"},
    {"Year2026", "2026", "twenty twenty six"},
    {"Year2005", "2005", "two thousand five"},
    {"Year1905", "1905", "nineteen oh five"},
    {"Year1900", "1900", "nineteen hundred"},
    {"Decade", "the 1990s", "the nineteen nineties"},
    {"ShortDecade", "the '80s", "the eighties"},
    {"OutsideTheYears", "2500", "two thousand five hundred"},
};
INSTANTIATE_TEST_SUITE_P(OrdinalsAndYears, EnglishGolden, ::testing::ValuesIn(kOrdinalsAndYears),
                         [](const auto& i) { return std::string(i.param.Name); });

const ReadingCase kMoneyAndMeasures[] = {
    {"DollarsAndCents", "$5.20", "five dollars twenty cents"},
    {"OneDollar", "$1", "one dollar"},
    {"OneDollarOneCent", "$1.01", "one dollar one cent"},
    {"CentsOnly", "$0.99", "ninety nine cents"},
    {"EuroBefore", "\u20ac50", "fifty euros"},
    {"EuroAfter", "50\u20ac", "fifty euros"},
    {"Pounds", "\u00a33", "three pounds"},
    {"Pence", "\u00a32.50", "two pounds fifty pence"},
    {"Million", "$1,000,000", "one million dollars"},
    {"NegativeAmount", "-$5", "minus five dollars"},
    {"HugeAmount", "$12345678901234567890.50",
     "one two three four five six seven eight nine zero one two three four five six seven eight "
     "nine zero dollars fifty cents"},
    {"Percent", "50%", "fifty percent"},
    {"DecimalPercent", "3.5%", "three point five percent"},
    {"Kilometres", "5km", "five kilometers"},
    {"OneKilogram", "1kg", "one kilogram"},
    {"Celsius", "20\u00b0C", "twenty degrees Celsius"},
    {"CelsiusApart", "20 \u00b0C", "twenty degrees Celsius"},
    {"Signs", "R&D @ home", "R and D at home"},
    {"UnitApart", "Drive 300 m now", "Drive three hundred meters now"},
    {"OneUnitApart", "1 m.", "one meter *."},
    {"HoursApart", "at 5 am", "at five ay em"},
    {"UnitWithoutANumberIsAWord", "I am here", "I am here"},
    {"UnitAfterAWordWithAComma", "5, m", "five *, m"},
};
INSTANTIATE_TEST_SUITE_P(MoneyAndMeasures, EnglishGolden, ::testing::ValuesIn(kMoneyAndMeasures),
                         [](const auto& i) { return std::string(i.param.Name); });

const ReadingCase kTimesAndDates[] = {
    {"HalfPast", "10:30", "ten thirty"},
    {"OClock", "at 10:00", "at ten a clock"},
    {"OhFive", "9:05", "nine oh five"},
    {"WithAm", "10:30am", "ten thirty ay em"},
    {"NotATime", "3:1", "three *: one"},
    {"MonthThenDay", "December 9, 2026", "December ninth *, twenty twenty six"},
    {"DayThenMonth", "9 May", "ninth May"},
    {"ShortMonth", "Jan 3", "Jan third"},
    {"ShortMonthSpoken", "Dec 25", "December twenty fifth"},
    {"Iso", "2026-12-09", "December ninth twenty twenty six"},
    {"Slashed", "12/25/2026", "December twenty fifth twenty twenty six"},
    {"Range", "pages 10-20", "pages ten to twenty"},
    {"YearRange", "1990-1995", "nineteen ninety to nineteen ninety five"},
};
INSTANTIATE_TEST_SUITE_P(TimesAndDates, EnglishGolden, ::testing::ValuesIn(kTimesAndDates),
                         [](const auto& i) { return std::string(i.param.Name); });

const ReadingCase kDigitByDigit[] = {
    {"LeadingZeros", "007", "zero zero seven"},
    {"Phone", "555-1234", "five five five *, one two three four"},
    {"LongPhone", "555-123-4567", "five five five *, one two three *, four five six seven"},
    {"DottedPhone", "555.123.4567", "five five five *, one two three *, four five six seven"},
    {"VersionIsNoPhone", "1.2.3", "one point two point three"},
    {"LongString", "1234567890123",
     "one two three four five six seven eight nine zero one two three"},
};
INSTANTIATE_TEST_SUITE_P(DigitByDigit, EnglishGolden, ::testing::ValuesIn(kDigitByDigit),
                         [](const auto& i) { return std::string(i.param.Name); });

const ReadingCase kAcronymsAndAddresses[] = {
    {"Bbc", "the BBC", "the bee bee see"},
    {"Fbi", "FBI agents", "eff bee eye agents"},
    {"Plural", "CDs", "see dees"},
    {"SpelledEvenInTheDictionary", "the US", "the you ess"},
    {"SixCapitalsAreAWord", "ABCDEF", "ABCDEF"},
    {"OneCapitalIsAWord", "I", "I"},
    {"Web", "www.example.com", "double you double you double you dot example dot com"},
    {"WebAtTheEnd", "See www.example.com.",
     "See double you double you double you dot example dot com *."},
    {"Mail", "john.smith@example.org", "john dot smith at example dot org"},
    {"SchemeAndPath", "https://bbc.co.uk/news",
     "aitch tee tee pee ess colon slash slash bee bee see dot co dot you kay slash news"},
    {"FileNameIsNoAddress", "file.txt", "file dot txt"},
    {"ShortPartSaidAsAWord", "jobs@acme.co.uk", "jobs at acme dot co dot you kay"},
};
INSTANTIATE_TEST_SUITE_P(AcronymsAndAddresses, EnglishGolden,
                         ::testing::ValuesIn(kAcronymsAndAddresses),
                         [](const auto& i) { return std::string(i.param.Name); });

// Abbreviations whose dot is no sentence end where the word after them says what they are.
const ReadingCase kDottedWords[] = {
    {"SaintBeforeAName", "St. Paul's is big.", "Saint Paul's is big *."},
    {"SaintWithoutTheDot", "St Paul's", "Saint Paul's"},
    {"StreetBeforeALowerWord", "Baker St. is long.", "Baker street is long *."},
    {"StreetAtTheEnd", "I live on Main St.", "I live on Main street *."},
    {"StreetEndsItsSentence", "Main St.", "Main street *."},
    {"SaintInQuotes", "\"St. John\" said", "Saint John said"},
    {"StreetBeforeANumber", "Elm St. 5", "Elm street five"},
    {"Mount", "Mt. Everest", "Mount Everest"},
    {"NumberBeforeADigit", "No. 5 won.", "number five won *."},
    {"NoBeforeAWordIsAWord", "Say No. Then go.", "Say No *. Then go *."},
    {"LowerNumber", "ticket no. 12", "ticket number twelve"},
    {"Figure", "see Fig. 3", "see figure three"},
    {"Page", "read p. 12", "read page twelve"},
    {"Pages", "pp. 10-20", "pages ten to twenty"},
    {"ShortMonthWithADot", "Jan. 5", "January fifth"},
    {"ShortMonthEndingASentence", "It was Jan.", "It was Jan *."},
    {"Avenue", "Fifth Ave. and more", "Fifth avenue and more"},
    {"FeetWithADot", "5 ft. tall", "five feet tall"},
    {"Doctor", "Dr. Smith came.", "doctor Smith came *."},
    {"MisterAndMissus", "Mr. and Mrs. Jones", "mister and missus Jones"},
    {"InitialsEndingASentence", "I live in the U.S.", "I live in the you ess *."},
    {"InitialsBeforeALowerWord", "The U.S. army", "The you ess army"},
    {"InitialsBeforeACapital", "The U.S. Then", "The you ess *. Then"},
    {"EtceteraEndingASentence", "pears etc. Then", "pears et cetera *. Then"},
    {"EtceteraInASentence", "pears etc. are", "pears et cetera are"},
};
INSTANTIATE_TEST_SUITE_P(DottedWords, EnglishGolden, ::testing::ValuesIn(kDottedWords),
                         [](const auto& i) { return std::string(i.param.Name); });

// NASA is a word because the dictionary has it; BBC is not in it and is spelled.
TEST_F(EnglishReading, DictionaryWordsOfCapitalsStayWords) {
  const fs::path dictionary = dir.Path() / "Teste.ttg";
  testkit::WriteUtf16Lines(dictionary, {"Test", "EXCEPT", "nasa --> n'as@", "END"});
  EXPECT_EQ(Read("NASA and BBC", dictionary), "[n'as@] and bee bee see");
}

TEST_F(EnglishReading, LogsEachReading) {
  Read("$5.20 and BBC");
  const auto log = f.Log();
  EXPECT_NE(std::find(log.begin(), log.end(), u"num $5.20 five dollars twenty cents"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), u"spell BBC bee/bee/see"), log.end());
}

}  // namespace
}  // namespace parlan
