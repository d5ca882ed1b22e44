// Whole-phrase replacements: keys replaced wherever they occur, also inside a word.
#include <algorithm>

#include "normalisation/Normalisation.h"

namespace parlan {
namespace {

// Replaces every occurrence of key, from the left. The search goes on after the inserted text,
// so a replacement that holds its own key is inserted once per occurrence instead of again and
// again; an empty key is never found.
bool ReplaceAll(NormContext& ctx, std::u16string& word, const std::u16string& key,
                const std::u16string& replacement) {
  if (key.empty()) return false;
  size_t p = word.find(key);
  if (p == std::u16string::npos) return false;
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
  return true;
}

}  // namespace

std::u16string ApplyAlwaysReplacements(NormContext& ctx, std::u16string& word) {
  const NormalisationTables& t = ctx.Tables;
  size_t count = std::min<size_t>(static_cast<size_t>(std::max<int16_t>(t.AlwaysCount, 0)),
                                  std::min(t.AlwaysKeys.size(), t.AlwaysReplacements.size()));
  // Each key is looked for in the word as the earlier keys left it. A key whose first
  // character is not in the word cannot occur there: the characters of the word, taken again
  // after each replacement, rule out most keys without a search.
  CharPresence present(word);
  for (size_t i = 0; i < count; ++i) {
    const std::u16string& key = t.AlwaysKeys[i];
    if (key.empty() || !present.Contains(key.front())) continue;
    if (ReplaceAll(ctx, word, key, t.AlwaysReplacements[i])) present.Assign(word);
  }
  return word;
}

}  // namespace parlan
