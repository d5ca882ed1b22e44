// The table of voice modes: native languages, then the modes of the direct text-to-speech
// engine, then the voices, in one numbering from 1; and the selection of a mode.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "parlan/Engines.h"
#include "strings/ErrorRecord.h"

namespace parlan {

// Kinds of the current mode.
enum ModeKindValue : int32_t { kNoMode = 0, kNativeMode = 1, kSapi4Mode = 4, kSapi5Mode = 5 };
// The engine a native mode speaks through.
enum NativeEngineValue : int32_t { kNativeOnSapi4 = 1, kNativeOnSapi5 = 2 };

struct ModeState {
  std::vector<std::u16string> NativeModeNames;  // NativeModeNames[i - 1] is mode i
  int16_t NativeModeCount = 0;
  std::vector<std::u16string> Sapi4ModeNames;
  int16_t Sapi4ModeCount = 0;
  std::vector<std::u16string> Sapi5ModeNames;
  int16_t Sapi5ModeCount = 0;
  int32_t CurrentModeNumber = 0;
  int32_t ModeKind = kNoMode;
  int32_t ModeIndex = 0;
  int32_t NativeEngineKind = 0;
  int32_t NativeSapi4Mode = 0;
  bool KeepPhonemeSpaces = false;
};

// The engines a mode can be served by.
struct ModeEngines {
  engines::DirectSS* ParlanSapiObj = nullptr;
  engines::DirectSS* Sapi4Obj = nullptr;
  engines::Voice* Sapi5Obj = nullptr;
};

// Lists the "Parlan <language>" folders of the install root, in the order the file system gives
// them, with one mode per gender the language's configuration offers. Sets conversionOk.
void ListNativeModes(ModeState& modes, const std::filesystem::path& root, ErrorRecord& error,
                     bool& conversionOk);
void ListSapi4Modes(ModeState& modes, engines::DirectSS* sapi4);
void ListSapi5Modes(ModeState& modes, engines::Voice* voice);

// Number of modes; 0 when the sum does not fit 16 bits.
int32_t CountEngines(const ModeState& modes);

// Display name of mode `index`; records error 1 past the last mode.
std::u16string ModeName(const ModeState& modes, int16_t index, ErrorRecord& error);

// Makes mode n current: sets ModeKind and ModeIndex and prepares its engine.
void SelectMode(ModeState& modes, int16_t n, const ModeEngines& engines,
                const std::filesystem::path& root, ErrorRecord& error);

// Binds a native mode to the engine its language's configuration names.
void BindNativeEngine(ModeState& modes, const std::u16string& displayName,
                      const ModeEngines& engines, const std::filesystem::path& root,
                      ErrorRecord& error);

// The first voice whose description matches "Name=<name>", made current. False when none.
bool SelectVoiceByName(engines::Voice* voice, const std::u16string& name);

}  // namespace parlan
