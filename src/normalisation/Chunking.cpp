// Cutting text into phrases: the final stop of a text, the phrase-end test of a word, and the
// split of a word at its phrase end with its dots and decimal points spoken as words.
#include "normalisation/Normalisation.h"

namespace parlan {
namespace {

// A word longer than this is cut here at the latest when it holds a phrase-end character.
constexpr size_t kLongestCut = 600;

std::u16string_view CharAt(std::u16string_view text, size_t index) {
  return index < text.size() ? text.substr(index, 1) : std::u16string_view();
}

bool IsDigitAt(const NormalisationTables& t, std::u16string_view c) {
  return IsDigitChar(c, t.Digits);
}

// The class of a dot from its neighbours: `before` is empty when the dot comes first, `after`
// is empty when the dot comes last.
int ClassifyBetween(const NormalisationTables& t, std::u16string_view before,
                    std::u16string_view after) {
  if (after.empty() || IsBlank(after)) return kFinalDot;
  if (!before.empty()) return IsDigitAt(t, before) && IsDigitAt(t, after) ? kDecimalDot : kPlainDot;
  return IsDigitAt(t, after) ? kDecimalDot : kPlainDot;
}

// 1-based position of the earliest phrase-end character, capped at the longest cut; 0 when the
// word holds none.
size_t CutPosition(const NormalisationTables& t, std::u16string_view word) {
  size_t m = kLongestCut;
  bool found = false;
  for (char16_t c : t.PhraseEndChars) {
    size_t p = InStrChar(word, c);
    if (p == 0) continue;
    found = true;
    if (p < m) m = p;
  }
  return found ? m : 0;
}

// A foreign decimal separator between two digits becomes "."; anywhere else it is removed.
// Done in one pass from the left, each occurrence judged as if the earlier ones were already
// handled.
void ConvertDecimalSeparators(NormContext& ctx, std::u16string& word) {
  const NormalisationTables& t = ctx.Tables;
  const std::u16string& sep = t.DecimalPoint;
  if (!t.DecimalPointNotDot || t.DecimalPointIgnored || sep.empty()) return;
  size_t k0 = word.find(sep);
  if (k0 == std::u16string::npos) return;
  std::u16string out;
  size_t i = 0;
  for (; k0 != std::u16string::npos; k0 = word.find(sep, i)) {
    out.append(word, i, k0 - i);
    i = k0 + sep.size();
    size_t k = out.size() + 1;
    size_t length = out.size() + word.size() - k0;
    std::u16string_view before =
        out.empty() ? std::u16string_view() : std::u16string_view(out).substr(out.size() - 1);
    bool between = k > 1 && k + 1 < length && IsDigitAt(t, before) && IsDigitAt(t, CharAt(word, i));
    if (between) out.push_back(u'.');
    if (!ctx.NeverDebug) LogNormRule(ctx.Debug, between ? u"eop dpr " : u"eop rmd nsdp ");
  }
  out.append(word, i);
  word = std::move(out);
}

// Speaks a dot inside the phrase as the dot word or the decimal point word.
void SayDot(NormContext& ctx, int dotClass, std::u16string& out) {
  const NormalisationTables& t = ctx.Tables;
  const std::u16string& spoken = dotClass == kDecimalDot ? t.DecimalPointWord : t.DotWord;
  out.push_back(u'/');
  out.append(spoken);
  out.push_back(u'/');
  if (ctx.NeverDebug) return;
  LogNormRule(ctx.Debug, (dotClass == kDecimalDot ? u"eop dp say " : u"eop dot say ") + spoken);
}

}  // namespace

std::u16string TakeFirstWord(RemainingText& text) {
  return text.TakeFirstWord();
}

std::u16string TakeFirstWord(RemainingText& text, size_t maxLength) {
  return text.TakeFirstWord(maxLength);
}

bool HasPhraseEnd(const NormalisationTables& tables, std::u16string_view word) {
  if (word.find(u'.') != std::u16string_view::npos) return true;
  return word.find_first_of(tables.PhraseEndChars) != std::u16string_view::npos;
}

int ClassifyDot(const NormalisationTables& tables, std::u16string_view word, size_t d) {
  if (d == 0) return kPlainDot;
  std::u16string_view before = d > 1 ? CharAt(word, d - 2) : std::u16string_view();
  return ClassifyBetween(tables, before, CharAt(word, d));
}

// The dots are handled from the left; the search goes on after each spoken dot, so a dot word
// that itself holds a dot cannot make the walk repeat without end. The cut position (1-based,
// 0 when the word holds no phrase-end character) only ever refers to the word as it was before
// dots were spoken.
std::u16string SplitAtPhraseEnd(NormContext& ctx, std::u16string& word, bool& phraseEnded) {
  const NormalisationTables& t = ctx.Tables;
  phraseEnded = false;
  size_t cut = CutPosition(t, word);
  ConvertDecimalSeparators(ctx, word);
  std::u16string out;
  size_t i = 0;
  for (size_t d0 = word.find(u'.'); d0 != std::u16string::npos && (cut == 0 || d0 + 1 < cut);
       d0 = word.find(u'.', i)) {
    out.append(word, i, d0 - i);
    i = d0 + 1;
    std::u16string_view before =
        out.empty() ? std::u16string_view() : std::u16string_view(out).substr(out.size() - 1);
    int dotClass = ClassifyBetween(t, before, CharAt(word, i));
    if (dotClass == kFinalDot) {
      out.append(u"/*.");
      word.erase(0, i);
      phraseEnded = true;
      return out;
    }
    SayDot(ctx, dotClass, out);
  }
  if (cut == 0) {
    out.append(word, i);
    word.clear();
    return out;
  }
  // A cut past the end of the word (separators removed in front of the phrase-end character)
  // takes the whole word and leaves nothing over; its mark has no character.
  size_t cutIndex = cut - 1;
  if (cutIndex >= i) out.append(word, i, cutIndex - i);
  out.append(u"/*");
  if (cutIndex < word.size()) {
    out.push_back(word[cutIndex]);
    word.erase(0, cutIndex + 1);
  } else {
    word.clear();
  }
  phraseEnded = true;
  return out;
}

void EnsureFinalStop(const NormalisationTables& tables, RemainingText& text, bool& dotAdded) {
  text.RightTrimSpaces();
  if (text.Empty()) {
    // The empty last character "occurs" in any non-empty list of phrase ends.
    if (!tables.PhraseEndChars.empty()) return;
  } else {
    char16_t last = text.Back();
    if (last == u'.' || tables.PhraseEndChars.find(last) != std::u16string::npos) return;
  }
  text.Append(u".");
  dotAdded = true;
}

}  // namespace parlan
