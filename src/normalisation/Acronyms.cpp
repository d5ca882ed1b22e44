// Web and e-mail addresses read in parts, and words of a few capitals spelled letter by letter.
#include <unicode/uchar.h>

#include <algorithm>

#include "normalisation/NumberForms.h"

namespace parlan {
namespace {

const std::u16string* LetterName(const NumberReading& n, char16_t c) {
  const auto upper = static_cast<char16_t>(u_toupper(c));
  for (const auto& [letter, name] : n.Letters)
    if (letter == upper) return &name;
  return nullptr;
}

const std::u16string* SeparatorWord(const NumberReading& n, char16_t c) {
  for (const auto& [sign, word] : n.Separators)
    if (sign == c) return &word;
  return nullptr;
}

bool StartsWithIgnoringCase(std::u16string_view s, std::u16string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (u_tolower(s[i]) != u_tolower(prefix[i])) return false;
  return true;
}

bool IsAddressChar(const NumberReading& n, char16_t c) {
  return u_isalnum(c) || SeparatorWord(n, c) != nullptr;
}

// The last dot-separated label of the host: "com" of "www.example.com/page".
std::u16string_view TopLevel(std::u16string_view core) {
  std::u16string_view host =
      core.substr(core.find(u'@') == std::u16string_view::npos ? 0 : core.find(u'@') + 1);
  host = host.substr(0, host.find(u'/'));
  const size_t dot = host.rfind(u'.');
  return dot == std::u16string_view::npos ? std::u16string_view() : host.substr(dot + 1);
}

bool IsAddress(const NumberReading& n, std::u16string_view core) {
  if (core.size() < 4 ||
      !std::all_of(core.begin(), core.end(), [&](char16_t c) { return IsAddressChar(n, c); }))
    return false;
  if (StartsWithIgnoringCase(core, u"www.") || StartsWithIgnoringCase(core, u"http://") ||
      StartsWithIgnoringCase(core, u"https://"))
    return true;
  const std::u16string_view top = TopLevel(core);
  const size_t at = core.find(u'@');
  const bool mail = at != std::u16string_view::npos && at > 0 &&
                    core.find(u'@', at + 1) == std::u16string_view::npos;
  const bool known = std::any_of(n.Domains.begin(), n.Domains.end(), [&](const std::u16string& d) {
    return d.size() == top.size() && StartsWithIgnoringCase(top, d);
  });
  return !top.empty() && (known || (mail && top.size() >= 2));
}

bool HasVowel(std::u16string_view part) {
  return part.find_first_of(u"aeiouyAEIOUY") != std::u16string_view::npos;
}

// A part a reader spells: "www", "uk", "bbc"; other parts are read as words.
void AppendPart(const NumberReading& n, std::u16string_view part, std::u16string& out) {
  const bool letters =
      std::all_of(part.begin(), part.end(), [](char16_t c) { return u_isalpha(c); });
  const bool word =
      std::any_of(n.AddressWords.begin(), n.AddressWords.end(), [&](const std::u16string& w) {
        return w.size() == part.size() && StartsWithIgnoringCase(part, w);
      });
  const bool spell =
      letters && !word && (part.size() <= 2 || (!HasVowel(part) && part.size() <= 5));
  auto add = [&](std::u16string_view words) {
    if (!out.empty()) out.push_back(u' ');
    out.append(words);
  };
  if (!spell) return add(part);
  for (char16_t c : part) {
    const std::u16string* name = LetterName(n, c);
    add(name ? std::u16string_view(*name) : std::u16string_view(&c, 1));
  }
}

bool IsAcronymLetters(const NumberReading& n, std::u16string_view t) {
  return t.size() >= 2 && t.size() <= n.SpellLongest &&
         std::all_of(t.begin(), t.end(),
                     [&](char16_t c) { return u_isupper(c) && LetterName(n, c) != nullptr; });
}

}  // namespace

std::optional<std::u16string> ReadAddress(const NormalisationTables& t, std::u16string_view core) {
  const NumberReading& n = t.Numbers;
  if (n.Separators.empty() || !IsAddress(n, core)) return std::nullopt;
  std::u16string out;
  size_t from = 0;
  for (size_t i = 0; i <= core.size(); ++i) {
    const std::u16string* word = i < core.size() ? SeparatorWord(n, core[i]) : nullptr;
    if (i < core.size() && !word) continue;
    if (i > from) AppendPart(n, core.substr(from, i - from), out);
    if (word) {
      if (!out.empty()) out.push_back(u' ');
      out.append(*word);
    }
    from = i + 1;
  }
  return out;
}

std::u16string SpellAcronyms(NormContext& ctx, std::u16string_view chunk,
                             const std::function<bool(std::u16string_view)>& inDictionary) {
  const NumberReading& n = ctx.Tables.Numbers;
  if (!n.Present || n.SpellLongest == 0) return std::u16string(chunk);
  std::u16string out;
  for (size_t pos = 0; pos < chunk.size();) {
    int32_t kind = kWord;
    std::u16string token = NextTokenAt(chunk, pos, kind);
    std::u16string_view letters = token;
    const bool plural = letters.size() > 2 && letters.back() == u's';
    if (plural) letters.remove_suffix(1);
    const bool always =
        std::find(n.SpellAlways.begin(), n.SpellAlways.end(), token) != n.SpellAlways.end();
    if (kind != kWord || !IsAcronymLetters(n, letters) || (!always && inDictionary(token))) {
      out += kind == kPhonemeBlock ? u"/[" + token + u"]" : u"/" + token;
      continue;
    }
    std::u16string spelled;
    for (char16_t c : letters) spelled += u"/" + *LetterName(n, c);
    if (plural) spelled += u"s";
    for (char16_t& c : spelled)
      if (c == u' ') c = u'/';
    if (!ctx.NeverDebug) LogNormRule(ctx.Debug, u"spell " + token + u" " + spelled.substr(1));
    out += spelled;
  }
  return out;
}

}  // namespace parlan
