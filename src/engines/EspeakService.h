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

  // Queues an utterance; the worker synthesises it after everything queued before it.
  void Submit(std::shared_ptr<Utterance> utterance);

  // Stops the channel's utterance being synthesised at once and drops its queued ones (they
  // finish without notifications); then drops the audio its sink has not played yet.
  void Purge(SpeechChannel& channel);

  // Runs `task` on the worker between two utterances and waits for it (measurements).
  void RunOnWorker(const std::function<void()>& task);

 private:
  EspeakService();
  void Run();
  bool Start();
  void Process(Utterance& utterance);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable ready_;
  bool started_ = false;
  bool available_ = false;
  VoiceCatalogue voices_;  // written once by the worker before `started_`
  std::deque<std::shared_ptr<Utterance>> queue_;
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
