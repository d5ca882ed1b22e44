#include "engines/EspeakService.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <string>

namespace parlan::engines {

namespace {

// Some minutes of speech: enough that the worker never runs dry while a host hands over its
// text, little enough that a book handed over at once does not sit in memory.
constexpr size_t kQueueLimit = size_t{1} << 20;
// A stop request is a flag set from anywhere (a signal handler too), which cannot wake a
// waiting Submit: the wait looks at it this often.
constexpr std::chrono::milliseconds kStopSlice{10};

}  // namespace

EspeakService* EspeakService::Get() {
  // eSpeak NG is one instance per process that hangs when started a second time, so its
  // service is made once, at the first use, and deliberately never destroyed: engine objects
  // that outlive other static objects can still reach it.
  static EspeakService* const service = new EspeakService();
  return service->available_ ? service : nullptr;
}

EspeakService::EspeakService() : queueLimit_(kQueueLimit) {
  worker_ = std::thread([this] { Run(); });
  std::unique_lock lock(mutex_);
  ready_.wait(lock, [&] { return started_; });
}

void EspeakService::Run() {
  const bool ok = StartEspeak(voices_);
  {
    std::lock_guard lock(mutex_);
    available_ = ok;
    started_ = true;
  }
  ready_.notify_all();
  if (!ok) return;
  for (;;) {
    std::function<void()> task;
    std::shared_ptr<Utterance> utterance;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return !queue_.empty() || !tasks_.empty(); });
      if (!tasks_.empty()) {
        task = std::move(tasks_.front());
        tasks_.pop_front();
      } else {
        current_ = std::move(queue_.front().Speech);
        queuedCost_ -= queue_.front().Cost;
        queue_.pop_front();
        utterance = current_;
      }
    }
    room_.notify_all();
    if (task) {
      task();
      continue;
    }
    try {
      Process(*utterance);
    } catch (...) {
      // Nothing is left to tell: the sink could not even take the utterance's end.
    }
    // The lock goes before `utterance`, which may hold the last reference to its channel.
    std::lock_guard lock(mutex_);
    current_.reset();
  }
}

namespace {

std::string Described(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return std::string("the speech engine failed: ") + e.what();
  } catch (...) {
  }
  return "the speech engine failed";
}

// Synthesises the utterance; an exception (an allocation that failed, a sink that threw) fails
// the utterance instead of ending the worker, and with it the host's process.
int64_t GuardedSynthesis(Utterance& utterance, std::string& failure) {
  try {
    return SynthesizeUtterance(utterance);
  } catch (...) {
    failure = Described(std::current_exception());
  }
  return 0;
}

}  // namespace

void EspeakService::Process(Utterance& utterance) {
  SpeechChannel& channel = *utterance.Channel;
  std::optional<SpeechEvent> end;
  if (!utterance.Dropped()) {
    std::string failure;
    const int64_t samples = GuardedSynthesis(utterance, failure);
    if (!failure.empty()) {
      channel.Sink().Fail(failure);
      channel.Sink().Discard();
    } else {
      if (utterance.Dropped()) channel.Sink().Discard();
      end.emplace();
      end->What = SpeechEvent::Kind::End;
      end->Utterance = utterance.Number;
      end->StreamBytes = samples * 2;
      end->EngineBytes = channel.AudioBytes();
    }
  }
  channel.Sink().UtteranceDone();
  channel.Finish(utterance.Number, end);
}

void EspeakService::Submit(std::shared_ptr<Utterance> utterance) {
  utterance->Channel->Sink().UtteranceQueued();
  size_t cost = utterance->Cost();
  {
    std::unique_lock lock(mutex_);
    WaitForRoom(lock, *utterance, cost);
    // A dropped utterance is still queued, so that it finishes in its channel's order, but
    // holds nothing any more.
    if (utterance->Dropped()) {
      utterance->Segments.clear();
      cost = utterance->Cost();
    }
    queuedCost_ += cost;
    queue_.push_back({std::move(utterance), cost});
  }
  wake_.notify_all();
}

void EspeakService::WaitForRoom(std::unique_lock<std::mutex>& lock, Utterance& utterance,
                                size_t cost) {
  auto full = [&] { return queuedCost_ > 0 && queuedCost_ + cost > queueLimit_; };
  if (!full()) return;
  waiting_.push_back(&utterance);
  while (full() && !utterance.Dropped()) room_.wait_for(lock, kStopSlice);
  waiting_.erase(std::find(waiting_.begin(), waiting_.end(), &utterance));
}

void EspeakService::Purge(SpeechChannel& channel) {
  {
    std::lock_guard lock(mutex_);
    for (auto& q : queue_)
      if (q.Speech->Channel.get() == &channel) q.Speech->Cancelled = true;
    for (Utterance* u : waiting_)
      if (u->Channel.get() == &channel) u->Cancelled = true;
    if (current_ && current_->Channel.get() == &channel) current_->Cancelled = true;
  }
  room_.notify_all();
  channel.Sink().Discard();
}

void EspeakService::SetQueueLimit(size_t cost) {
  {
    std::lock_guard lock(mutex_);
    queueLimit_ = cost;
  }
  room_.notify_all();
}

size_t EspeakService::QueueLimit() {
  std::lock_guard lock(mutex_);
  return queueLimit_;
}

size_t EspeakService::QueuedCost() {
  std::lock_guard lock(mutex_);
  return queuedCost_;
}

void EspeakService::RunOnWorker(const std::function<void()>& task) {
  std::mutex doneMutex;
  std::condition_variable doneSignal;
  bool done = false;
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back([&] {
      task();
      std::lock_guard l(doneMutex);
      done = true;
      doneSignal.notify_all();
    });
  }
  wake_.notify_all();
  std::unique_lock lock(doneMutex);
  doneSignal.wait(lock, [&] { return done; });
}

}  // namespace parlan::engines
