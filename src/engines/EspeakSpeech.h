// What an engine object hands to the eSpeak NG service: utterances made of segments, each
// segment one synthesis call, with the map from eSpeak NG's text positions back to the words of
// the caller's text. Also the mapping of the engines' prosody values onto eSpeak NG's.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "parlan/EspeakEngines.h"

namespace parlan::engines {

class SpeechChannel;

// One word of the caller's text: 0-based start and length in UTF-16 code units.
struct WordSpan {
  int32_t Start = 0;
  int32_t Length = 0;
  bool operator==(const WordSpan&) const = default;
};

// Per code point of a segment's text: the index of the caller's word it belongs to, or one of
// these.
inline constexpr int32_t kNoWord = -1;  // blank or punctuation
inline constexpr int32_t kPause = -2;   // a pause the engine inserted

struct SpeechSegment {
  std::string Utf8;             // the text eSpeak NG synthesises
  bool Phonemes = false;        // Utf8 holds phonemes in [[ ]]
  int32_t Pitch = 50;           // eSpeak NG base pitch 0..100
  std::vector<int32_t> WordAt;  // one entry per code point of Utf8
  std::vector<WordSpan> Words;  // the caller's words, in order
};

// Voice and parameters, applied afresh before every synthesis call.
struct SynthSettings {
  std::string VoiceName;  // as eSpeak NG's voice selection takes it, e.g. "gmw/en-US+f3"
  int32_t WordsPerMinute = 175;
  int32_t WordGap = 0;  // extra pause between words, in 10 ms units
  int32_t Volume = 100;
  int32_t Range = 50;
  ReadingStyle Style = {};
};

struct Utterance {
  std::shared_ptr<SpeechChannel> Channel;
  uint64_t Number = 0;  // counts from 1 per channel; utterances of a channel finish in order
  SynthSettings Settings;
  std::vector<SpeechSegment> Segments;
  std::atomic<bool> Cancelled{false};
  // The host's stop request, when it gave one: while it is set the utterance is dropped too.
  std::shared_ptr<const std::atomic<bool>> Stop;

  bool Dropped() const {
    return Cancelled.load(std::memory_order_relaxed) ||
           (Stop && Stop->load(std::memory_order_relaxed));
  }
  // Roughly the memory the utterance holds while it waits in the queue.
  size_t Cost() const;
};

// Runs an engine call so that no exception leaves it: a failure is a failed call.
template <class Call>
bool GuardedCall(Call call) noexcept {
  try {
    return call();
  } catch (...) {
    return false;
  }
}

// eSpeak NG's normal speaking rate.
inline constexpr int32_t kNormalWordsPerMinute = 175;

// Voice rate -10..10 (clamped) onto words per minute: the normal rate times 3^(rate/10). Below
// eSpeak NG's slowest rate (80) the rate stays at 80 and a gap between words makes up the time.
SynthSettings RateToSettings(int32_t rate, SynthSettings settings);

// The voice's <pitch absmiddle="n"/> (-10..10, clamped) onto eSpeak NG's base pitch 0..100.
int32_t AbsMiddleToPitch(int32_t absmiddle);

// The two volume levels of the direct text-to-speech object (0..65535 each) onto eSpeak NG's
// volume: their mean, 65535 being the normal level 100.
int32_t LevelsToVolume(int32_t level1, int32_t level2);

}  // namespace parlan::engines
