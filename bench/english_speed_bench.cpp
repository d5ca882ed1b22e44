// Native English text-to-phonemes against eSpeak NG's espeak_TextToPhonemes on the same English
// prose in the same process, then the native time per word from 10 KB to 10 MB (100 MB with
// PARLAN_BENCH_HUGE=1), with debugging off and on. The rates are per CPU second of the thread,
// so that other work on the machine does not count; the closing lines print the ratios of the
// medians measured in this run.
#include <benchmark/benchmark.h>
#include <espeak-ng/speak_lib.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MedianReporter.h"
#include "engines/RecordingEngines.h"
#include "parlan/Parlana.h"
#include "strings/Unicode.h"

namespace {

std::filesystem::path LanguagesRoot() {
  return std::filesystem::path(PARLAN_SOURCE_DIR) / "languages";
}

// Plain English prose: narration, dialogue, numbers and abbreviations as a book holds them.
constexpr char16_t kProse[] =
    u"It was late in the autumn when the travellers reached the little town at the foot of the "
    u"mountains. The road had been long and difficult, and the horses were tired. Mr Thomas, "
    u"who had led the party since the first morning, climbed down from the cart and looked "
    u"about him with evident relief. \"We shall stay here tonight,\" he said, \"and perhaps "
    u"tomorrow as well, if the weather does not improve.\" Nobody argued with him. The inn stood "
    u"on the corner of the square, a narrow building of grey stone with a crooked chimney and "
    u"windows that glowed warmly in the dusk. Inside, a fire was burning in the great hearth, "
    u"and the landlord, a broad man with a cheerful face, hurried forward to greet them. He "
    u"asked how far they had come, and when they told him, he shook his head in astonishment. "
    u"Few people crossed the pass so late in the year; the snow often came early, and the "
    u"shepherds had already brought their flocks down into the valley. While supper was being "
    u"prepared, the children explored the old house. They found a library full of dusty books, "
    u"a clock that had stopped at a quarter past three, and a staircase that seemed to lead "
    u"nowhere at all. Their mother called them back before they could discover more. Over the "
    u"meal the conversation turned to the history of the region, which the landlord knew well. "
    u"In 1842 a great flood had swept away half the bridges, and for nearly twenty years the "
    u"town had been cut off from the world for several months of every winter. Some of the "
    u"older families still remembered those times, he said, and they spoke of them with a "
    u"strange mixture of pride and sorrow. Later, when the fire had burnt low and the others "
    u"had gone up to bed, Thomas sat alone by the window and thought about the journey that "
    u"remained. There were still three hundred miles to go, the money was running short, and "
    u"the letters he had hoped to find waiting for him had not arrived. Yet he felt, for the "
    u"first time in many weeks, a quiet confidence that everything would turn out well. ";

std::u16string MakeProse(size_t chars) {
  const std::u16string paragraph = kProse;
  std::u16string text;
  text.reserve(chars + paragraph.size());
  while (text.size() < chars) text += paragraph;
  // End at a word boundary so that both converters see the same words.
  size_t cut = text.rfind(u' ', chars);
  text.resize(cut == std::u16string::npos ? chars : cut);
  return text;
}

size_t CountWords(std::u16string_view text) {
  size_t words = 0;
  bool inWord = false;
  for (char16_t c : text) {
    bool space = c == u' ';
    if (!space && !inWord) ++words;
    inWord = !space;
  }
  return words;
}

double PeakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

int32_t EnglishMode(parlan::Parlana& control) {
  int32_t count = control.CountEngines();
  for (int32_t i = 1; i <= count; ++i)
    if (control.ModeName(static_cast<int16_t>(i)).find(u"English") != std::u16string::npos)
      return i;
  return 0;
}

void SetWordCounters(benchmark::State& state, size_t words) {
  const double total = static_cast<double>(words) * static_cast<double>(state.iterations());
  state.counters["words"] = static_cast<double>(words);
  state.counters["words_per_s"] = benchmark::Counter(total, benchmark::Counter::kIsRate);
  state.counters["ns_per_word"] =
      benchmark::Counter(total * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["peak_rss_MiB"] = PeakRssMiB();
}

void BM_NativeEnglish(benchmark::State& state) {
  const auto size = static_cast<size_t>(state.range(0));
  const bool neverDebug = state.range(1) != 0;
  parlan::ResetThreadState();
  auto factory = std::make_shared<parlan::engines::RecordingEngineFactory>();
  parlan::Parlana control(parlan::ParlanaSettings{LanguagesRoot(), factory});
  control.SetNeverDebug(neverDebug);
  int32_t mode = EnglishMode(control);
  if (mode == 0) {
    state.SkipWithError("the English language is not under languages/");
    return;
  }
  control.SetCurrentMode(mode);
  std::u16string warmUp = u"Warm up the language files.";
  control.Speak(warmUp);
  const std::u16string text = MakeProse(size);
  for (auto _ : state) {
    state.PauseTiming();
    std::u16string t = text;
    factory->ClearCalls();
    if (!neverDebug) control.Speak(warmUp);  // each Speak starts with empty debug boxes
    state.ResumeTiming();
    control.Speak(t);
    benchmark::DoNotOptimize(t);
  }
  if (factory->ParlanSapi->CallsTo(42).empty()) state.SkipWithError("no phrase reached the engine");
  SetWordCounters(state, CountWords(text));
}

bool EspeakReady() {
  static const bool ready = [] {
    if (espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT) < 0)
      return false;
    return espeak_SetVoiceByName("en") == EE_OK;
  }();
  return ready;
}

void BM_EspeakTextToPhonemes(benchmark::State& state) {
  if (!EspeakReady()) {
    state.SkipWithError("eSpeak NG could not be started");
    return;
  }
  const std::u16string text = MakeProse(static_cast<size_t>(state.range(0)));
  const std::string utf8 = parlan::ToUtf8(text);
  for (auto _ : state) {
    const void* at = utf8.c_str();
    size_t produced = 0;
    while (at != nullptr) {
      const char* phonemes = espeak_TextToPhonemes(&at, espeakCHARS_UTF8, 0);
      if (phonemes) produced += std::char_traits<char>::length(phonemes);
    }
    benchmark::DoNotOptimize(produced);
  }
  SetWordCounters(state, CountWords(text));
}

constexpr int64_t kMegabyte = 1 << 20;

BENCHMARK(BM_EspeakTextToPhonemes)->ArgName("chars")->Arg(kMegabyte)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NativeEnglish)
    ->ArgNames({"chars", "neverDebug"})
    ->ArgsProduct({{10 << 10, 100 << 10, kMegabyte, 10 * kMegabyte}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

void RegisterHuge() {
  const char* huge = std::getenv("PARLAN_BENCH_HUGE");
  if (!huge || std::string(huge) != "1") return;
  // One iteration: at this size the first takes longer than the minimum time.
  benchmark::RegisterBenchmark("BM_NativeEnglish",
                               [](benchmark::State& state) { BM_NativeEnglish(state); })
      ->ArgNames({"chars", "neverDebug"})
      ->Args({100 * kMegabyte, 1})
      ->Unit(benchmark::kMillisecond);
}

// Closes the run with the ratios of the medians: native against eSpeak NG, time per word by
// size, and debugging on against off.
void Summarise(const parlan::bench::MedianReporter& r) {
  const double espeak = r.Median("BM_EspeakTextToPhonemes/chars:1048576");
  const double native = r.Median("BM_NativeEnglish/chars:1048576/neverDebug:1");
  std::cout << "\nmedian words per second, 1 MB of English prose:\n";
  std::cout << "  eSpeak NG espeak_TextToPhonemes " << espeak << "\n";
  std::cout << "  native English (debugging off)  " << native << "\n";
  if (espeak > 0) std::cout << "  native / eSpeak NG              " << native / espeak << "\n";
  std::cout << "time per word against 10 KB, and debugging on against off:\n";
  const double small = r.Median("BM_NativeEnglish/chars:10240/neverDebug:1");
  for (const char* size : {"10240", "102400", "1048576", "10485760", "104857600"}) {
    const double off = r.Median(std::string("BM_NativeEnglish/chars:") + size + "/neverDebug:1");
    const double on = r.Median(std::string("BM_NativeEnglish/chars:") + size + "/neverDebug:0");
    if (off <= 0) continue;
    std::cout << "  " << size << " chars: time/word x" << small / off;
    if (on > 0) std::cout << ", debug on/off x" << off / on;
    std::cout << "\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RegisterHuge();
  parlan::bench::MedianReporter reporter(Summarise);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
