// Audio handed to the host: a delivery thread of this sink gives the samples, in order and in
// pieces, to the host's handler, and runs each mark once the audio before it has been handed
// over. A handler that blocks (for instance while a pipe is full) paces the speech and its
// notifications, as playback does for the sound server.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "engines/AudioSinks.h"

namespace parlan::engines {

namespace {

// Pieces of about 23 ms, so that a discard takes effect quickly within long audio.
constexpr size_t kPieceSamples = 512;
// The worker may run this far (2 s) ahead of the handler and then waits, so that a long text
// does not pile up its audio here; an item holds at most a few pieces of it.
constexpr size_t kMostSamplesAhead = 2 * kSampleRate;
constexpr size_t kItemSamples = 8 * kPieceSamples;

class HandlerSink : public AudioSink {
 public:
  explicit HandlerSink(AudioHandler handler) : handler_(std::move(handler)) {}

  ~HandlerSink() override {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
      items_.clear();
      queued_ = 0;
      discards_++;
    }
    wake_.notify_all();
    room_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  void Write(const int16_t* samples, size_t count) override {
    if (count == 0) return;
    std::unique_lock lock(mutex_);
    if (!WaitForRoom(lock)) return;
    if (items_.empty() || items_.back().Audio.empty() || items_.back().Reached ||
        items_.back().Audio.size() >= kItemSamples)
      items_.push_back(Item{});
    items_.back().Audio.insert(items_.back().Audio.end(), samples, samples + count);
    queued_ += count;
    Started();
  }

  void Mark(std::function<void()> reached, bool essential, bool) override {
    std::lock_guard lock(mutex_);
    items_.push_back(Item{{}, std::move(reached), essential});
    Started();
  }

  void Discard() override {
    {
      std::lock_guard lock(mutex_);
      discards_++;
      std::deque<Item> kept;
      for (auto& item : items_)
        if (item.Reached && item.Essential) kept.push_back(Item{{}, std::move(item.Reached), true});
      items_.swap(kept);
      queued_ = 0;
    }
    room_.notify_all();
  }

 private:
  struct Item {
    std::vector<int16_t> Audio = {};
    std::function<void()> Reached = {};  // a mark when set
    bool Essential = false;
  };

  // Under mutex_, on the worker: waits while the audio queued is as far ahead as it may be;
  // false when the sink dropped its audio meanwhile (a discard, its end), and with it this.
  bool WaitForRoom(std::unique_lock<std::mutex>& lock) {
    const uint64_t generation = discards_;
    room_.wait(lock,
               [&] { return stop_ || discards_ != generation || queued_ < kMostSamplesAhead; });
    return !stop_ && discards_ == generation;
  }

  // Under mutex_.
  void Started() {
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    wake_.notify_all();
  }

  void Run() {
    for (;;) {
      Item item;
      uint64_t generation = 0;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return stop_ || !items_.empty(); });
        if (stop_) return;
        item = std::move(items_.front());
        items_.pop_front();
        queued_ -= item.Audio.size();
        generation = discards_;
      }
      room_.notify_all();
      if (item.Reached) {
        try {
          item.Reached();
        } catch (...) {
          // A mark that fails (its event could not be stored) loses that event; the audio
          // after it is still delivered and the host's process goes on.
        }
        continue;
      }
      for (size_t at = 0; at < item.Audio.size(); at += kPieceSamples) {
        if (Discarded(generation)) break;
        const size_t n = std::min(kPieceSamples, item.Audio.size() - at);
        try {
          handler_(item.Audio.data() + at, n);
        } catch (...) {
          // The host's failure drops its audio, never the speech thread.
        }
      }
    }
  }

  bool Discarded(uint64_t generation) {
    std::lock_guard lock(mutex_);
    return discards_ != generation;
  }

  AudioHandler handler_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable room_;
  std::deque<Item> items_;
  size_t queued_ = 0;  // samples in items_
  uint64_t discards_ = 0;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace

std::shared_ptr<AudioSink> MakeHandlerSink(AudioHandler handler) {
  return std::make_shared<HandlerSink>(std::move(handler));
}

}  // namespace parlan::engines
