// The one eSpeak NG of the process. eSpeak NG is a single instance that is not thread-safe and
// cannot be started a second time, so one worker thread makes every call into it: it starts
// eSpeak NG, lists its voices, and synthesises the queued utterances of every engine object one
// at a time, re-applying the voice and every parameter before each synthesis call (eSpeak NG
// carries state over from one call to the next).
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engines/EspeakSpeech.h"
#include "engines/EspeakVoiceCatalogue.h"
#include "engines/SpeechChannel.h"

namespace parlan::engines {

class EspeakService {
 public:
  // The service, started at the first call and kept for the life of the process; nullptr when
  // eSpeak NG cannot be started (the answer never changes afterwards).
  static EspeakService* Get();

  EspeakService(const EspeakService&) = delete;
  EspeakService& operator=(const EspeakService&) = delete;

  const VoiceCatalogue& Voices() const { return voices_; }

  // Queues an utterance; the worker synthesises it after everything queued before it. The
  // queue holds a bounded amount of work: while it is full, this waits for the worker to take
  // some, until the utterance is dropped (a purge of its channel, its stop request).
  void Submit(std::shared_ptr<Utterance> utterance);

  // Stops the channel's utterance being synthesised at once and drops its queued ones and those
  // waiting to be queued (they finish without notifications); then drops the audio its sink has
  // not played yet.
  void Purge(SpeechChannel& channel);

  // The work the queue holds before a Submit waits (by Utterance::Cost), and what it holds now.
  void SetQueueLimit(size_t cost);
  size_t QueueLimit();
  size_t QueuedCost();

  // Runs `task` on the worker between two utterances and waits for it (measurements).
  void RunOnWorker(const std::function<void()>& task);

 private:
  EspeakService();
  void Run();
  bool Start();
  void Process(Utterance& utterance);
  void WaitForRoom(std::unique_lock<std::mutex>& lock, Utterance& utterance, size_t cost);

  struct Queued {
    std::shared_ptr<Utterance> Speech;
    size_t Cost = 0;
  };

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable ready_;
  bool started_ = false;
  bool available_ = false;
  VoiceCatalogue voices_;  // written once by the worker before `started_`
  std::condition_variable room_;
  std::deque<Queued> queue_;
  size_t queuedCost_ = 0;
  size_t queueLimit_;
  std::vector<Utterance*> waiting_;  // of Submit calls waiting for room
  std::deque<std::function<void()>> tasks_;
  std::shared_ptr<Utterance> current_;
  std::thread worker_;
};

// Synthesises one utterance into its channel, on the worker (EspeakSynthesis.cpp); the number of
// samples it gave.
int64_t SynthesizeUtterance(Utterance& utterance);

// Starts eSpeak NG for synchronous synthesis and lists its voices; false when it cannot start.
bool StartEspeak(VoiceCatalogue& voices);

}  // namespace parlan::engines
