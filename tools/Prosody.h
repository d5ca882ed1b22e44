// Speed, pitch and volume in eSpeak NG's units, the same in every mode, and their mapping onto
// the units of the engine that speaks the current mode.
#pragma once

#include <cstdint>

namespace parlan::cli::prosody {

inline constexpr int32_t kMinWordsPerMinute = 80;
inline constexpr int32_t kMaxWordsPerMinute = 450;
inline constexpr int32_t kNormalWordsPerMinute = 175;
inline constexpr int32_t kMaxPitch = 99;
inline constexpr int32_t kMaxAmplitude = 200;
inline constexpr int32_t kNormalAmplitude = 100;

// Words per minute onto an engine's speed range. A voice's rate (-10..10) runs logarithmically:
// 175 words per minute times 3 to the power rate/10; any other range is taken as linear over
// 80..450 words per minute (the direct engine's own words per minute map onto themselves).
int32_t SpeedToEngine(int32_t wordsPerMinute, int32_t min, int32_t max);

// Pitch 0..99 (50 normal) onto an engine's pitch range, linearly, so that 50 is its middle.
int32_t PitchToEngine(int32_t pitch, int32_t min, int32_t max);

// Amplitude 0..200 onto the control's volume level 0..10. The control's loudest level is the
// engines' normal volume, so everything from 100 up is level 10.
int32_t AmplitudeToLevel(int32_t amplitude);

}  // namespace parlan::cli::prosody
