// Playback on the sound server through PulseAudio's simple API (which PipeWire serves too).
// The service's worker only queues audio and marks here; a playback thread of this sink writes
// them to the server at the pace of playback, so that marks (word and end notifications) come
// when their audio is being played and a purge can drop what has not been heard.
#include <pulse/error.h>
#include <pulse/simple.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "engines/AudioSinks.h"
#include "parlan/EspeakEngines.h"

namespace parlan::engines {

namespace {

// Audio is written in pieces of this many samples (about 23 ms), so that a discard takes
// effect quickly even in the middle of a long stretch of audio.
constexpr size_t kPieceSamples = 512;
// The worker may run this far (2 s) ahead of playback and then waits, so that a long text
// does not pile up its audio here; an item holds at most a few pieces of it.
constexpr size_t kMostSamplesAhead = 2 * kSampleRate;
constexpr size_t kItemSamples = 8 * kPieceSamples;
// The server is asked to keep this much audio ahead of playback.
constexpr uint32_t kTargetLatencyMs = 150;

pa_sample_spec SampleSpec() {
  pa_sample_spec spec{};
  spec.format = PA_SAMPLE_S16LE;
  spec.rate = kSampleRate;
  spec.channels = 1;
  return spec;
}

class SoundServerSink : public AudioSink {
 public:
  SoundServerSink(std::string streamName, std::shared_ptr<OutputFailure> failure)
      : name_(std::move(streamName)), failure_(std::move(failure)) {}

  ~SoundServerSink() override {
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
    Close();
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

  void Mark(std::function<void()> reached, bool essential, bool drain) override {
    std::lock_guard lock(mutex_);
    items_.push_back(Item{{}, std::move(reached), essential, drain});
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
    wake_.notify_all();
    room_.notify_all();
  }

  void Fail(const std::string& reason) override {
    if (failure_) failure_->Record(reason);
  }

 private:
  struct Item {
    std::vector<int16_t> Audio;
    std::function<void()> Reached;  // a mark when set
    bool Essential = false;
    bool Drain = false;
  };

  // Under mutex_, on the worker: waits while the audio queued is as far ahead as it may be;
  // false when the sink dropped its audio meanwhile (a discard, its end), and with it this.
  bool WaitForRoom(std::unique_lock<std::mutex>& lock) {
    const uint64_t generation = discards_;
    room_.wait(lock,
               [&] { return stop_ || discards_ != generation || queued_ < kMostSamplesAhead; });
    return !stop_ && discards_ == generation;
  }

  // Under mutex_: wakes the playback thread, starting it the first time.
  void Started() {
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    wake_.notify_all();
  }

  // No exception may end this thread (it would end the host's process): an item that fails
  // is recorded and dropped, and the items after it, the end marks among them, still come.
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
      try {
        Handle(item, generation);
      } catch (const std::exception& e) {
        Fail(std::string("the sound server's playback failed: ") + e.what());
      } catch (...) {
        Fail("the sound server's playback failed");
      }
    }
  }

  void Handle(Item& item, uint64_t generation) {
    if (!item.Reached) {
      Play(item.Audio, generation);
      return;
    }
    if (item.Drain && stream_) pa_simple_drain(stream_, nullptr);
    item.Reached();
    if (item.Drain && Idle()) {
      Close();  // the run of speech is over
      unreachable_ = false;
    }
  }

  bool Idle() {
    std::lock_guard lock(mutex_);
    return items_.empty();
  }

  void Play(const std::vector<int16_t>& audio, uint64_t generation) {
    if (!stream_ && !unreachable_) Connect();
    if (!stream_) return;
    for (size_t at = 0; at < audio.size(); at += kPieceSamples) {
      if (discards_ != generation) break;
      const size_t n = std::min(kPieceSamples, audio.size() - at);
      if (pa_simple_write(stream_, audio.data() + at, n * sizeof(int16_t), nullptr) < 0) {
        Close();
        unreachable_ = true;  // drop the rest of this run of speech
        return;
      }
    }
    if (discards_ != generation) pa_simple_flush(stream_, nullptr);
  }

  void Connect() {
    const pa_sample_spec spec = SampleSpec();
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = kSampleRate * 2 * kTargetLatencyMs / 1000;
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(-1);
    int error = 0;
    stream_ = pa_simple_new(nullptr, "Parlan", PA_STREAM_PLAYBACK, nullptr, name_.c_str(), &spec,
                            nullptr, &attr, &error);
    unreachable_ = stream_ == nullptr;
  }

  void Close() {
    if (stream_) pa_simple_free(stream_);
    stream_ = nullptr;
  }

  std::string name_;
  std::shared_ptr<OutputFailure> failure_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable room_;
  std::deque<Item> items_;
  size_t queued_ = 0;  // samples in items_
  std::atomic<uint64_t> discards_{0};
  bool stop_ = false;
  std::thread thread_;
  // Playback thread only.
  pa_simple* stream_ = nullptr;
  bool unreachable_ = false;
};

}  // namespace

bool SoundServerReachable() {
  const pa_sample_spec spec = SampleSpec();
  int error = 0;
  pa_simple* stream = pa_simple_new(nullptr, "Parlan", PA_STREAM_PLAYBACK, nullptr, "probe", &spec,
                                    nullptr, nullptr, &error);
  if (!stream) return false;
  pa_simple_free(stream);
  return true;
}

std::shared_ptr<AudioSink> MakeSoundServerSink(std::string streamName,
                                               std::shared_ptr<OutputFailure> failure) {
  return std::make_shared<SoundServerSink>(std::move(streamName), std::move(failure));
}

}  // namespace parlan::engines
