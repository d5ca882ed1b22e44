// Whole-phrase replacements: keys replaced wherever they occur, also inside a word.
#include <algorithm>
#include <array>
#include <bit>

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

// The index of the keys by first character. Rebuilt when the number of keys changes: the loader
// fills the keys once, and a table filled by hand grows key by key.
const AlwaysKeyIndex& IndexOf(NormalisationTables& t, size_t count) {
  AlwaysKeyIndex& index = t.AlwaysIndex;
  if (index.Built && index.KeyCount == count && index.ListSize == t.AlwaysKeys.size()) return index;
  index = AlwaysKeyIndex{};
  index.Built = true;
  index.KeyCount = count;
  index.ListSize = t.AlwaysKeys.size();
  index.Words = (count + 63) / 64;
  if (index.Words > kMaxMaskWords) return index;
  index.ByAscii.assign(128 * index.Words, 0);
  index.NonAscii.assign(index.Words, 0);
  for (size_t i = 0; i < count; ++i) {
    const std::u16string& key = t.AlwaysKeys[i];
    if (key.empty()) continue;
    uint64_t bit = uint64_t{1} << (i % 64);
    if (key.front() < 128)
      index.ByAscii[key.front() * index.Words + i / 64] |= bit;
    else
      index.NonAscii[i / 64] |= bit;
  }
  return index;
}

// The keys that may occur in the word: those whose first character it holds, as a bit mask.
void KeysOfWord(const AlwaysKeyIndex& index, std::u16string_view word, uint64_t* mask) {
  std::fill(mask, mask + index.Words, 0);
  for (char16_t c : word) {
    const uint64_t* add = c < 128 ? &index.ByAscii[c * index.Words] : index.NonAscii.data();
    for (size_t w = 0; w < index.Words; ++w) mask[w] |= add[w];
  }
}

}  // namespace

std::u16string ApplyAlwaysReplacements(NormContext& ctx, std::u16string& word) {
  NormalisationTables& t = ctx.Tables;
  size_t count = std::min<size_t>(static_cast<size_t>(std::max<int16_t>(t.AlwaysCount, 0)),
                                  std::min(t.AlwaysKeys.size(), t.AlwaysReplacements.size()));
  if (count == 0) return word;  // no keys, and an index without words to look up
  const AlwaysKeyIndex& index = IndexOf(t, count);
  if (index.Words > kMaxMaskWords) {
    for (size_t i = 0; i < count; ++i)
      ReplaceAll(ctx, word, t.AlwaysKeys[i], t.AlwaysReplacements[i]);
    return word;
  }
  // Each key is looked for in the word as the earlier keys left it, in order. A key whose first
  // character is not in the word cannot occur there, so only the keys of the word's characters
  // are searched for, taken again after each replacement.
  std::array<uint64_t, kMaxMaskWords> mask;
  KeysOfWord(index, word, mask.data());
  for (size_t w = 0; w < index.Words; ++w) {
    while (mask[w] != 0) {
      size_t bit = static_cast<size_t>(std::countr_zero(mask[w]));
      mask[w] &= mask[w] - 1;
      size_t i = w * 64 + bit;
      if (!ReplaceAll(ctx, word, t.AlwaysKeys[i], t.AlwaysReplacements[i])) continue;
      KeysOfWord(index, word, mask.data());
      // Only the keys after this one are still to be tried.
      for (size_t v = 0; v < w; ++v) mask[v] = 0;
      mask[w] &= bit == 63 ? 0 : ~((uint64_t{2} << bit) - 1);
    }
  }
  return word;
}

}  // namespace parlan
