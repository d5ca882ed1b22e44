// Abbreviation expansion: plain-word tokens looked up in the group of their first character.
#include <algorithm>

#include "normalisation/Normalisation.h"

namespace parlan {
namespace {

void AppendToken(std::u16string& out, std::u16string_view token) {
  out.push_back(u'/');
  out.append(token);
  out.push_back(u'/');
}

// Appends the expansion of every entry of the token's group whose key equals the token; false
// when none does.
bool ExpandWord(NormContext& ctx, const std::u16string& token, std::u16string& out) {
  const NormalisationTables& t = ctx.Tables;
  size_t g = InStrChar(t.AbbrInitials, token.front());
  if (g == 0 || g > t.AbbrGroupFirst.size() || g > t.AbbrGroupLast.size()) return false;
  int first = t.AbbrGroupFirst[g - 1];
  int last = std::min<int>(t.AbbrGroupLast[g - 1],
                           static_cast<int>(std::min(t.AbbrKeys.size(), t.AbbrExpansions.size())));
  bool matched = false;
  for (int j = std::max(first, 1); j <= last; ++j) {
    const std::u16string& key = t.AbbrKeys[static_cast<size_t>(j) - 1];
    if (key != token) continue;
    const std::u16string& expansion = t.AbbrExpansions[static_cast<size_t>(j) - 1];
    AppendToken(out, expansion);
    matched = true;
    if (!ctx.NeverDebug) LogNormRule(ctx.Debug, u"isol " + key + u" " + expansion);
  }
  return matched;
}

}  // namespace

// Walks the tokens by position. An empty phoneme block ("[]") is written back as an empty
// token and the walk goes on, so the tokens after it are kept.
std::u16string ExpandAbbreviations(NormContext& ctx, std::u16string& word) {
  std::u16string out;
  size_t pos = 0;
  while (true) {
    int32_t kind = kWord;
    size_t before = pos;
    std::u16string token = NextTokenAt(word, pos, kind);
    if (pos == before || (token.empty() && kind == kWord)) break;
    if (kind != kWord || !ExpandWord(ctx, token, out)) AppendToken(out, token);
  }
  word.clear();
  return out;
}

}  // namespace parlan
