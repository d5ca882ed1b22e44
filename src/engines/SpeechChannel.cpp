#include "engines/SpeechChannel.h"

#include <algorithm>

namespace parlan::engines {

uint64_t SpeechChannel::NextUtterance() {
  std::lock_guard lock(mutex_);
  return ++queued_;
}

bool SpeechChannel::WaitFinished(uint64_t utterance, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return finished_.wait_for(lock, timeout, [&] { return done_ >= utterance; });
}

bool SpeechChannel::TakeEvent(SpeechEvent& event) {
  std::lock_guard lock(mutex_);
  if (events_.empty()) return false;
  event = events_.front();
  events_.pop_front();
  if (event.What == SpeechEvent::Kind::Word) --waitingWords_;
  return true;
}

bool SpeechChannel::Busy() {
  std::lock_guard lock(mutex_);
  return done_ < queued_ || !events_.empty();
}

void SpeechChannel::SetWakeup(std::function<void()> wakeup) {
  std::lock_guard lock(wakeMutex_);
  wakeup_ = std::move(wakeup);
}

void SpeechChannel::Wake() {
  std::lock_guard lock(wakeMutex_);
  if (!wakeup_) return;
  try {
    wakeup_();
  } catch (...) {
    // A host's wake-up that fails must not stop the playback thread.
  }
}

void SpeechChannel::Audio(const int16_t* samples, size_t count) {
  audioBytes_ += static_cast<int64_t>(count * sizeof(int16_t));
  sink_->Write(samples, count);
}

void SpeechChannel::Post(const SpeechEvent& event, bool essential) {
  sink_->Mark(
      [this, event] {
        {
          std::lock_guard lock(mutex_);
          events_.push_back(event);
          if (event.What == SpeechEvent::Kind::Word && ++waitingWords_ > kMaxWaitingWords)
            DropOldestWord();
        }
        Wake();
      },
      essential, false);
}

void SpeechChannel::DropOldestWord() {
  // The oldest word usually stands right behind its utterance's start notification.
  auto word = std::find_if(events_.begin(), events_.end(),
                           [](const SpeechEvent& e) { return e.What == SpeechEvent::Kind::Word; });
  if (word == events_.end()) return;
  events_.erase(word);
  --waitingWords_;
}

void SpeechChannel::Finish(uint64_t utterance, const std::optional<SpeechEvent>& end) {
  sink_->Mark(
      [this, utterance, end] {
        {
          std::lock_guard lock(mutex_);
          if (end) events_.push_back(*end);
          if (utterance > done_) done_ = utterance;
        }
        finished_.notify_all();
        Wake();
      },
      true, true);
}

}  // namespace parlan::engines
