// How soon speech starts when text comes down a pipe, as with `cat book.txt | parlan speak`:
// from the moment a line is written to the pipe to the first audio sample handed to the output,
// through the tool's reader, the control and the eSpeak NG engines. Measured for the native
// English mode and for the eSpeak NG voice of the same language in a mode of its own, and, as
// the peer, eSpeak NG's engine alone given the same sentence directly; the closing lines print
// the medians side by side.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <ext/stdio_filebuf.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <istream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "TextInput.h"
#include "parlan/EspeakEngines.h"
#include "parlan/Parlana.h"

namespace {

using namespace parlan;
using Clock = std::chrono::steady_clock;

constexpr char kLine[] = "The quick brown fox jumps over the lazy dog again.\n";

// Notes when the first sample of a run of speech reached the output.
struct FirstSample {
  engines::AudioOutput Output() {
    engines::AudioOutput out;
    out.kind = engines::AudioOutput::Kind::Handler;
    out.handler = [this](const int16_t*, size_t) {
      if (got.load(std::memory_order_relaxed)) return;
      at = Clock::now();
      got.store(true, std::memory_order_release);
    };
    return out;
  }
  Clock::time_point Wait() const {
    while (!got.load(std::memory_order_acquire)) std::this_thread::yield();
    return at;
  }
  std::atomic<bool> got{false};
  Clock::time_point at;
};

// The mode whose display name holds `part`; 0 when there is none.
int32_t ModeWith(Parlana& control, std::u16string_view part) {
  for (int32_t i = 1; i <= control.CountEngines(); ++i)
    if (control.ModeName(static_cast<int16_t>(i)).find(part) != std::u16string::npos) return i;
  return 0;
}

// A pipe read through an input stream, as the tool reads its standard input.
struct Pipe {
  struct Ends {
    Ends() {
      int e[2];
      if (::pipe(e) == 0) {
        Read = e[0];
        Write = e[1];
      }
    }
    int Read = -1;
    int Write = -1;
  };
  ~Pipe() {
    if (ends.Write >= 0) ::close(ends.Write);
  }
  Ends ends;
  __gnu_cxx::stdio_filebuf<char> buffer{ends.Read, std::ios::in};
  std::istream in{&buffer};
};

// Argument: 1 for the native English mode, 0 for eSpeak NG's American English voice.
void BM_PipeLineToFirstSample(benchmark::State& state) {
  if (!engines::EspeakAvailable()) {
    state.SkipWithError("eSpeak NG could not be started");
    return;
  }
  FirstSample first;
  Parlana control(ParlanaSettings{std::filesystem::path(PARLAN_SOURCE_DIR) / "languages",
                                  engines::EspeakEngineFactory(first.Output())});
  const int32_t mode = state.range(0) ? ModeWith(control, u"English Male (Parlan)")
                                      : ModeWith(control, u"English (America)  (SAPI 4)");
  if (mode == 0) {
    state.SkipWithError("the mode is missing");
    return;
  }
  control.SetCurrentMode(mode);
  control.SetNeverDebug(true);  // as the tool's speak sets it
  std::u16string warmUp = u"Warm up.";
  control.Speak(warmUp);
  control.WaitUntilDone(std::chrono::seconds(10));
  Pipe pipe;
  cli::TextReader reader({}, pipe.in);
  for (auto _ : state) {
    first.got = false;
    const auto written = Clock::now();
    if (::write(pipe.ends.Write, kLine, sizeof kLine - 1) < 0) break;
    std::u16string piece;
    if (!reader.Next(piece)) break;
    control.Speak(piece);
    state.SetIterationTime(std::chrono::duration<double>(first.Wait() - written).count());
    control.WaitUntilDone(std::chrono::seconds(10));
  }
}
BENCHMARK(BM_PipeLineToFirstSample)
    ->ArgName("native")
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The peer: eSpeak NG's engine given the sentence directly, without pipe, reader or control.
void BM_EngineSpeakToFirstSample(benchmark::State& state) {
  FirstSample first;
  auto engine =
      engines::EspeakEngineFactory(first.Output())->CreateDirectSS(engines::DirectSSRole::Sapi4);
  const std::vector<Variant> args = {Variant(engines::ss::kSpeakText), Variant(1),
                                     Variant(u"The quick brown fox jumps over the lazy dog again.")};
  Variant result;
  for (auto _ : state) {
    first.got = false;
    const auto start = Clock::now();
    if (!engine->Invoke(engines::ss::kSpeak, engines::CallKind::Method, args, result)) {
      state.SkipWithError("eSpeak NG could not be started");
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(first.Wait() - start).count());
    while (engine->Busy()) {
      engine->PumpEvents();
      std::this_thread::yield();
    }
  }
}
BENCHMARK(BM_EngineSpeakToFirstSample)->UseManualTime()->Unit(benchmark::kMillisecond);

// Prints the medians (over repetitions when asked for) side by side.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (!run.error_occurred && run.run_type == Run::RT_Iteration)
        times_[run.run_name.str()].push_back(run.GetAdjustedRealTime());
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double native = Median("BM_PipeLineToFirstSample/native:1/manual_time");
    const double espeak = Median("BM_PipeLineToFirstSample/native:0/manual_time");
    const double peer = Median("BM_EngineSpeakToFirstSample/manual_time");
    std::cout << "\nmedian ms from a line on the pipe to the first sample: native English "
              << native << ", eSpeak NG mode " << espeak << "; the engine alone " << peer << "\n";
    if (peer > 0)
      std::cout << "  native / engine alone x" << native / peer
                << ", eSpeak NG mode / engine alone x" << espeak / peer << "\n";
  }

 private:
  double Median(const std::string& name) {
    auto it = times_.find(name);
    if (it == times_.end() || it->second.empty()) return 0;
    std::vector<double> v = it->second;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
  }
  std::map<std::string, std::vector<double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
