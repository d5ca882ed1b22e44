// The wake-up a host's event loop sleeps on: the engines call it from their threads when
// events wait for DoEvents, and stop calling it once it is detached.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "parlan/EspeakEngines.h"
#include "parlan/Parlana.h"

namespace parlan {
namespace {

class CountingSink : public ParlanaEvents {
 public:
  void AudioStart(int32_t&, int32_t&) override { ++starts; }
  void AudioStop(int32_t&, int32_t&) override { ++stops; }
  void WordPosition(int32_t&, int32_t&, int32_t&, int32_t, Variant, int32_t, int32_t) override {}
  int starts = 0;
  int stops = 0;
};

struct Wakeups {
  std::mutex mutex;
  std::condition_variable woken;
  int count = 0;
  std::thread::id from;
  void Wake() {
    {
      std::lock_guard lock(mutex);
      ++count;
      from = std::this_thread::get_id();
    }
    woken.notify_all();
  }
  bool WaitFor(int atLeast) {
    std::unique_lock lock(mutex);
    return woken.wait_for(lock, std::chrono::seconds(20), [&] { return count >= atLeast; });
  }
};

TEST(EventsWaiting, EnginesWakeTheHostAndStopOnceDetached) {
  if (!engines::EspeakAvailable()) GTEST_SKIP() << "eSpeak NG is not available";
  std::thread([] {
    engines::AudioOutput none;
    none.kind = engines::AudioOutput::Kind::None;
    Parlana control(ParlanaSettings{{}, engines::EspeakEngineFactory(none)});
    auto sink = std::make_shared<CountingSink>();
    control.AddEventSink(sink);
    Wakeups wakeups;
    control.SetEventsWaiting([&] { wakeups.Wake(); });
    control.SetCurrentMode(1);
    std::u16string text = u"Hello there.";
    control.Speak(text);
    ASSERT_TRUE(wakeups.WaitFor(1));
    EXPECT_NE(wakeups.from, std::this_thread::get_id());
    // Woken, the host finds the events waiting.
    ASSERT_TRUE(control.WaitUntilDone(std::chrono::seconds(20)));
    EXPECT_GE(sink->starts, 1);
    EXPECT_EQ(sink->stops, sink->starts);

    control.SetEventsWaiting({});
    const int before = wakeups.count;
    text = u"Hello again.";
    control.Speak(text);
    ASSERT_TRUE(control.WaitUntilDone(std::chrono::seconds(20)));
    EXPECT_EQ(wakeups.count, before);
    EXPECT_GE(sink->stops, 2);
  }).join();
}

}  // namespace
}  // namespace parlan
