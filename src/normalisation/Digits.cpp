// Digits to number words, digit by digit: the language's own digits set apart on both sides,
// ASCII digits followed by "/".
#include <algorithm>

#include "normalisation/Normalisation.h"
#include "normalisation/NumberForms.h"
#include "strings/NumberText.h"

namespace parlan {
namespace {

// Replaces the first character of every occurrence of `digit` by `before` + number word + "/".
// The search goes on after the replaced character, so a number word that holds its own digit
// is not expanded again; an empty digit string is never found.
template <typename LogLine>
void ReplaceDigit(NormContext& ctx, std::u16string& word, std::u16string_view digit,
                  std::u16string_view before, const std::u16string& numberWord, LogLine logLine) {
  if (digit.empty()) return;
  size_t k0 = word.find(digit);
  if (k0 == std::u16string::npos) return;
  std::u16string out;
  size_t i = 0;
  for (; k0 != std::u16string::npos; k0 = word.find(digit, i)) {
    out.append(word, i, k0 - i);
    out.append(before);
    out.append(numberWord);
    out.push_back(u'/');
    i = k0 + 1;
    if (!ctx.NeverDebug) LogNormRule(ctx.Debug, logLine());
  }
  out.append(word, i);
  word = std::move(out);
}

}  // namespace

std::u16string ExpandDigits(NormContext& ctx, std::u16string& word) {
  const NormalisationTables& t = ctx.Tables;
  const auto asciiDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  // Most words hold no digit at all, and only the language's own digits need a search then.
  bool ascii = std::any_of(word.begin(), word.end(), asciiDigit);
  // A language with a number section reads the ASCII digits left here as numbers.
  if (t.Numbers.Present && ascii) {
    ReadDigitRuns(ctx, word);
    ascii = std::any_of(word.begin(), word.end(), asciiDigit);
  }
  if (!ascii && !t.Digits.OwnDigits) return word;
  for (size_t i = 0; i < 10; ++i) {
    const std::u16string& numberWord = t.NumberWords[i];
    if (t.Digits.OwnDigits) {
      const std::u16string& own = t.Digits.DigitStrings[i];
      ReplaceDigit(ctx, word, own, u"/", numberWord,
                   [&] { return u"ns no " + own + u" " + numberWord; });
    }
    const char16_t ascii[] = {static_cast<char16_t>(u'0' + i), 0};
    ReplaceDigit(ctx, word, ascii, u"", numberWord, [&] {
      return u"no  " + FormatSigned(static_cast<int64_t>(i)) + u" " + numberWord;
    });
  }
  return word;
}

}  // namespace parlan
