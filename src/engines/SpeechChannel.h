// What one engine object shares with the eSpeak NG service: its audio sink, the notifications
// waiting for the host's thread, and the count of its utterances not yet finished. The service's
// worker (and the sink's playback) add notifications; the engine object takes them on the host's
// thread, in order.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "engines/AudioSinks.h"

namespace parlan::engines {

struct SpeechEvent {
  enum class Kind { Start, Word, End };
  Kind What = Kind::Start;
  uint64_t Utterance = 0;   // the utterance's number within its channel
  int64_t StreamBytes = 0;  // position in the utterance's audio, in bytes
  int64_t EngineBytes = 0;  // position in all the audio of the channel, in bytes
  int32_t Start = 0;        // of a word: 0-based position in the caller's text
  int32_t Length = 0;       // of a word: length in the caller's text
};

class SpeechChannel {
 public:
  explicit SpeechChannel(std::shared_ptr<AudioSink> sink) : sink_(std::move(sink)) {}
  SpeechChannel(const SpeechChannel&) = delete;
  SpeechChannel& operator=(const SpeechChannel&) = delete;

  AudioSink& Sink() { return *sink_; }

  // ----- Host's thread -----
  // Numbers the next utterance and counts it as outstanding until it finishes.
  uint64_t NextUtterance();
  // Waits until the utterance (and every earlier one) has finished, at most `timeout`.
  bool WaitFinished(uint64_t utterance, std::chrono::milliseconds timeout);
  bool TakeEvent(SpeechEvent& event);
  // Speech queued or playing, or notifications not yet taken.
  bool Busy();
  // Called (from the sink's or worker's thread) after each notification added and each
  // utterance finished; empty detaches, and no call of the previous function follows.
  void SetWakeup(std::function<void()> wakeup);

  // ----- Service worker -----
  void Audio(const int16_t* samples, size_t count);
  int64_t AudioBytes() const { return audioBytes_; }
  // Adds a notification once the audio written so far has been played. Of the word
  // notifications a host has not taken, only the latest kMaxWaitingWords are kept: a host that
  // never asks for them must not make a long text's speech hold memory for every word.
  void Post(const SpeechEvent& event, bool essential);
  static constexpr size_t kMaxWaitingWords = 65536;
  // The utterance is over: its end notification (if any) is added once its audio has been
  // heard, and it stops counting as outstanding.
  void Finish(uint64_t utterance, const std::optional<SpeechEvent>& end);

 private:
  std::mutex mutex_;
  std::condition_variable finished_;
  std::deque<SpeechEvent> events_;
  size_t waitingWords_ = 0;  // word notifications in events_
  uint64_t queued_ = 0;
  uint64_t done_ = 0;
  int64_t audioBytes_ = 0;  // worker only
  std::mutex wakeMutex_;
  std::function<void()> wakeup_;
  // Last, so that it goes first: a sink's playback thread may still be adding notifications.
  std::shared_ptr<AudioSink> sink_;

  void Wake();
  void DropOldestWord();  // with mutex_ held
};

}  // namespace parlan::engines
