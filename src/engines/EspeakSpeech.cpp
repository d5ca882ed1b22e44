#include "engines/EspeakSpeech.h"

#include <algorithm>
#include <cmath>

namespace parlan::engines {

namespace {
constexpr int32_t kSlowestWordsPerMinute = 80;
// How long one unit of eSpeak NG's gap between words lasts at its slowest rate (measured: the
// nominal 10 ms is stretched with the rate).
constexpr double kGapUnitSecondsWhenSlowest = 0.032;
}  // namespace

SynthSettings RateToSettings(int32_t rate, SynthSettings settings) {
  const double r = std::clamp(rate, -10, 10);
  const double wpm = kNormalWordsPerMinute * std::pow(3.0, r / 10.0);
  settings.WordGap = 0;
  if (wpm < kSlowestWordsPerMinute) {
    // Each word should take 60/wpm seconds; at the slowest rate it takes 60/80 seconds, so
    // the rest is added after it as a gap between words.
    const double missing = 60.0 / wpm - 60.0 / kSlowestWordsPerMinute;
    settings.WordsPerMinute = kSlowestWordsPerMinute;
    settings.WordGap = static_cast<int32_t>(std::lround(missing / kGapUnitSecondsWhenSlowest));
  } else {
    settings.WordsPerMinute = static_cast<int32_t>(std::lround(wpm));
  }
  return settings;
}

size_t Utterance::Cost() const {
  size_t cost = sizeof(Utterance) + Settings.VoiceName.size();
  for (const SpeechSegment& s : Segments)
    cost += sizeof(SpeechSegment) + s.Utf8.size() + s.WordAt.size() * sizeof(int32_t) +
            s.Words.size() * sizeof(WordSpan);
  return cost;
}

int32_t AbsMiddleToPitch(int32_t absmiddle) {
  return 50 + 5 * std::clamp(absmiddle, -10, 10);
}

int32_t LevelsToVolume(int32_t level1, int32_t level2) {
  const double mean = (std::clamp(level1, 0, 65535) + std::clamp(level2, 0, 65535)) / 2.0;
  return static_cast<int32_t>(std::lround(mean * 100.0 / 65535.0));
}

}  // namespace parlan::engines
