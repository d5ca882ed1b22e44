// How `-v` names a mode, as eSpeak NG users name voices: by number, by display name (the SAPI 4
// names with one blank or two before "(SAPI 4)"), by language code ("en", "en-us") with an
// optional "+m"/"+f" variant ("en+f3"), or by words of the name ("English Female").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace parlan::cli {

struct ModeEntry {
  int32_t Number = 0;
  std::u16string Name;
  std::string Kind;      // "native", "SAPI 4", "SAPI 5"
  std::string Language;  // eSpeak NG's language code, e.g. "en-us"; empty when unknown
  bool Female = false;
};

// The kind of a mode, from the suffix of its display name.
std::string KindOfMode(const std::u16string& displayName);
// Whether a display name is that of a female mode.
bool IsFemaleMode(const std::u16string& displayName);

// Whether a mode's language is `code` or a more particular form of it ("en" takes "en-us"),
// without regard to case.
bool LanguageMatches(const std::string& language, const std::string& code);

// The number of the mode `wanted` names (not a number, not empty): the display name exactly,
// then without regard to case and to doubled blanks, then the first mode of the language code
// (exact code before a more particular one) and variant, then the first whose name holds every
// word of `wanted`. 0 when none fits. Throws UsageError for a variant that no mode has.
int32_t FindMode(const std::vector<ModeEntry>& modes, const std::string& wanted);

}  // namespace parlan::cli
