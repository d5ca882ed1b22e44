#include "Voices.h"

#include <unicode/locid.h>
#include <unicode/uloc.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>

namespace parlan::speechd {

namespace {

std::string Utf8(const std::u16string& s) {
  std::string out;
  icu::UnicodeString(false, s.data(), static_cast<int32_t>(s.size())).toUTF8String(out);
  return out;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// "en-us" or "en_US" as "en-US".
std::string Bcp47(std::string_view tag) {
  std::string out;
  bool primary = true;
  for (char c : tag) {
    if (c == '_' || c == '-') {
      out += '-';
      primary = false;
      continue;
    }
    const auto u = static_cast<unsigned char>(c);
    out += static_cast<char>(primary ? std::tolower(u) : std::toupper(u));
  }
  return out;
}

// The LANGID of a native language's configuration, as a BCP 47 tag; empty when unknown.
std::string NativeLanguage(const std::filesystem::path& root, const std::string& language) {
  std::ifstream in(root / ("Parlan " + language) / (language + "c.ttg"));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("LANGID=", 0) != 0) continue;
    char* end = nullptr;
    const unsigned long lcid = std::strtoul(line.c_str() + 7, &end, 0);
    char locale[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    uloc_getLocaleForLCID(static_cast<uint32_t>(lcid), locale, sizeof locale, &status);
    if (U_FAILURE(status) || !locale[0]) return "";
    return Bcp47(locale);
  }
  return "";
}

std::string Primary(std::string_view tag) {
  return Lower(tag.substr(0, tag.find('-')));
}

}  // namespace

std::string NormalName(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!out.empty() && out.back() != ' ') out += ' ';
      continue;
    }
    out += c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::vector<ModuleVoice> DescribeModes(const std::vector<std::u16string>& modeNames,
                                       const std::filesystem::path& installRoot,
                                       const std::vector<engines::EngineVoice>& engineVoices) {
  std::vector<ModuleVoice> voices;
  for (size_t i = 0; i < modeNames.size(); ++i) {
    ModuleVoice v;
    v.Name = NormalName(Utf8(modeNames[i]));
    v.Mode = static_cast<int32_t>(i + 1);
    if (EndsWith(v.Name, " (Parlan)")) {
      const std::string base = v.Name.substr(0, v.Name.size() - 9);
      v.Female = EndsWith(base, " Female");
      const std::string language = base.substr(0, base.rfind(' '));
      v.Language = NativeLanguage(installRoot, language);
    } else {
      std::string base = v.Name;
      for (std::string_view tail : {" (SAPI 4)", " (SAPI 5)"})
        if (EndsWith(base, tail)) base.resize(base.size() - tail.size());
      for (const engines::EngineVoice& e : engineVoices)
        if (NormalName(Utf8(e.Name)) == base) {
          v.Language = Bcp47(e.Language);
          v.Female = e.Female;
          break;
        }
    }
    if (v.Language.empty()) v.Language = "none";
    voices.push_back(std::move(v));
  }
  return voices;
}

int ChooseVoice(const std::vector<ModuleVoice>& voices, const VoiceWish& wish,
                std::string_view defaultVoice) {
  if (voices.empty()) return -1;
  auto given = [](const std::string& s) { return !s.empty() && s != "NULL"; };
  auto named = [&](std::string_view name) {
    const std::string want = Lower(NormalName(name));
    for (size_t i = 0; i < voices.size(); ++i)
      if (Lower(voices[i].Name) == want) return static_cast<int>(i);
    return -1;
  };
  if (given(wish.SynthesisVoice) && named(wish.SynthesisVoice) >= 0)
    return named(wish.SynthesisVoice);
  int fallback = named(defaultVoice);
  if (fallback < 0) fallback = 0;
  const std::string type = Lower(wish.VoiceType);
  const int gender = type.find("female") != std::string::npos                      ? 1
                     : (type.find("male") != std::string::npos && type != "male1") ? 2
                                                                                   : 0;
  const std::string language =
      given(wish.Language) ? Lower(wish.Language) : Lower(voices[size_t(fallback)].Language);
  std::vector<int> candidates;
  for (int pass = 0; pass < 2 && candidates.empty(); ++pass)
    for (size_t i = 0; i < voices.size(); ++i) {
      const std::string have = Lower(voices[i].Language);
      if (pass == 0 ? have == language : Primary(have) == Primary(language))
        candidates.push_back(static_cast<int>(i));
    }
  if (candidates.empty()) return fallback;
  auto fits = [&](int i) { return gender == 0 || voices[size_t(i)].Female == (gender == 1); };
  if (std::find(candidates.begin(), candidates.end(), fallback) != candidates.end() &&
      fits(fallback))
    return fallback;
  for (int i : candidates)
    if (fits(i)) return i;
  return candidates.front();
}

int32_t ScaleProsody(int value, const ProsodyRange& range) {
  const double v = std::clamp(value, -100, 100) / 100.0;
  const double span = v < 0 ? range.Normal - range.Min : range.Max - range.Normal;
  const auto result = static_cast<int32_t>(std::lround(range.Normal + v * span));
  return std::clamp(result, std::min(range.Min, range.Max), std::max(range.Min, range.Max));
}

int32_t VolumeLevel(int value) {
  return static_cast<int32_t>(std::lround((std::clamp(value, -100, 100) + 100) / 20.0));
}

}  // namespace parlan::speechd
