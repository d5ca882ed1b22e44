#include "engines/EspeakService.h"

#include <exception>
#include <string>

namespace parlan::engines {

EspeakService* EspeakService::Get() {
  // eSpeak NG is one instance per process that hangs when started a second time, so its
  // service is made once, at the first use, and deliberately never destroyed: engine objects
  // that outlive other static objects can still reach it.
  static EspeakService* const service = new EspeakService();
  return service->available_ ? service : nullptr;
}

EspeakService::EspeakService() {
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
        current_ = queue_.front();
        queue_.pop_front();
        utterance = current_;
      }
    }
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
  if (!utterance.Cancelled) {
    std::string failure;
    const int64_t samples = GuardedSynthesis(utterance, failure);
    if (!failure.empty()) {
      channel.Sink().Fail(failure);
      channel.Sink().Discard();
    } else {
      if (utterance.Cancelled) channel.Sink().Discard();
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
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(utterance));
  }
  wake_.notify_all();
}

void EspeakService::Purge(SpeechChannel& channel) {
  {
    std::lock_guard lock(mutex_);
    for (auto& u : queue_)
      if (u->Channel.get() == &channel) u->Cancelled = true;
    if (current_ && current_->Channel.get() == &channel) current_->Cancelled = true;
  }
  channel.Sink().Discard();
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
