#include "Prosody.h"

#include <algorithm>
#include <cmath>

namespace parlan::cli::prosody {

int32_t SpeedToEngine(int32_t wordsPerMinute, int32_t min, int32_t max) {
  const double wpm = std::clamp(wordsPerMinute, kMinWordsPerMinute, kMaxWordsPerMinute);
  double value = 0;
  if (min == -10 && max == 10)
    value = 10.0 * std::log(wpm / kNormalWordsPerMinute) / std::log(3.0);
  else
    value = min + (wpm - kMinWordsPerMinute) * (max - min) /
                      double(kMaxWordsPerMinute - kMinWordsPerMinute);
  return std::clamp(static_cast<int32_t>(std::lround(value)), min, max);
}

int32_t PitchToEngine(int32_t pitch, int32_t min, int32_t max) {
  const double p = std::clamp(pitch, 0, kMaxPitch);
  const double value = min + p * (max - min) / 100.0;
  return std::clamp(static_cast<int32_t>(std::lround(value)), min, max);
}

int32_t AmplitudeToLevel(int32_t amplitude) {
  const int32_t a = std::clamp(amplitude, 0, kNormalAmplitude);
  return static_cast<int32_t>(std::lround(a / 10.0));
}

}  // namespace parlan::cli::prosody
