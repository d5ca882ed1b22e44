#include "engines/EspeakVoiceCatalogue.h"

#include <unicode/uloc.h>

#include <algorithm>

#include "strings/Unicode.h"

namespace parlan::engines {

namespace {

std::string LowerAscii(std::string s) {
  for (auto& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '_') c = '-';
  }
  return s;
}

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
  return s;
}

// "Key=Value;Key=Value": keys in lower case, both trimmed. A part without "=" has an empty
// value and `hasValue` false.
struct Attribute {
  std::u16string Key;
  std::u16string Value;
  bool HasValue = false;
};

std::vector<Attribute> ParseAttributes(std::u16string_view text) {
  std::vector<Attribute> out;
  while (!text.empty()) {
    const size_t semi = text.find(u';');
    std::u16string_view part = text.substr(0, semi);
    text = semi == std::u16string_view::npos ? std::u16string_view{} : text.substr(semi + 1);
    if (Trim(part).empty()) continue;
    const size_t eq = part.find(u'=');
    Attribute a;
    a.Key = LowerCase(Trim(part.substr(0, eq)));
    if (eq != std::u16string_view::npos) {
      a.Value = std::u16string(Trim(part.substr(eq + 1)));
      a.HasValue = true;
    }
    out.push_back(std::move(a));
  }
  return out;
}

// A number written in decimal, or in hexadecimal with "0x" or "&H" (or `hex`).
std::optional<uint32_t> ParseNumber(std::u16string_view s, bool hex) {
  if (s.size() > 2 && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X')) {
    s.remove_prefix(2);
    hex = true;
  } else if (s.size() > 2 && s[0] == u'&' && (s[1] == u'h' || s[1] == u'H')) {
    s.remove_prefix(2);
    hex = true;
  }
  if (s.empty() || s.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (char16_t c : s) {
    int digit = -1;
    if (c >= u'0' && c <= u'9')
      digit = c - u'0';
    else if (hex && c >= u'a' && c <= u'f')
      digit = c - u'a' + 10;
    else if (hex && c >= u'A' && c <= u'F')
      digit = c - u'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
  }
  return value;
}

std::string PrimaryOf(const std::string& tag) {
  return tag.substr(0, tag.find('-'));
}

// 2 when `value` names the entry's language, 1 when only its primary language, else 0. A
// number is a Windows language number, read in hexadecimal when `hex`.
int LanguageFit(std::u16string_view value, const VoiceEntry& e, bool hex) {
  if (auto lcid = ParseNumber(value, hex)) {
    if (e.Lcid == 0) return 0;
    if (*lcid == e.Lcid) return 2;
    return (*lcid & 0x3FF) == (e.Lcid & 0x3FF) ? 1 : 0;
  }
  const std::string tag = LowerAscii(ToUtf8(value));
  if (tag == e.Language) return 2;
  return PrimaryOf(tag) == PrimaryOf(e.Language) ? 1 : 0;
}

// A language number in selection criteria may be written in decimal (1033) or hexadecimal
// (409, 0x409): the better reading counts.
int CriteriaLanguageFit(std::u16string_view value, const VoiceEntry& e) {
  return std::max(LanguageFit(value, e, false), LanguageFit(value, e, true));
}

bool EngineFits(std::u16string_view value, const VoiceEntry& e) {
  const std::u16string identifier = U16(e.Identifier);
  const std::u16string synthName = U16(e.SynthName);
  return EqualsIgnoreCase(value, identifier) || EqualsIgnoreCase(value, synthName) ||
         EqualsIgnoreCase(value, e.Description);
}

// Gender as the criteria give it: 1 or "female" for female, 2 or "male" for male.
std::optional<bool> FemaleOf(std::u16string_view value) {
  if (EqualsIgnoreCase(value, u"female")) return true;
  if (EqualsIgnoreCase(value, u"male")) return false;
  if (auto n = ParseNumber(value, false)) {
    if (*n == 1) return true;
    if (*n == 2) return false;
  }
  return std::nullopt;
}

int CriteriaScore(const std::vector<Attribute>& criteria, const VoiceEntry& e) {
  int score = 0;
  for (const Attribute& a : criteria) {
    if (a.Value.empty()) continue;
    if (a.Key == u"engineid" && EngineFits(a.Value, e)) score += 8;
    if (a.Key == u"languageid") score += 2 * CriteriaLanguageFit(a.Value, e);
    if (a.Key == u"gender" && FemaleOf(a.Value) == e.Female) score += 1;
  }
  return score;
}

// Whether the entry has the attribute; unknown attributes are had by no entry.
bool Satisfies(const Attribute& a, const VoiceEntry& e) {
  if (a.Key != u"name" && a.Key != u"gender" && a.Key != u"language") return false;
  if (!a.HasValue) return true;
  if (a.Key == u"name") return EqualsIgnoreCase(a.Value, e.Description);
  if (a.Key == u"gender") return FemaleOf(a.Value) == e.Female;
  // Language numbers are hexadecimal; a bare primary language ("9", "en") takes in all its
  // regional forms.
  const int fit = LanguageFit(a.Value, e, true);
  if (fit != 1) return fit == 2;
  const auto number = ParseNumber(a.Value, true);
  return number ? *number < 0x400u : a.Value.find(u'-') == std::u16string::npos;
}

}  // namespace

uint32_t LanguageTagToLcid(const std::string& tag) {
  char locale[ULOC_FULLNAME_CAPACITY] = {};
  UErrorCode status = U_ZERO_ERROR;
  int32_t parsed = 0;
  uloc_forLanguageTag(tag.c_str(), locale, sizeof(locale), &parsed, &status);
  if (U_FAILURE(status) || locale[0] == 0) return 0;
  return uloc_getLCID(locale);
}

VoiceCatalogue VoiceCatalogue::FromVoices(const std::vector<RawVoice>& voices,
                                          const std::string& femaleVariant) {
  std::vector<VoiceEntry> entries;
  for (const RawVoice& v : voices) {
    if (v.Identifier.rfind("mb/", 0) == 0) continue;
    VoiceEntry e;
    e.Identifier = v.Identifier;
    e.SynthName = v.Identifier;
    e.Description = Utf8OrLatin1ToUtf16(v.Name);
    e.Language = LowerAscii(v.Language);
    e.Lcid = LanguageTagToLcid(e.Language);
    e.Female = v.Gender == 2;
    entries.push_back(e);
    if (e.Female || femaleVariant.empty()) continue;
    e.SynthName = v.Identifier + "+" + femaleVariant;
    e.Description += kFemaleSuffix;
    e.Female = true;
    entries.push_back(std::move(e));
  }
  return VoiceCatalogue(std::move(entries));
}

size_t VoiceCatalogue::DefaultIndex() const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].Language == "en" || entries_[i].Language == "en-gb") return i;
  return 0;
}

std::optional<size_t> VoiceCatalogue::Find(std::u16string_view criteria) const {
  const std::vector<Attribute> attributes = ParseAttributes(criteria);
  int best = 0;
  std::optional<size_t> found;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const int score = CriteriaScore(attributes, entries_[i]);
    if (score > best) {
      best = score;
      found = i;
    }
  }
  return found;
}

std::vector<size_t> VoiceCatalogue::Select(std::u16string_view required,
                                           std::u16string_view optional) const {
  const std::vector<Attribute> need = ParseAttributes(required);
  const std::vector<Attribute> want = ParseAttributes(optional);
  std::vector<std::pair<int, size_t>> chosen;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const VoiceEntry& e = entries_[i];
    if (!std::all_of(need.begin(), need.end(), [&](const Attribute& a) { return Satisfies(a, e); }))
      continue;
    const auto fits = std::count_if(want.begin(), want.end(),
                                    [&](const Attribute& a) { return Satisfies(a, e); });
    chosen.emplace_back(-static_cast<int>(fits), i);
  }
  std::stable_sort(chosen.begin(), chosen.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<size_t> out;
  for (const auto& c : chosen) out.push_back(c.second);
  return out;
}

}  // namespace parlan::engines
