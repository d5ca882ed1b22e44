// The text preparation driver: takes the words of one phrase off the front of the remaining
// text, runs the normalisation passes on each, then applies the exception dictionary.
#include "pipeline/PrepareText.h"

#include "normalisation/NumberForms.h"

namespace parlan {
namespace {

// Words longer than this are read in pieces of this length, as if a space stood after each
// piece. A phrase end inside a word puts the rest of the word back to be read again, so a
// long word without spaces but with many phrase ends would otherwise be worked through once
// per phrase; with the pieces bounded, preparing a text costs time in proportion to its length.
// Ordinary words, and words up to the longest cut of a phrase end, are far shorter.
constexpr size_t kLongestWord = 1000;

// Runs the passes on one word, in their fixed order. What follows a phrase end inside the
// word goes back to the front of the remaining text as a word of its own.
std::u16string NormaliseWord(PrepareContext& ctx, RemainingText& text, bool& phraseEnded,
                             std::u16string_view previous) {
  NormContext& norm = ctx.Norm;
  std::u16string word = TakeFirstWord(text, kLongestWord);
  if (norm.Tables.Numbers.Present) {
    std::u16string_view next = text.View().substr(0, text.View().find(u' '));
    ReadNumberForms(norm, word, WordNeighbours{previous, next});
  }
  if (norm.Tables.AlwaysCount > 0) ApplyAlwaysReplacements(norm, word);
  RemoveIgnoredCharacters(norm, word);
  SeparateSymbols(norm, word);
  if (HasPhraseEnd(norm.Tables, word)) {
    std::u16string rest = std::move(word);
    word = SplitAtPhraseEnd(norm, rest, phraseEnded);
    if (!rest.empty() && !text.Empty()) rest.push_back(u' ');
    text.Prepend(rest);
  }
  ExpandDigits(norm, word);
  if (norm.Tables.AbbrCount > 0) word = ExpandAbbreviations(norm, word);
  return word;
}

// The words of one phrase, normalised. The loop ends at the phrase end, or when the remaining
// text has run out without one (a pass removed the final stop, or there was no text): the
// chunk built so far is then the phrase.
std::u16string NormalisePhrase(PrepareContext& ctx, RemainingText& text, bool dotAdded) {
  std::u16string chunk;
  bool phraseEnded = false;
  // The word before, as written: "December 9" reads the day as an ordinal.
  std::u16string previous, current;
  while (!phraseEnded) {
    if (ctx.Norm.Tables.Numbers.Present) current = text.View().substr(0, text.View().find(u' '));
    std::u16string word = NormaliseWord(ctx, text, phraseEnded, previous);
    previous = std::move(current);
    // The stop the pipeline added to the text is not spoken.
    if (text.Empty() && dotAdded && phraseEnded)
      word.resize(word.size() >= 3 ? word.size() - 3 : 0);
    chunk.push_back(u'/');
    chunk.append(word);
    if (text.Empty()) break;
  }
  return chunk;
}

}  // namespace

std::u16string PrepareText(PrepareContext& ctx, RemainingText& text, bool& dotAdded) {
  std::u16string chunk;
  if (ctx.NormRulesOk) {
    chunk = NormalisePhrase(ctx, text, dotAdded);
  } else {
    chunk = text.Str();
    text.Clear();
  }
  NormContext& norm = ctx.Norm;
  if (!norm.NeverDebug) norm.Debug.AdvHandleTextNorm(chunk);
  if (!ctx.ExceptRead) {
    ctx.ExceptOk = LoadExceptions(ctx.Exceptions, ctx.ExceptFile);
    ctx.ExceptRead = true;
  }
  if (norm.Tables.Numbers.Present) {
    chunk = SpellAcronyms(norm, chunk, [&](std::u16string_view word) {
      if (!ctx.ExceptOk) return false;
      std::u16string probe = u"/" + std::u16string(word);
      return ApplyExceptions(ctx.Exceptions, norm.Debug, true, probe).starts_with(u"/[");
    });
  }
  if (ctx.ExceptOk) {
    chunk = ApplyExceptions(ctx.Exceptions, norm.Debug, norm.NeverDebug, chunk);
    if (!norm.NeverDebug) norm.Debug.AdvHandleTextExcept(chunk);
  }
  return chunk;
}

}  // namespace parlan
