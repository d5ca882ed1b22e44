// The eSpeak NG engines: how long from Speak to the first audio sample reaching the output, and
// what the engines add over bare eSpeak NG synthesis of the same text (audio dropped).
#include <benchmark/benchmark.h>
#include <espeak-ng/speak_lib.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "engines/AudioSinks.h"
#include "engines/EspeakDirectSS.h"
#include "engines/EspeakMarkup.h"
#include "engines/EspeakService.h"
#include "engines/EspeakVoice.h"

namespace {

using namespace parlan;
using namespace parlan::engines;
using Clock = std::chrono::steady_clock;

constexpr char16_t kSentence[] = u"The quick brown fox jumps over the lazy dog.";
constexpr char kSentenceUtf8[] = "The quick brown fox jumps over the lazy dog.";

// Drops the audio and notes when the first sample of a run of speech came.
class FirstSampleSink : public AudioSink {
 public:
  void Write(const int16_t*, size_t) override {
    if (got_.load(std::memory_order_relaxed)) return;
    at_ = Clock::now();
    got_.store(true, std::memory_order_release);
  }
  void Mark(std::function<void()> reached, bool, bool) override { reached(); }
  void Reset() { got_.store(false); }
  // Waits for the first sample and returns when it came.
  Clock::time_point Wait() const {
    while (!got_.load(std::memory_order_acquire)) std::this_thread::yield();
    return at_;
  }

 private:
  std::atomic<bool> got_{false};
  Clock::time_point at_;
};

template <class Engine>
void WaitIdle(Engine& engine) {
  while (engine.Busy()) {
    engine.PumpEvents();
    std::this_thread::yield();
  }
}

EspeakService* ServiceOrSkip(benchmark::State& state) {
  EspeakService* service = EspeakService::Get();
  if (!service) state.SkipWithError("eSpeak NG could not be started");
  return service;
}

void BM_VoiceSpeakToFirstSample(benchmark::State& state) {
  EspeakService* service = ServiceOrSkip(state);
  if (!service) return;
  auto sink = std::make_shared<FirstSampleSink>();
  EspeakVoice voice(*service, sink);
  const std::u16string text = kSentence;
  int32_t stream = 0;
  for (auto _ : state) {
    sink->Reset();
    const auto start = Clock::now();
    voice.Speak(&text, voiceflags::kAsync, stream);
    state.SetIterationTime(std::chrono::duration<double>(sink->Wait() - start).count());
    WaitIdle(voice);
  }
}
BENCHMARK(BM_VoiceSpeakToFirstSample)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DirectSSSpeakToFirstSample(benchmark::State& state) {
  EspeakService* service = ServiceOrSkip(state);
  if (!service) return;
  auto sink = std::make_shared<FirstSampleSink>();
  EspeakDirectSS engine(*service, sink);
  const std::vector<Variant> args = {Variant(0), Variant(1), Variant(kSentence)};
  Variant result;
  for (auto _ : state) {
    sink->Reset();
    const auto start = Clock::now();
    engine.Invoke(ss::kSpeak, CallKind::Method, args, result);
    state.SetIterationTime(std::chrono::duration<double>(sink->Wait() - start).count());
    WaitIdle(engine);
  }
}
BENCHMARK(BM_DirectSSSpeakToFirstSample)->UseManualTime()->Unit(benchmark::kMillisecond);

// Bare eSpeak NG: the same sentence synthesised on the service's worker, voice and parameters
// set as the engines set them, audio dropped by the callback.
void BM_BareEspeakSentence(benchmark::State& state) {
  EspeakService* service = ServiceOrSkip(state);
  if (!service) return;
  const std::string voice = service->Voices().Entries()[service->Voices().DefaultIndex()].SynthName;
  for (auto _ : state) {
    double seconds = 0;
    service->RunOnWorker([&] {
      const auto start = Clock::now();
      espeak_SetVoiceByName(voice.c_str());
      espeak_SetParameter(espeakRATE, 175, 0);
      espeak_SetParameter(espeakPITCH, 50, 0);
      espeak_Synth(kSentenceUtf8, std::strlen(kSentenceUtf8) + 1, 0, POS_CHARACTER, 0,
                   espeakCHARS_UTF8, nullptr, nullptr);
      seconds = std::chrono::duration<double>(Clock::now() - start).count();
    });
    state.SetIterationTime(seconds);
  }
}
BENCHMARK(BM_BareEspeakSentence)->UseManualTime()->Unit(benchmark::kMillisecond);

// The voice speaking the sentence synchronously, audio dropped, notifications delivered: the
// whole cost of an utterance from the host's side.
void BM_VoiceSentenceNullSink(benchmark::State& state) {
  EspeakService* service = ServiceOrSkip(state);
  if (!service) return;
  EspeakVoice voice(*service, MakeNullSink());
  const std::u16string text = kSentence;
  int32_t stream = 0;
  for (auto _ : state) {
    voice.Speak(&text, 0, stream);
    voice.PumpEvents();
  }
}
BENCHMARK(BM_VoiceSentenceNullSink)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_DirectSSSentenceNullSink(benchmark::State& state) {
  EspeakService* service = ServiceOrSkip(state);
  if (!service) return;
  EspeakDirectSS engine(*service, MakeNullSink());
  const std::vector<Variant> args = {Variant(0), Variant(1), Variant(kSentence)};
  Variant result;
  for (auto _ : state) {
    engine.Invoke(ss::kSpeak, CallKind::Method, args, result);
    WaitIdle(engine);
  }
}
BENCHMARK(BM_DirectSSSentenceNullSink)->UseRealTime()->Unit(benchmark::kMillisecond);

// The engines' own work on the host's thread before anything is queued.
void BM_MarkupToSegments(benchmark::State& state) {
  const std::u16string text =
      u"<pitch absmiddle = \" 3\"/>The quick brown fox <pron sym=\"dZVmps !\"/> over the lazy "
      u"dog.";
  for (auto _ : state) {
    const ParsedSpeech parsed = ParseVoiceMarkup(text, 0);
    for (const SpeechPart& part : parsed.Parts)
      benchmark::DoNotOptimize(part.Phonemes ? PhonemeSegment(part.Source, PhonemeForm::Pron, 50)
                                             : TextSegment(part.Source, 50));
  }
}
BENCHMARK(BM_MarkupToSegments)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
