// The control's modes as speech-dispatcher voices, the choice of a mode from speech-dispatcher's
// voice settings, and speech-dispatcher's -100..100 prosody scales in the engine's units.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "parlan/EspeakEngines.h"

namespace parlan::speechd {

struct ModuleVoice {
  std::string Name;      // the mode's display name, blanks collapsed
  std::string Language;  // BCP 47 form, e.g. "en-US"; "none" when unknown
  bool Female = false;
  int32_t Mode = 0;  // the mode number
};

// The voices for the modes named `modeNames` (mode 1 first). Native modes take the language of
// their folder's configuration (LANGID); the others that of the engine voice of the same name.
std::vector<ModuleVoice> DescribeModes(const std::vector<std::u16string>& modeNames,
                                       const std::filesystem::path& installRoot,
                                       const std::vector<engines::EngineVoice>& engineVoices);

// The wishes of a SET block; "NULL" and empty mean no wish.
struct VoiceWish {
  std::string SynthesisVoice = {};  // a voice name
  std::string Language = {};        // e.g. "en", "fr-FR"
  std::string VoiceType = {};       // "male1" .. "child_female"
};

// The index of the voice to speak with: the named voice when it exists; else, among the voices
// of the language (exact tag before the same primary language), the default voice when it is
// one of them and fits the gender, else the first of the wished gender, else the first; the
// default voice when no voice has the language. "male1" is speech-dispatcher's default type and
// expresses no wish. -1 only when there are no voices.
int ChooseVoice(const std::vector<ModuleVoice>& voices, const VoiceWish& wish,
                std::string_view defaultVoice);

// Blanks collapsed and trimmed, for names compared without regard to spacing or case.
std::string NormalName(std::string_view name);

struct ProsodyRange {
  int32_t Min = 0;
  int32_t Normal = 0;
  int32_t Max = 0;
};

// speech-dispatcher's value (-100..100, clamped; 0 normal) in the range: linear from Min to
// Normal below 0 and from Normal to Max above it.
int32_t ScaleProsody(int value, const ProsodyRange& range);
// speech-dispatcher's volume (-100..100) as the control's volume 0..10.
int32_t VolumeLevel(int value);

}  // namespace parlan::speechd
