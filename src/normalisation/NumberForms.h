// The passes that read numbers, amounts, dates, addresses and acronyms by the language's
// number section. Each does nothing when the language has no such section.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "normalisation/Normalisation.h"

namespace parlan {

// A number as written: sign, digits before and after the decimal point.
struct ParsedNumber {
  bool Negative = false;
  bool Grouped = false;  // written with the group separator, "1,234"
  bool Point = false;
  std::u16string Whole;  // digits, without group separators
  std::u16string Fraction;
};

// The whole of `s` as a number, or nothing.
std::optional<ParsedNumber> ParseNumber(const NormalisationTables& t, std::u16string_view s);

// The words around the one being read, as written in the text.
struct WordNeighbours {
  std::u16string_view Previous;
  std::u16string_view Next;
};

// Replaces a word that is a number, an amount, a measure, an ordinal, a year, a time, a date,
// a range, a phone number or an address by its words, keeping the punctuation around it for
// the later passes (NumberForms.cpp).
void ReadNumberForms(NormContext& ctx, std::u16string& word, const WordNeighbours& around);

// Replaces a word that the language reads by the kind of word after it ("St." before a
// capitalised name); true when it did (ContextWords.cpp).
bool ReadContextWord(NormContext& ctx, std::u16string& word, std::u16string_view next);

// Reads each run of ASCII digits left in a word as a number, set apart as tokens
// (NumberForms.cpp).
void ReadDigitRuns(NormContext& ctx, std::u16string& word);

// A web or e-mail address in parts: "w w w dot example dot com" (Acronyms.cpp).
std::optional<std::u16string> ReadAddress(const NormalisationTables& t, std::u16string_view core);

// Spells the words of a few capitals that the dictionary does not hold, letter by letter, in a
// prepared chunk (Acronyms.cpp).
std::u16string SpellAcronyms(NormContext& ctx, std::u16string_view chunk,
                             const std::function<bool(std::u16string_view)>& inDictionary);

}  // namespace parlan
