#include "EspeakPhonemes.h"

#include <algorithm>

namespace parlan::cli {
namespace {

// The eSpeak NG en-us phonemes of the ARPAbet table, with the variants eSpeak NG uses beside
// them (reduced vowels, r-coloured vowels, syllabic consonants, the flap and the glottal stop),
// longest first so that the first match of a scan is the longest one.
std::vector<std::u16string> BuildSymbols() {
  std::vector<std::u16string> symbols = {
      // Vowels and diphthongs.
      u"A:", u"a", u"aa", u"a#", u"V", u"@", u"@2", u"I#", u"O:", u"o@", u"O@", u"0", u"O2", u"A@",
      u"aU", u"aU@", u"aI", u"aI3", u"aI@", u"E", u"e@", u"3:", u"3", u"eI", u"I", u"I2", u"i@",
      u"i@3", u"i:", u"i", u"oU", u"OI", u"U", u"U@", u"u:", u"@L",
      // Consonants.
      u"b", u"tS", u"d", u"D", u"f", u"g", u"h", u"dZ", u"k", u"l", u"l-", u"m", u"n", u"n-", u"N",
      u"p", u"r", u"s", u"S", u"t", u"t#", u"t2", u"?", u"T", u"v", u"w", u"j", u"z", u"Z", u"x",
      // Stress marks, pauses and the word separator.
      u"'", u",", u"%", u"_", u"_:", u"_!", u"||"};
  std::sort(symbols.begin(), symbols.end(),
            [](const std::u16string& a, const std::u16string& b) { return a.size() > b.size(); });
  return symbols;
}

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

// Length of the longest known symbol at `pos`; 0 when none starts there.
size_t KnownAt(std::u16string_view text, size_t pos) {
  for (const std::u16string& symbol : EspeakEnglishSymbols())
    if (text.substr(pos, symbol.size()) == symbol) return symbol.size();
  return 0;
}

}  // namespace

const std::vector<std::u16string>& EspeakEnglishSymbols() {
  static const std::vector<std::u16string> symbols = BuildSymbols();
  return symbols;
}

std::vector<std::u16string> UnknownPhonemes(std::u16string_view phonemes) {
  std::vector<std::u16string> unknown;
  size_t pos = 0;
  while (pos < phonemes.size()) {
    if (IsBlank(phonemes[pos])) {
      ++pos;
      continue;
    }
    size_t known = KnownAt(phonemes, pos);
    if (known > 0) {
      pos += known;
      continue;
    }
    size_t end = pos + 1;
    while (end < phonemes.size() && !IsBlank(phonemes[end]) && KnownAt(phonemes, end) == 0) ++end;
    unknown.emplace_back(phonemes.substr(pos, end - pos));
    pos = end;
  }
  return unknown;
}

}  // namespace parlan::cli
