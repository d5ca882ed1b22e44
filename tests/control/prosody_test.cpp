// Pitch, speed and volume for the three kinds of target and for no mode.
#include <gtest/gtest.h>

#include "control/ParlanaImpl.h"
#include "testkit/ControlFixture.h"

namespace parlan {
namespace {

using engines::CallKind;
using engines::DirectSSCall;
using testkit::ControlTest;

constexpr int32_t kDemoMale = 1, kSam = 3, kAlice = 5;

TEST(ScaleVolume, ElevenLevelsOverTheSixteenBitRange) {
  const int32_t expected[] = {0,     6554,  13107, 19660, 26214, 32768,
                              39321, 45874, 52428, 58982, 65535};
  for (int32_t level = 0; level <= 10; ++level)
    EXPECT_EQ(ScaleVolume(level, 0, 65535), expected[level]) << "level " << level;
}

TEST(ScaleVolume, RangesOverflowingThirtyTwoBitsStayInsideTheRange) {
  struct Case {
    int32_t level, lo, hi, expected;
  };
  const Case cases[] = {
      {10, INT32_MIN, INT32_MAX, INT32_MAX},
      {0, INT32_MIN, INT32_MAX, INT32_MIN},
      {5, INT32_MIN, INT32_MAX, 0},  // -0.5 rounds to the even neighbour 0
      {25, 0, 100, 250},             // a restored level beyond 10 scales like any other
      {-3, 0, 100, -30},
      {10, -2000000000, 2000000000, 2000000000},  // width overflows: clamped into the range
      {7, 100, 0, 30},                            // a reversed range still maps level 0 onto lo
  };
  for (const auto& c : cases)
    EXPECT_EQ(ScaleVolume(c.level, c.lo, c.hi), c.expected)
        << c.level << " on " << c.lo << ".." << c.hi;
}

TEST(PitchMarkup, NumberHasALeadingBlankUnlessNegative) {
  EXPECT_EQ(PitchMarkup(4), u"<pitch absmiddle = \" 4\"/>");
  EXPECT_EQ(PitchMarkup(-3), u"<pitch absmiddle = \"-3\"/>");
  EXPECT_EQ(PitchMarkup(0), u"<pitch absmiddle = \" 0\"/>");
}

class Prosody : public ControlTest {
 protected:
  Parlana& Select(int32_t mode) {
    AddDemo();
    Parlana& c = Create();
    c.SetPropertyChangedCallback([this](const std::u16string& n) { notices.push_back(n); });
    c.SetCurrentMode(mode);
    engines->ClearCalls();
    notices.clear();
    return c;
  }
  std::vector<std::u16string> notices;
};

TEST_F(Prosody, DirectTargetsReadAndWriteByIdentifier) {
  for (int32_t mode : {kDemoMale, kSam}) {
    ResetThreadState();
    controls.clear();
    engines->ClearCalls();
    Parlana& c = Select(mode);
    auto& record = mode == kSam ? *engines->Sapi4 : *engines->ParlanSapi;
    record.Values = {{7, Variant(55)},   {8, Variant(100)},  {9, Variant(10)},
                     {10, Variant(180)}, {11, Variant(400)}, {12, Variant(60)}};
    EXPECT_EQ(c.Pitch(), 55);
    EXPECT_EQ(c.MaxPitch(), 100);
    EXPECT_EQ(c.MinPitch(), 10);
    EXPECT_EQ(c.Speed(), 180);
    EXPECT_EQ(c.MaxSpeed(), 400);
    EXPECT_EQ(c.MinSpeed(), 60);
    c.SetPitch(70);
    c.SetSpeed(200);
    EXPECT_EQ(record.Values[7], Variant(70));
    EXPECT_EQ(record.Values[10], Variant(200));
    EXPECT_EQ(notices, std::vector<std::u16string>{u"Pitch"});
    EXPECT_TRUE(engines->Sapi5->Calls.empty()) << "mode " << mode;
  }
}

TEST_F(Prosody, VoicePitchIsKeptAndSentAsMarkup) {
  Parlana& c = Select(kAlice);
  c.SetPitch(4);
  EXPECT_EQ(c.Pitch(), 4);
  c.SetPitch(-3);
  EXPECT_EQ(c.Pitch(), -3);
  EXPECT_EQ(engines->Sapi5->Spoken(),
            (std::vector<std::pair<std::u16string, int32_t>>{
                {u"<pitch absmiddle = \" 4\"/>", 32}, {u"<pitch absmiddle = \"-3\"/>", 32}}));
  EXPECT_EQ(notices, (std::vector<std::u16string>{u"Pitch", u"Pitch"}));
  // Beyond 16 bits the markup is still sent but the value is not stored.
  c.SetPitch(70000);
  EXPECT_EQ(c.Pitch(), -3);
  EXPECT_EQ(engines->Sapi5->Spoken().back().first, u"<pitch absmiddle = \" 70000\"/>");
}

TEST_F(Prosody, VoiceRangesAreFixedWhateverTheVoice) {
  Parlana& c = Select(kAlice);
  engines->Sapi5->FailAll = true;
  EXPECT_EQ(c.MaxPitch(), 10);
  EXPECT_EQ(c.MinPitch(), -10);
  EXPECT_EQ(c.MaxSpeed(), 10);
  EXPECT_EQ(c.MinSpeed(), -10);
  EXPECT_EQ(c.MaxVolume(), 10);
  EXPECT_EQ(c.MinVolume(), 0);
}

TEST_F(Prosody, VoiceSpeedIsTheRate) {
  Parlana& c = Select(kAlice);
  c.SetSpeed(-4);
  EXPECT_EQ(c.Speed(), -4);
  EXPECT_EQ(engines->Sapi5->Calls[0], (engines::VoiceCall{"Rate.put", {Variant(-4)}}));
  EXPECT_TRUE(notices.empty());
}

TEST_F(Prosody, WithoutAModePitchOnlyNotifies) {
  AddDemo();
  Parlana& c = Create();
  c.SetPropertyChangedCallback([this](const std::u16string& n) { notices.push_back(n); });
  engines->ClearCalls();
  c.SetPitch(5);
  c.SetSpeed(5);
  EXPECT_TRUE(engines->Journal->empty());
  EXPECT_EQ(notices, std::vector<std::u16string>{u"Pitch"});
  EXPECT_EQ(c.Pitch(), 0);
  EXPECT_EQ(c.MaxPitch(), 0);
  EXPECT_EQ(c.MinSpeed(), 0);
  EXPECT_EQ(c.Speed(), 0);
}

TEST_F(Prosody, VolumeOnTheVoiceIsTenTimesTheLevel) {
  Parlana& c = Select(kAlice);
  c.SetVolume(7);
  EXPECT_EQ(engines->Sapi5->Calls.back(), (engines::VoiceCall{"Volume.put", {Variant(70)}}));
  EXPECT_EQ(c.Volume(), 7);
}

TEST_F(Prosody, OutOfRangeVolumeKeepsTheLevelAndStillAppliesIt) {
  Parlana& c = Select(kAlice);
  c.SetVolume(3);
  for (int32_t bad : {11, -1}) {
    engines->ClearCalls();
    c.SetVolume(bad);
    EXPECT_EQ(engines->Sapi5->Calls,
              (std::vector<engines::VoiceCall>{{"Volume.put", {Variant(30)}}}));
  }
  EXPECT_EQ(c.Volume(), 3);
}

TEST_F(Prosody, DirectVolumeReadsBothRangesAndSetsBothValues) {
  Parlana& c = Select(kSam);
  engines->Sapi4->Values = {
      {73, Variant(0)}, {74, Variant(65535)}, {14, Variant(100)}, {15, Variant(200)}};
  c.SetVolume(5);
  std::vector<DirectSSCall> expected = {
      {73, CallKind::Get, {}}, {74, CallKind::Get, {}}, {72, CallKind::Put, {Variant(32768)}},
      {14, CallKind::Get, {}}, {15, CallKind::Get, {}}, {13, CallKind::Put, {Variant(150)}}};
  EXPECT_EQ(engines->Sapi4->Calls, expected);
  // Reading the volume applies it again.
  engines->ClearCalls();
  EXPECT_EQ(c.Volume(), 5);
  EXPECT_EQ(engines->Sapi4->Calls, expected);
}

TEST_F(Prosody, AFailedRangeReadCountsAsZero) {
  Parlana& c = Select(kSam);
  engines->Sapi4->Values = {{74, Variant(1000)}, {15, Variant(50)}};
  engines->Sapi4->Failing = {73, 14};
  c.SetVolume(4);
  EXPECT_EQ(engines->Sapi4->Values[72], Variant(400));
  EXPECT_EQ(engines->Sapi4->Values[13], Variant(20));
}

TEST_F(Prosody, VolumeWithoutAModeIsOnlyStored) {
  AddDemo();
  Parlana& c = Create();
  engines->ClearCalls();
  c.SetVolume(8);
  EXPECT_EQ(c.Volume(), 8);
  EXPECT_TRUE(engines->Journal->empty());
}

TEST_F(Prosody, EveryModeChangeResetsTheVoiceRateAndPitchButNotTheStoredPitch) {
  Parlana& c = Select(kAlice);
  c.SetPitch(6);
  engines->ClearCalls();
  c.SetCurrentMode(kSam);
  EXPECT_EQ(*engines->Journal,
            (std::vector<std::string>{"Sapi4Obj put 69 (1)", "Sapi5Obj Rate.put (0)",
                                      "Sapi5Obj Speak (\"<pitch absmiddle = \" 0\"/>\", 32)"}));
  c.SetCurrentMode(kAlice);
  EXPECT_EQ(c.Pitch(), 6);
}

}  // namespace
}  // namespace parlan
