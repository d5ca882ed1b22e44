// The voices the eSpeak NG engines offer: each eSpeak NG voice in its own form and, where
// eSpeak NG has a female variant, a female form. The same list serves as the voices of the
// voice object and as the modes of the direct text-to-speech object.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlan::engines {

// A voice as eSpeak NG lists it.
struct RawVoice {
  std::string Name;        // "English (America)"
  std::string Identifier;  // "gmw/en-US"
  std::string Language;    // its first language, "en-us"
  int Gender = 0;          // eSpeak NG: 0 none, 1 male, 2 female
};

struct VoiceEntry {
  std::string Identifier;      // the eSpeak NG voice identifier
  std::string SynthName;       // what selects it for synthesis: "gmw/en-US" or "gmw/en-US+f3"
  std::u16string Description;  // the voice name, the female form with the suffix " Female"
  std::string Language;        // lower case language tag, "en-us"
  uint32_t Lcid = 0;           // Windows language number of Language, 0 when it has none
  bool Female = false;
};

// The suffix of the female forms' descriptions.
inline constexpr std::u16string_view kFemaleSuffix = u" Female";

class VoiceCatalogue {
 public:
  VoiceCatalogue() = default;
  explicit VoiceCatalogue(std::vector<VoiceEntry> entries) : entries_(std::move(entries)) {}

  // Voices whose identifier starts with "mb/" cannot be selected and are left out. A voice
  // that is female itself has no second form; the others get a female form with the variant
  // `femaleVariant` (e.g. "f3") when it is not empty, listed right after the voice.
  static VoiceCatalogue FromVoices(const std::vector<RawVoice>& voices,
                                   const std::string& femaleVariant);

  const std::vector<VoiceEntry>& Entries() const { return entries_; }
  size_t Size() const { return entries_.size(); }

  // eSpeak NG's own default: the first voice for the language "en", else the first voice.
  size_t DefaultIndex() const;

  // The best entry for "EngineID=...;Gender=...;LanguageID=..." (see EspeakEngines.h); nothing
  // when no entry fits any of the given values or no value is given.
  std::optional<size_t> Find(std::u16string_view criteria) const;

  // The entries satisfying every required attribute ("Name=...;Gender=...;Language=..."), those
  // satisfying more of the optional attributes first, otherwise in listing order.
  std::vector<size_t> Select(std::u16string_view required, std::u16string_view optional) const;

 private:
  std::vector<VoiceEntry> entries_;
};

// The Windows language number of a language tag ("en-us" gives 1033), 0 when unknown.
uint32_t LanguageTagToLcid(const std::string& tag);

}  // namespace parlan::engines
