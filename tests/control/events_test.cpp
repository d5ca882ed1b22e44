// The engines' notifications as the control's AudioStart, AudioStop and WordPosition.
#include <gtest/gtest.h>

#include "testkit/ControlFixture.h"

namespace parlan {
namespace {

using testkit::ControlTest;
using testkit::EventLog;
using Lines = std::vector<std::string>;

class ThrowingSink : public ParlanaEvents {
 public:
  void AudioStart(int32_t&, int32_t&) override { throw std::runtime_error("host fault"); }
  void AudioStop(int32_t&, int32_t&) override { throw 42; }
  void WordPosition(int32_t&, int32_t&, int32_t&, int32_t, Variant, int32_t, int32_t) override {
    throw std::runtime_error("host fault");
  }
};

TEST_F(ControlTest, AVoiceUtteranceIsRelayedWithFreshZeros) {
  AddDemo();
  Create();
  auto& voice = *engines->Sapi5;
  voice.RaiseStartStream(7, Variant(int32_t{123}));
  voice.RaiseWord(7, Variant(3.5), 1, 5);
  voice.RaiseWord(7, Variant(int32_t{9}), 7, 5);
  voice.RaiseEndStream(7, Variant(int32_t{456}));
  EXPECT_EQ(events->Lines, (Lines{"AudioStart(0, 0)", "WordPosition(0, 0, 0, 7, 3.500000, 1, 5)",
                                  "WordPosition(0, 0, 0, 7, 9, 7, 5)", "AudioStop(0, 0)"}));
}

TEST_F(ControlTest, DirectNotificationsPassTheirValuesOn) {
  AddDemo();
  Create();
  engines->Sapi4->RaiseAudioStart(3, 4);
  engines->Sapi4->RaiseWordPosition(1, 2, 17);
  engines->Sapi4->RaiseAudioStop(5, 6);
  EXPECT_EQ(events->Lines,
            (Lines{"AudioStart(3, 4)", "WordPosition(1, 2, 17, 0, 0%, 0, 0)", "AudioStop(5, 6)"}));
}

TEST_F(ControlTest, PhonemeEngineWordsAreRaisedOnlyForANativeModeSpokenThroughIt) {
  AddDemo();
  AddLanguage("Voiced", {"GENDER=Male", "SAPINO=5", "MALE=Bob"});
  Parlana& c = Create();
  // Folder order is the file system's: find the voiced language's mode by name.
  int32_t voiced = 0, demo = 0;
  for (int16_t i = 1; i <= c.CountEngines(); ++i) {
    if (c.ModeName(i) == u"Voiced Male (Parlan)") voiced = i;
    if (c.ModeName(i) == u"Demo Male (Parlan)") demo = i;
  }
  ASSERT_NE(voiced, 0);
  c.SetCurrentMode(voiced);
  events->Lines.clear();
  engines->ParlanSapi->RaiseAudioStart(1, 1);
  engines->ParlanSapi->RaiseWordPosition(1, 1, 1);
  engines->ParlanSapi->RaiseAudioStop(1, 1);
  EXPECT_EQ(events->Lines, (Lines{"AudioStart(1, 1)", "AudioStop(1, 1)"}));

  c.SetCurrentMode(demo);
  events->Lines.clear();
  engines->ParlanSapi->RaiseWordPosition(1, 1, 1);
  EXPECT_EQ(events->Lines, (Lines{"WordPosition(1, 1, 1, 0, 0%, 0, 0)"}));
}

TEST_F(ControlTest, ThePitchMarkupOfAModeChangeRaisesStartAndStop) {
  AddDemo();
  Parlana& c = Create();
  engines->Sapi5->RaiseOnSpeak = true;
  c.SetCurrentMode(3);  // a direct mode: the voice is reset all the same
  EXPECT_EQ(events->Lines, (Lines{"AudioStart(0, 0)", "AudioStop(0, 0)"}));
}

TEST_F(ControlTest, AHostHandlerFailureIsSuppressedAndOtherSinksStillHear) {
  AddDemo();
  Parlana& c = Create();
  auto second = std::make_shared<EventLog>();
  c.AddEventSink(std::make_shared<ThrowingSink>());
  c.AddEventSink(second);
  EXPECT_NO_THROW(engines->Sapi4->RaiseAudioStart(1, 2));
  EXPECT_NO_THROW(engines->Sapi4->RaiseAudioStop(1, 2));
  EXPECT_NO_THROW(engines->Sapi5->RaiseWord(1, Variant(), 1, 1));
  // The first sink changed hi to 99 in its copy; the next sink still sees the engine's value.
  EXPECT_EQ(second->Lines, (Lines{"AudioStart(1, 2)", "AudioStop(1, 2)",
                                  "WordPosition(0, 0, 0, 1, Empty, 1, 1)"}));
}

TEST_F(ControlTest, ARemovedSinkHearsNothingAndADestroyedControlDetaches) {
  AddDemo();
  Parlana& c = Create();
  c.RemoveEventSink(events);
  engines->Sapi4->RaiseAudioStart(1, 2);
  EXPECT_TRUE(events->Lines.empty());
  controls.clear();
  EXPECT_NO_THROW(engines->Sapi4->RaiseAudioStart(1, 2));
}

}  // namespace
}  // namespace parlan
