// Whole-phrase replacements: keys replaced wherever they occur, also inside a word.
#include <algorithm>

#include "normalisation/Normalisation.h"

namespace parlan {
namespace {

// Replaces every occurrence of key, from the left. The search goes on after the inserted text,
// so a replacement that holds its own key is inserted once per occurrence instead of again and
// again; an empty key is never found.
void ReplaceAll(NormContext& ctx, std::u16string& word, const std::u16string& key,
                const std::u16string& replacement) {
  if (key.empty()) return;
  size_t p = word.find(key);
  if (p == std::u16string::npos) return;
  std::u16string out;
  size_t i = 0;
  for (; p != std::u16string::npos; p = word.find(key, i)) {
    out.append(word, i, p - i);
    out.push_back(u'/');
    out.append(replacement);
    out.push_back(u'/');
    i = p + key.size();
    if (!ctx.NeverDebug) LogNormRule(ctx.Debug, u"always" + key + u" " + replacement);
  }
  out.append(word, i);
  word = std::move(out);
}

}  // namespace

std::u16string ApplyAlwaysReplacements(NormContext& ctx, std::u16string& word) {
  const NormalisationTables& t = ctx.Tables;
  size_t count = std::min<size_t>(static_cast<size_t>(std::max<int16_t>(t.AlwaysCount, 0)),
                                  std::min(t.AlwaysKeys.size(), t.AlwaysReplacements.size()));
  for (size_t i = 0; i < count; ++i)
    ReplaceAll(ctx, word, t.AlwaysKeys[i], t.AlwaysReplacements[i]);
  return word;
}

}  // namespace parlan
