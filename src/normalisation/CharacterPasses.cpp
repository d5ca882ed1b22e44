// Character passes on a word: ignored characters dropped (a foreign decimal separator between
// digits kept as "."), symbol characters cut out as tokens of their own.
#include "normalisation/Normalisation.h"

namespace parlan {
namespace {

void Log(NormContext& ctx, std::u16string_view tag, char16_t c) {
  if (ctx.NeverDebug) return;
  std::u16string line(tag);
  line.push_back(c);
  LogNormRule(ctx.Debug, line);
}

// Removes every occurrence of c. For the language's decimal separator an occurrence with a
// digit on each side and at least one more character after the following digit becomes "."
// instead. One pass from the left: each occurrence is judged in the word as it stands once the
// earlier ones were handled, which is what taking the first remaining occurrence each time
// amounts to.
void RemoveCharacter(NormContext& ctx, std::u16string& word, char16_t c, bool keepDecimals) {
  size_t k0 = word.find(c);
  if (k0 == std::u16string::npos) return;
  const DigitSet& digits = ctx.Tables.Digits;
  std::u16string out;
  size_t i = 0;
  for (; k0 != std::u16string::npos; k0 = word.find(c, i)) {
    out.append(word, i, k0 - i);
    i = k0 + 1;
    size_t k = out.size() + 1;
    size_t length = out.size() + word.size() - k0;
    bool convert = keepDecimals && k > 1 && k + 1 < length &&
                   IsDigitChar(std::u16string_view(out).substr(out.size() - 1), digits) &&
                   IsDigitChar(std::u16string_view(word).substr(i, 1), digits);
    if (convert) out.push_back(u'.');
    Log(ctx, convert ? u"repl NSDP " : u"ignore ", c);
  }
  out.append(word, i);
  word = std::move(out);
}

}  // namespace

void RemoveIgnoredCharacters(NormContext& ctx, std::u16string& word) {
  NormalisationTables& t = ctx.Tables;
  // Most words hold none of the characters: one scan of the word settles that.
  if (!t.IgnoreLookup.Of(t.IgnoreChars).AnyOf(word)) return;
  for (char16_t c : t.IgnoreChars) {
    bool isDecimalPoint = t.DecimalPoint.size() == 1 && t.DecimalPoint.front() == c;
    RemoveCharacter(ctx, word, c, isDecimalPoint && t.DecimalPointNotDot && t.DecimalPointIgnored);
  }
}

// Each symbol character is searched for only after the last cut made for it or for an earlier
// symbol character: the word shrinks from the front as symbols are cut out. A symbol right
// after "*" is already marked and is copied unchanged.
void SeparateSymbols(NormContext& ctx, std::u16string& word) {
  NormalisationTables& t = ctx.Tables;
  if (t.SymbolChars.empty() || !t.SymbolLookup.Of(t.SymbolChars).AnyOf(word)) return;
  std::u16string out;
  size_t from = 0;  // the word still to be searched starts here
  for (char16_t c : ctx.Tables.SymbolChars) {
    for (size_t k0 = word.find(c, from); k0 != std::u16string::npos; k0 = word.find(c, from)) {
      if (k0 > from && word[k0 - 1] == u'*') {
        out.append(word, from, k0 + 1 - from);
      } else {
        out.append(word, from, k0 - from);
        out.append(u"/*");
        out.push_back(c);
        out.push_back(u'/');
        Log(ctx, u"Pss ", c);
      }
      from = k0 + 1;
    }
  }
  out.append(word, from);
  word = std::move(out);
}

}  // namespace parlan
