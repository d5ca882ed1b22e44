// How a language reads numbers, money, times, dates, acronyms and addresses: the optional
// section "NUMBERS" ... "NUMBERSEND" after the seven lines that follow "ABBREND" in the
// normalisation file. Without it every table here stays empty and the passes read digits one
// by one as before.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace parlan {

// The compiled number-spelling rules (ICU rule-based number format), shared by copies of the
// tables.
struct NumberRules;

struct CurrencyForm {
  std::u16string Sign;
  bool Before = true;  // "$5" rather than "5$"
  std::u16string One, Many, MinorOne, MinorMany;
};

// A sign or word glued to the end of a number: "%", "km", "°C", "am".
struct UnitForm {
  std::u16string Key, One, Many;
};

// A written word read by the word after it: "St." before a capitalised name is "Saint", before
// a lower-case word "street". Where it applies its dot ends no phrase, unless the reading ends
// in a dot of its own ("U.S." at the end of a sentence is "you ess.").
struct ContextForm {
  // kOther: a sign, or no word at all (the end of the text)
  enum Kind : uint8_t { kCapital = 1, kLower = 2, kDigit = 4, kOther = 8 };
  std::u16string Key;  // as written, with its dot
  uint8_t Next = 0;    // the kinds of word after it, a set of Kind
  std::u16string Words;
};

struct NumberReading {
  bool Present = false;  // the file has the section
  std::shared_ptr<const NumberRules> Rules;
  std::u16string Cardinal, Ordinal, Year, Hours, Minutes;  // rule set names
  std::vector<std::u16string> OrdinalSuffixes;
  std::u16string Decades;  // rule set of "1990s"
  std::vector<std::u16string> DecadeSuffixes;
  int64_t YearFirst = 0, YearLast = -1;
  std::u16string Group;       // the digit group separator, e.g. ","
  std::u16string MinusSigns;  // each character is a minus sign
  std::u16string MinusWord;
  std::u16string RangeWord;
  size_t LongestNumber = 0;  // ungrouped digit strings longer than this are read digit by digit
  std::vector<CurrencyForm> Currencies;
  std::u16string MoneyTemplate;  // {major} {majorunit} {minor} {minorunit}
  std::vector<UnitForm> Units;
  std::vector<std::u16string> Months;       // twelve names, then optionally twelve short names
  std::u16string DateOrder;                 // "mdy" or "dmy": how a date written with "/" is read
  std::u16string DateTemplate;              // {day} {month} {year}
  size_t SpellLongest = 0;                  // acronyms of 2 to this many capitals are spelled
  std::vector<std::u16string> SpellAlways;  // spelled even where the dictionary has the word
  std::vector<std::pair<char16_t, std::u16string>> Letters;     // upper-case letter, its name
  std::vector<std::pair<char16_t, std::u16string>> Separators;  // of addresses: ".", "dot"
  std::vector<std::u16string> Domains;                          // top-level domains: "com"
  std::vector<std::u16string> AddressWords;  // short parts of addresses said as words: "co"
  std::vector<ContextForm> Contexts;         // in file order
};

struct NumberProblem {
  size_t Line = 0;  // index into the lines given to the parser
  std::string Text;
};

// Reads the section from lines[first] on. Without "NUMBERS" as the first non-blank line from
// there the language has no number reading. Lines in error are left out and reported.
void ParseNumberReading(const std::vector<std::u16string>& lines, size_t first, NumberReading& out,
                        std::vector<NumberProblem>* problems);

// Spells `number` with the named rule set; nothing when the rules cannot.
std::optional<std::u16string> SpellNumber(const NumberReading& reading, int64_t number,
                                          const std::u16string& ruleSet);

}  // namespace parlan
