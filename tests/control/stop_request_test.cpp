// A host's stop request, made from another thread as a signal handler would, ends a native Speak
// that waits for room in the engine's queue; AudioReset then lets speech go on.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "parlan/EspeakEngines.h"
#include "parlan/Parlana.h"

namespace parlan {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Holds the audio's delivery thread until opened, as a host that stopped reading would.
struct Gate {
  engines::AudioOutput Output() {
    engines::AudioOutput out;
    out.kind = engines::AudioOutput::Kind::Handler;
    out.handler = [this](const int16_t*, size_t) {
      std::unique_lock lock(mutex);
      opened.wait(lock, [&] { return open; });
    };
    return out;
  }
  void Open() {
    {
      std::lock_guard lock(mutex);
      open = true;
    }
    opened.notify_all();
  }
  std::mutex mutex;
  std::condition_variable opened;
  bool open = false;
};

class CountingSink : public ParlanaEvents {
 public:
  void AudioStart(int32_t&, int32_t&) override {}
  void AudioStop(int32_t&, int32_t&) override { ++stops; }
  void WordPosition(int32_t&, int32_t&, int32_t&, int32_t, Variant, int32_t, int32_t) override {}
  int stops = 0;
};

TEST(StopRequest, EndsANativeSpeakWaitingForTheEngineAndAudioResetSpeaksAgain) {
  if (!engines::EspeakAvailable()) GTEST_SKIP() << "eSpeak NG is not available";
  const auto languages =
      std::filesystem::path(PARLAN_TEST_DATA).parent_path().parent_path() / "languages";
  Gate gate;
  Parlana control(ParlanaSettings{languages, engines::EspeakEngineFactory(gate.Output())});
  auto sink = std::make_shared<CountingSink>();
  control.AddEventSink(sink);
  control.SetCurrentMode(1);
  ASSERT_NE(control.ModeName(1).find(u"(Parlan)"), std::u16string::npos);
  control.SetNeverDebug(true);
  // Far more phrases than the queue takes while the output holds the worker.
  std::u16string text;
  for (int i = 0; i < 6000; ++i) text += u"The travellers reached the little town today. ";
  std::thread stopper([&] {
    std::this_thread::sleep_for(500ms);
    control.RequestStop();
  });
  // Should the stop not release the Speak, the opened output would, much later.
  std::thread safety([&] {
    {
      std::unique_lock lock(gate.mutex);
      gate.opened.wait_for(lock, 20s, [&] { return gate.open; });
    }
    gate.Open();
  });
  const auto start = Clock::now();
  control.Speak(text);
  const auto took = Clock::now() - start;
  stopper.join();
  EXPECT_GE(took, 400ms) << "the Speak did not wait for the engine";
  EXPECT_LT(took, 10s) << "the Speak waited on after the stop request";
  EXPECT_TRUE(text.empty());
  gate.Open();
  safety.join();
  control.AudioReset();
  ASSERT_TRUE(control.WaitUntilDone(30s));
  const int stopsBefore = sink->stops;
  std::u16string again = u"Hello again, travellers.";
  control.Speak(again);
  ASSERT_TRUE(control.WaitUntilDone(30s));
  EXPECT_GT(sink->stops, stopsBefore) << "speech after AudioReset was dropped";
}

}  // namespace
}  // namespace parlan
