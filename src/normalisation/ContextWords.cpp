// Words read by the word that follows them, by the language's number section: "St. Paul's" is
// "Saint Paul's", "Baker St. is" is "Baker street is", "No. 5" is "number five".
#include <unicode/uchar.h>

#include "normalisation/NumberForms.h"

namespace parlan {
namespace {

// Quotes and brackets before a word do not change what it is.
constexpr std::u16string_view kOpening = u"(\"'[{\u00ab\u201c\u2018";

size_t FirstAfterOpening(std::u16string_view word) {
  size_t i = 0;
  while (i < word.size() && kOpening.find(word[i]) != std::u16string_view::npos) ++i;
  return i;
}

uint8_t KindOf(std::u16string_view word) {
  const size_t i = FirstAfterOpening(word);
  if (i >= word.size()) return ContextForm::kOther;
  const char16_t c = word[i];
  if (c >= u'0' && c <= u'9') return ContextForm::kDigit;
  if (u_isupper(c)) return ContextForm::kCapital;
  if (u_islower(c)) return ContextForm::kLower;
  return ContextForm::kOther;
}

}  // namespace

bool ReadContextWord(NormContext& ctx, std::u16string& word, std::u16string_view next) {
  const std::vector<ContextForm>& forms = ctx.Tables.Numbers.Contexts;
  if (forms.empty()) return false;
  const size_t first = FirstAfterOpening(word);
  const std::u16string_view core = std::u16string_view(word).substr(first);
  uint8_t kind = 0;  // of the next word, found once a key fits: most words fit none
  for (const ContextForm& form : forms) {
    if (core != form.Key) continue;
    if (kind == 0) kind = KindOf(next);
    if ((form.Next & kind) == 0) continue;
    if (!ctx.NeverDebug) LogNormRule(ctx.Debug, u"ctx " + form.Key + u" " + form.Words);
    std::u16string tokens = form.Words;
    for (char16_t& c : tokens)
      if (c == u' ') c = u'/';
    // A reading's own final dot stands last, where it ends the phrase as the written one did.
    word = word.substr(0, first) + u"/" + tokens + (tokens.ends_with(u'.') ? u"" : u"/");
    return true;
  }
  return false;
}

}  // namespace parlan
