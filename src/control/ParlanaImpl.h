// The inside of a Parlana: its three engines, the host's event sinks and callbacks, and the
// engine rule that picks the engine serving each member.
#pragma once

#include <atomic>

#include <filesystem>
#include <memory>
#include <type_traits>
#include <vector>

#include "control/EventRelay.h"
#include "control/ModuleState.h"
#include "parlan/Parlana.h"

namespace parlan {

// Which engine serves a member in the current mode.
enum class EngineTarget { None, NativeOnSapi4, Sapi4, Sapi5 };

struct Parlana::Impl {
  std::filesystem::path Root;
  std::unique_ptr<engines::DirectSS> ParlanSapiObj;
  std::unique_ptr<engines::DirectSS> Sapi4Obj;
  std::unique_ptr<engines::Voice> Sapi5Obj;
  std::vector<std::shared_ptr<ParlanaEvents>> Sinks;
  PropertyChangedCallback OnPropertyChanged;
  std::unique_ptr<DirectSSRelay> ParlanSapiRelay;
  std::unique_ptr<DirectSSRelay> Sapi4Relay;
  std::unique_ptr<VoiceRelay> Sapi5Relay;
  // Set by RequestStop (any thread, a signal handler), cleared by AudioReset; shared with the
  // engines, whose threads may look at it after the control has gone.
  std::shared_ptr<std::atomic<bool>> StopRequested = std::make_shared<std::atomic<bool>>(false);
  static_assert(std::atomic<bool>::is_always_lock_free, "RequestStop must be signal-safe");

  EngineTarget Target() const;
  // The direct text-to-speech object of targets NativeOnSapi4 and Sapi4, else nullptr.
  engines::DirectSS* DirectTarget() const;
  ModeEngines Engines() const;
  void NotifyPropertyChanged(const char16_t* name);
  // Speaks text on the voice with the given flags; false when the voice refused.
  bool VoiceSpeak(const std::u16string* text, int32_t flags);
  // The pitch markup for p, spoken so that it stays in force for later speech.
  void SpeakPitchMarkup(int32_t p);
  void ApplyVolume();
};

std::u16string PitchMarkup(int32_t p);

// The level 0..10 on an engine's range lo..hi, rounded half to even.
int32_t ScaleVolume(int32_t level, int32_t lo, int32_t hi);

// Runs a member's body so that no failure escapes to the host; a failed body yields the
// member's default result.
template <class F>
auto Guarded(F&& body) noexcept -> decltype(body()) {
  using R = decltype(body());
  try {
    return body();
  } catch (...) {
    if constexpr (!std::is_void_v<R>) return R();
  }
}

}  // namespace parlan
