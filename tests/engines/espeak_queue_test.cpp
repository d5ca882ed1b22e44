// The work waiting for the eSpeak NG worker is bounded: a Speak that would queue more waits for
// the worker (and the worker for a slow output), and whatever ends the speech releases it.
#include <gtest/gtest.h>

#include "parlan/EspeakEngines.h"

#if PARLAN_HAVE_ESPEAK

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <new>
#include <thread>

#include "SpeechTestKit.h"
#include "engines/AudioSinks.h"
#include "engines/EspeakDirectSS.h"
#include "engines/EspeakService.h"
#include "engines/EspeakVoice.h"

namespace parlan::engines {
namespace {

using namespace speechtest;
using namespace std::chrono_literals;

const std::u16string kSentence = u"The quick brown fox jumps over the lazy dog.";

// Fails every write, as an output whose every allocation fails would.
class FailingSink : public AudioSink {
 public:
  void Write(const int16_t*, size_t) override { throw std::bad_alloc(); }
  void Mark(std::function<void()> reached, bool, bool) override { reached(); }
  void Fail(const std::string&) override { ++Failures; }
  std::atomic<int> Failures{0};
};

// A handler that holds the delivery thread until the test opens it, as a host that stopped
// reading would.
struct Gate {
  AudioOutput Output() {
    AudioOutput out;
    out.kind = AudioOutput::Kind::Handler;
    out.handler = [this](const int16_t*, size_t) {
      std::unique_lock lock(Mutex);
      Opened.wait(lock, [&] { return Open; });
    };
    return out;
  }
  void Release() {
    {
      std::lock_guard lock(Mutex);
      Open = true;
    }
    Opened.notify_all();
  }
  std::mutex Mutex;
  std::condition_variable Opened;
  bool Open = false;
};

// Sets a small queue limit for the test and restores the service's own afterwards.
class QueueTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!EspeakAvailable()) GTEST_SKIP() << "eSpeak NG could not be started on this machine";
    service = EspeakService::Get();
    saved = service->QueueLimit();
    service->SetQueueLimit(kLimit);
  }
  void TearDown() override {
    if (service) service->SetQueueLimit(saved);
  }
  static constexpr size_t kLimit = 4096;  // a few sentences
  EspeakService* service = nullptr;
  size_t saved = 0;
};

struct BoundCase {
  const char* Label;
  bool Failing;  // every utterance fails in the worker
};

[[maybe_unused]] void PrintTo(const BoundCase& c, std::ostream* os) {
  *os << c.Label;
}

class BoundedQueue : public QueueTest, public testing::WithParamInterface<BoundCase> {};

TEST_P(BoundedQueue, HoldsNoMoreThanItsLimitAndLosesNothing) {
  auto failing = std::make_shared<FailingSink>();
  std::shared_ptr<AudioSink> sink = GetParam().Failing ? failing : MakeNullSink();
  EspeakVoice voice(*service, sink);
  VoiceRecorder recorder;
  voice.SetEvents(&recorder);
  constexpr int kSpoken = 40;
  size_t most = 0;
  int32_t stream = 0;
  for (int i = 0; i < kSpoken; ++i) {
    ASSERT_TRUE(voice.Speak(&kSentence, voiceflags::kAsync, stream));
    most = std::max(most, service->QueuedCost());
  }
  EXPECT_LE(most, kLimit);
  ASSERT_TRUE(WaitIdle(voice, 60s));
  const std::string kinds = recorder.Kinds();
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 'S'), kSpoken);
  if (GetParam().Failing) {
    EXPECT_EQ(failing->Failures.load(), kSpoken);
  } else {
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 'E'), kSpoken);
    EXPECT_EQ(recorder.Events.back().Stream, kSpoken);
  }
}

INSTANTIATE_TEST_SUITE_P(Outputs, BoundedQueue,
                         testing::Values(BoundCase{"Spoken", false},
                                         BoundCase{"FailingInTheWorker", true}),
                         [](const auto& info) { return std::string(info.param.Label); });

// ----- Releasing a Speak that waits for room -----

enum class Release { StopRequest, Stop };

[[maybe_unused]] void PrintTo(Release r, std::ostream* os) {
  *os << (r == Release::Stop ? "Stop" : "StopRequest");
}

class WaitingSpeak : public QueueTest, public testing::WithParamInterface<Release> {};

TEST_P(WaitingSpeak, ReturnsOnceTheSpeechIsStopped) {
  Gate gate;
  auto stop = std::make_shared<std::atomic<bool>>(false);
  auto direct = EspeakEngineFactory(gate.Output())->CreateDirectSS(DirectSSRole::ParlanSapi);
  direct->WatchStop(stop);
  Variant result;
  auto speak = [&] {
    return direct->Invoke(ss::kSpeak, CallKind::Method,
                          {Variant(ss::kSpeakText), Variant(1), Variant(kSentence)}, result);
  };
  // The output holds the worker once two seconds of audio wait for it; the queue fills behind.
  while (service->QueuedCost() + 1024 < kLimit) ASSERT_TRUE(speak());
  std::atomic<bool> returned{false};
  auto waiting = std::async(std::launch::async, [&] {
    for (int i = 0; i < 8; ++i) speak();
    returned = true;
  });
  std::this_thread::sleep_for(300ms);
  EXPECT_FALSE(returned.load()) << "the queue took more than its limit";
  if (GetParam() == Release::StopRequest) {
    stop->store(true);
  } else {
    ASSERT_TRUE(direct->Invoke(ss::kStop, CallKind::Method, {}, result));
  }
  EXPECT_EQ(waiting.wait_for(10s), std::future_status::ready) << "the waiting Speak hangs";
  gate.Release();
  waiting.wait();
  EXPECT_TRUE(WaitIdle(*direct, 60s));
}

INSTANTIATE_TEST_SUITE_P(Releases, WaitingSpeak,
                         testing::Values(Release::StopRequest, Release::Stop),
                         [](const auto& info) {
                           return std::string(info.param == Release::Stop ? "Stop" : "StopRequest");
                         });

// ----- The output's own queue -----

// Hands each piece over slowly, counting the samples.
struct SlowReceiver {
  AudioOutput Output() {
    AudioOutput out;
    out.kind = AudioOutput::Kind::Handler;
    out.handler = [this](const int16_t*, size_t n) {
      std::this_thread::sleep_for(4ms);
      Samples += n;
    };
    return out;
  }
  std::atomic<size_t> Samples{0};
};

TEST_F(QueueTest, TheWorkerStaysOnlyAFewSecondsAheadOfASlowOutput) {
  service->SetQueueLimit(saved);
  SlowReceiver receiver;
  auto slow = EspeakEngineFactory(receiver.Output())->CreateVoice();
  auto other = EspeakEngineFactory({AudioOutput::Kind::None, {}})->CreateVoice();
  std::u16string text;
  for (int i = 0; i < 6; ++i) text += kSentence + u" ";
  int32_t stream = 0;
  ASSERT_TRUE(slow->Speak(&text, voiceflags::kAsync, stream));
  ASSERT_TRUE(other->Speak(&kSentence, voiceflags::kAsync, stream));
  // The other voice's utterance is synthesised once the slow one's has been; by then the
  // output may hold only what it keeps ahead.
  ASSERT_TRUE(WaitIdle(*other, 60s));
  const size_t handedWhenSynthesised = receiver.Samples.load();
  ASSERT_TRUE(WaitIdle(*slow, 60s));
  const size_t total = receiver.Samples.load();
  ASSERT_GT(total, size_t{10 * kRate});
  EXPECT_GE(handedWhenSynthesised + size_t(2.5 * kRate), total);
}

}  // namespace
}  // namespace parlan::engines

#endif
