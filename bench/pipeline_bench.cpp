// A native Speak from text to engine calls, on recording engines and the Demo language of the
// test data, for texts of 10 KB, 1 MB and 10 MB, with and without debug output. The time per
// word must not grow with the length of the text. The rates are per CPU second of the speaking
// thread, so that other work on the machine does not count.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "engines/RecordingEngines.h"
#include "parlan/Parlana.h"

namespace {

std::filesystem::path DemoRoot() {
  return std::filesystem::path(__FILE__).parent_path().parent_path() / "tests" / "data" / "root";
}

// Sentences with numbers, abbreviations, symbols, ignored characters, whole-phrase entries and
// dictionary words, repeated up to the size asked for (in characters).
std::u16string MakeText(size_t size) {
  static const std::u16string kParagraph =
      u"Dr Smith met (the) Mr Jones & his wife at 10 St James, e.g. near the park. "
      u"They walked 3.5 km: \"two\" of them went to town; who paid 1984 pounds? "
      u"The file.name was long, i.e. too long for one line! ";
  std::u16string text;
  text.reserve(size + kParagraph.size());
  while (text.size() < size) text += kParagraph;
  text.resize(size);
  return text;
}

size_t CountWords(const std::u16string& text) {
  size_t words = 1;
  for (char16_t c : text)
    if (c == u' ') ++words;
  return words;
}

int32_t DemoMode(parlan::Parlana& control) {
  int32_t count = control.CountEngines();
  for (int32_t i = 1; i <= count; ++i)
    if (control.ModeName(static_cast<int16_t>(i)) == u"Demo Male (Parlan)") return i;
  return 0;
}

void BM_SpeakNative(benchmark::State& state) {
  const auto size = static_cast<size_t>(state.range(0));
  const bool neverDebug = state.range(1) != 0;
  parlan::ResetThreadState();
  auto factory = std::make_shared<parlan::engines::RecordingEngineFactory>();
  parlan::Parlana control(parlan::ParlanaSettings{DemoRoot(), factory});
  control.SetNeverDebug(neverDebug);
  int32_t mode = DemoMode(control);
  if (mode == 0) {
    state.SkipWithError("the Demo language is not installed under tests/data/root");
    return;
  }
  control.SetCurrentMode(mode);
  std::u16string warmUp = u"Warm up the language files.";
  control.Speak(warmUp);

  const std::u16string text = MakeText(size);
  const size_t words = CountWords(text);
  for (auto _ : state) {
    state.PauseTiming();
    std::u16string t = text;
    factory->ClearCalls();
    state.ResumeTiming();
    control.Speak(t);
    benchmark::DoNotOptimize(t);
  }
  // The phrases of the last Speak reached the engine.
  const size_t phrases = factory->ParlanSapi->CallsTo(42).size();
  if (phrases == 0) state.SkipWithError("no phrase reached the engine");
  state.counters["phrases"] = static_cast<double>(phrases);
  state.counters["words"] = static_cast<double>(words);
  state.counters["per_word"] =
      benchmark::Counter(static_cast<double>(words) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_SpeakNative)
    ->ArgNames({"chars", "neverDebug"})
    ->ArgsProduct({{10 << 10, 1 << 20, 10 << 20}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

// A text without spaces whose phrase ends follow each other closely: each phrase puts the rest
// of the long word back. Time per character must not grow with the length either.
void BM_SpeakSpaceFree(benchmark::State& state) {
  const auto size = static_cast<size_t>(state.range(0));
  parlan::ResetThreadState();
  auto factory = std::make_shared<parlan::engines::RecordingEngineFactory>();
  parlan::Parlana control(parlan::ParlanaSettings{DemoRoot(), factory});
  control.SetNeverDebug(true);
  control.SetCurrentMode(DemoMode(control));
  std::u16string text;
  while (text.size() < size) text += u"ab!cd;3.5:";
  for (auto _ : state) {
    state.PauseTiming();
    std::u16string t = text;
    factory->ClearCalls();
    state.ResumeTiming();
    control.Speak(t);
  }
  state.counters["per_char"] =
      benchmark::Counter(static_cast<double>(text.size()) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_SpeakSpaceFree)
    ->ArgName("chars")
    ->Arg(10 << 10)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
