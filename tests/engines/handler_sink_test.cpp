// The host's audio handler sink: its delivery thread outlives failures of the marks it runs.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "engines/AudioSinks.h"

namespace parlan::engines {
namespace {

TEST(HandlerSinkTest, FailingMarkLeavesLaterAudioAndMarksDelivered) {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<int16_t> heard;
  bool laterMarkRan = false;
  auto sink = MakeHandlerSink([&](const int16_t* samples, size_t count) {
    std::lock_guard lock(mutex);
    heard.insert(heard.end(), samples, samples + count);
    changed.notify_all();
  });
  const int16_t before[] = {1, 2, 3};
  const int16_t after[] = {4, 5};
  sink->Write(before, 3);
  sink->Mark([] { throw std::runtime_error("no room for the event"); }, true, false);
  sink->Write(after, 2);
  sink->Mark(
      [&] {
        std::lock_guard lock(mutex);
        laterMarkRan = true;
        changed.notify_all();
      },
      true, false);
  std::unique_lock lock(mutex);
  ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(10), [&] { return laterMarkRan; }));
  EXPECT_EQ(heard, (std::vector<int16_t>{1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace parlan::engines
