// The notifications an engine object keeps for its host until the host takes them.
#include <gtest/gtest.h>

#include <vector>

#include "engines/AudioSinks.h"
#include "engines/SpeechChannel.h"

namespace parlan::engines {
namespace {

SpeechEvent Event(SpeechEvent::Kind what, uint64_t utterance, int32_t start = 0) {
  SpeechEvent e;
  e.What = what;
  e.Utterance = utterance;
  e.Start = start;
  return e;
}

std::vector<SpeechEvent> TakeAll(SpeechChannel& channel) {
  std::vector<SpeechEvent> out;
  SpeechEvent e;
  while (channel.TakeEvent(e)) out.push_back(e);
  return out;
}

struct Flood {
  int words;  // posted in one utterance while the host takes nothing
  int kept;   // word notifications the host finds
};

class WaitingWords : public ::testing::TestWithParam<Flood> {};

// A host that never asks keeps the start, the end and the latest words, in order.
TEST_P(WaitingWords, AreBoundedAndTheLatestKept) {
  const Flood flood = GetParam();
  SpeechChannel channel(MakeNullSink());
  const uint64_t number = channel.NextUtterance();
  channel.Post(Event(SpeechEvent::Kind::Start, number), true);
  for (int w = 0; w < flood.words; ++w)
    channel.Post(Event(SpeechEvent::Kind::Word, number, w), false);
  channel.Finish(number, Event(SpeechEvent::Kind::End, number));
  const std::vector<SpeechEvent> got = TakeAll(channel);
  ASSERT_EQ(got.size(), static_cast<size_t>(flood.kept) + 2);
  EXPECT_EQ(got.front().What, SpeechEvent::Kind::Start);
  EXPECT_EQ(got.back().What, SpeechEvent::Kind::End);
  for (int k = 0; k < flood.kept; ++k) {
    ASSERT_EQ(got[k + 1].What, SpeechEvent::Kind::Word);
    EXPECT_EQ(got[k + 1].Start, flood.words - flood.kept + k) << "word " << k;
  }
  EXPECT_FALSE(channel.Busy());
}

constexpr int kMax = static_cast<int>(SpeechChannel::kMaxWaitingWords);

INSTANTIATE_TEST_SUITE_P(Counts, WaitingWords,
                         ::testing::Values(Flood{10, 10}, Flood{kMax, kMax}, Flood{kMax + 1, kMax},
                                           Flood{3 * kMax, kMax}));

// Words the host takes in time do not count against the bound.
TEST(WaitingWordsTaken, DoNotCountAgainstTheBound) {
  SpeechChannel channel(MakeNullSink());
  const uint64_t number = channel.NextUtterance();
  size_t words = 0;
  for (int round = 0; round < 4; ++round) {
    for (int w = 0; w < kMax; ++w) channel.Post(Event(SpeechEvent::Kind::Word, number, w), false);
    words += TakeAll(channel).size();
  }
  EXPECT_EQ(words, 4 * SpeechChannel::kMaxWaitingWords);
}

}  // namespace
}  // namespace parlan::engines
