// An exception on one of the engines' own threads (an allocation that fails while audio is
// handed on) fails the utterance and is recorded; it must not end the process, hang the engine
// or stop the speech queued after it.
#include <gtest/gtest.h>

#include "parlan/EspeakEngines.h"

#if PARLAN_HAVE_ESPEAK

#include <atomic>
#include <mutex>
#include <new>

#include "SpeechTestKit.h"
#include "engines/AudioSinks.h"
#include "engines/EspeakService.h"
#include "engines/EspeakVoice.h"

namespace parlan::engines {
namespace {

using namespace speechtest;
using namespace std::chrono_literals;

// Throws std::bad_alloc at chosen writes; records the writes and the failures reported to it.
class FaultySink : public AudioSink {
 public:
  explicit FaultySink(std::vector<int> failingWrites) : failing_(std::move(failingWrites)) {}

  void Write(const int16_t*, size_t count) override {
    std::lock_guard lock(mutex_);
    const int number = ++writes_;
    if (std::find(failing_.begin(), failing_.end(), number) != failing_.end())
      throw std::bad_alloc();
    samples_ += count;
  }
  void Mark(std::function<void()> reached, bool, bool) override { reached(); }
  void Fail(const std::string& reason) override {
    std::lock_guard lock(mutex_);
    failures_.push_back(reason);
  }

  std::vector<std::string> Failures() {
    std::lock_guard lock(mutex_);
    return failures_;
  }
  size_t Samples() {
    std::lock_guard lock(mutex_);
    return samples_;
  }

 private:
  std::mutex mutex_;
  std::vector<int> failing_;
  int writes_ = 0;
  size_t samples_ = 0;
  std::vector<std::string> failures_;
};

struct FaultCase {
  const char* Label;
  std::vector<int> FailingWrites;
  size_t Failures;  // utterances failed of the two spoken
};

[[maybe_unused]] void PrintTo(const FaultCase& c, std::ostream* os) {
  *os << c.Label;
}

class WorkerFault : public testing::TestWithParam<FaultCase> {
 protected:
  void SetUp() override {
    if (!EspeakAvailable()) GTEST_SKIP() << "eSpeak NG could not be started on this machine";
  }
};

TEST_P(WorkerFault, FailsTheUtteranceAndTheNextOneIsSpoken) {
  auto sink = std::make_shared<FaultySink>(GetParam().FailingWrites);
  EspeakVoice voice(*EspeakService::Get(), sink);
  const std::u16string first = u"The quick brown fox jumps over the lazy dog.";
  const std::u16string second = u"Then it ran away.";
  int32_t stream = 0;
  ASSERT_TRUE(voice.Speak(&first, 1, stream));
  ASSERT_TRUE(voice.Speak(&second, 1, stream));
  ASSERT_TRUE(WaitIdle(voice)) << "the engine hung after the fault";
  const auto failures = sink->Failures();
  ASSERT_EQ(failures.size(), GetParam().Failures);
  for (const std::string& f : failures) EXPECT_EQ(f, "the speech engine failed: std::bad_alloc");
  const size_t before = sink->Samples();
  ASSERT_TRUE(voice.Speak(&second, 1, stream));
  ASSERT_TRUE(WaitIdle(voice));
  EXPECT_GT(sink->Samples(), before) << "the worker no longer speaks";
}

INSTANTIATE_TEST_SUITE_P(Faults, WorkerFault,
                         testing::Values(FaultCase{"FirstWrite", {1}, 1},
                                         FaultCase{"ThirdWrite", {3}, 1},
                                         FaultCase{"BothUtterances", {1, 2}, 2}),
                         [](const auto& info) { return std::string(info.param.Label); });

// The playback thread runs the marks of the audio it plays; one that throws is recorded and the
// marks after it still run, so that no host waits for ever for its end notification.
TEST(SoundServerThreadFault, IsRecordedAndTheNextMarksStillRun) {
  auto failure = std::make_shared<OutputFailure>();
  auto sink = MakeSoundServerSink("parlan fault test", failure);
  std::atomic<int> reached{0};
  sink->Mark([] { throw std::bad_alloc(); }, true, false);
  sink->Mark([&] { ++reached; }, true, false);
  sink->Mark([&] { ++reached; }, true, false);
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (reached < 2 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(2ms);
  EXPECT_EQ(reached, 2);
  EXPECT_EQ(failure->Reason(), "the sound server's playback failed: std::bad_alloc");
}

}  // namespace
}  // namespace parlan::engines

#endif
