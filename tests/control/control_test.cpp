// The control's speaking, selecting and reporting members, by the kind of the current mode.
#include <gtest/gtest.h>

#include <thread>

#include "testkit/ControlFixture.h"

namespace parlan {
namespace {

using engines::CallKind;
using engines::DirectSSCall;
using testkit::ControlTest;

// Mode numbers of the standard scene.
constexpr int32_t kDemoMale = 1, kSam = 3, kAlice = 5;

class ControlMembers : public ControlTest {
 protected:
  Parlana& Select(int32_t mode) {
    AddDemo();
    Parlana& c = Create();
    c.SetCurrentMode(mode);
    engines->ClearCalls();
    return c;
  }
};

TEST_F(ControlMembers, SpeakBeforeAnyModeSpeaksNothingAndRecordsNothing) {
  AddDemo();
  Parlana& c = Create();
  MemoryPropertyStore store;
  store.Set(u"CurrentMode", Variant(int32_t{3}));
  c.ReadProperties(store);
  engines->ClearCalls();
  std::u16string text = u"hello";
  c.Speak(text);
  EXPECT_TRUE(engines->Journal->empty());
  std::u16string error;
  EXPECT_EQ(c.LastError(error), 0);
  EXPECT_EQ(text, u"hello");
}

TEST_F(ControlMembers, SpeakInADirectModeSendsPlainText) {
  Parlana& c = Select(kSam);
  std::u16string text = u"hello there";
  c.Speak(text);
  ASSERT_EQ(engines->Sapi4->Calls.size(), 1u);
  EXPECT_EQ(
      engines->Sapi4->Calls[0],
      (DirectSSCall{42, CallKind::Method, {Variant(0), Variant(1), Variant(u"hello there")}}));
  EXPECT_TRUE(engines->ParlanSapi->Calls.empty());
  EXPECT_TRUE(engines->Sapi5->Calls.empty());
}

TEST_F(ControlMembers, SpeakInAVoiceModeQueuesTheText) {
  Parlana& c = Select(kAlice);
  std::u16string text = u"hello";
  c.Speak(text);
  EXPECT_EQ(engines->Sapi5->Spoken(),
            (std::vector<std::pair<std::u16string, int32_t>>{{u"hello", 1}}));
  EXPECT_EQ(text, u"hello");
}

struct PhonemeCase {
  const char* name;
  int32_t mode;
  std::vector<std::string> expected;  // journal after the call
};

[[maybe_unused]] void PrintTo(const PhonemeCase& c, std::ostream* os) {
  *os << c.name;
}

class SpeakPhonemeByMode : public ControlMembers,
                           public ::testing::WithParamInterface<PhonemeCase> {};

TEST_P(SpeakPhonemeByMode, ReachesTheEngineOfTheMode) {
  Parlana& c = Select(GetParam().mode);
  std::u16string text = u"h@l\"oU <&";
  Variant result = c.SpeakPhoneme(text);
  EXPECT_TRUE(result.IsEmpty());
  EXPECT_EQ(*engines->Journal, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SpeakPhonemeByMode,
    ::testing::Values(
        PhonemeCase{"NativeOnDirect", kDemoMale, {"ParlanSapiObj call 42 (2, 1, \"h@l\"oU <&\")"}},
        PhonemeCase{"Direct", kSam, {"Sapi4Obj call 42 (2, 1, \"h@l\"oU <&\")"}},
        // The text goes into the attribute unchanged, not escaped.
        PhonemeCase{"Voice", kAlice, {"Sapi5Obj Speak (\"<pron sym=\"h@l\"oU <& !\"/>\", 32)"}},
        PhonemeCase{"NoMode", 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ResetCase {
  const char* name;
  int32_t mode;
  std::vector<std::string> expected;
};

[[maybe_unused]] void PrintTo(const ResetCase& c, std::ostream* os) {
  *os << c.name;
}

class AudioResetByMode : public ControlMembers, public ::testing::WithParamInterface<ResetCase> {};

TEST_P(AudioResetByMode, StopsTheEngineOfTheMode) {
  Parlana& c = Select(GetParam().mode);
  c.AudioReset();
  EXPECT_EQ(*engines->Journal, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Modes, AudioResetByMode,
                         ::testing::Values(ResetCase{"NativeOnDirect",
                                                     kDemoMale,
                                                     {"ParlanSapiObj call 36 ()",
                                                      "ParlanSapiObj call 42 (2, 1, \"##\")"}},
                                           ResetCase{"Direct", kSam, {"Sapi4Obj call 36 ()"}},
                                           ResetCase{
                                               "Voice", kAlice, {"Sapi5Obj Speak (Empty, 2)"}},
                                           ResetCase{"NoMode", 0, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControlMembers, Sapi5StringReachesOnlyTheVoice) {
  Parlana& direct = Select(kSam);
  std::u16string markup = u"<pitch absmiddle=\"3\"/>";
  direct.Sapi5String(markup);
  EXPECT_TRUE(engines->Journal->empty());

  direct.SetCurrentMode(kAlice);
  engines->ClearCalls();
  direct.Sapi5String(markup);
  EXPECT_EQ(engines->Sapi5->Spoken(),
            (std::vector<std::pair<std::u16string, int32_t>>{{markup, 32}}));
}

TEST_F(ControlMembers, Sapi5StringReachesTheVoiceOfANativeVoiceLanguage) {
  AddLanguage("Voiced", {"GENDER=Female", "SAPINO=5", "FEMALE=Alice"});
  Parlana& c = Create();
  c.SetCurrentMode(1);
  engines->ClearCalls();
  std::u16string markup = u"plain";
  c.Sapi5String(markup);
  EXPECT_EQ(engines->Sapi5->Spoken(),
            (std::vector<std::pair<std::u16string, int32_t>>{{u"plain", 32}}));
}

TEST_F(ControlMembers, LastErrorIsNotClearedByReading) {
  AddDemo();
  Parlana& c = Create();
  c.ModeName(99);
  std::u16string first, second;
  int16_t n1 = c.LastError(first);
  int16_t n2 = c.LastError(second);
  EXPECT_EQ(n1, 1);
  EXPECT_EQ(n2, 1);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first, u"Attempted to return mode name with invalid mode number  99");
}

TEST_F(ControlMembers, IgnoredSettersChangeNoGetter) {
  Parlana& c = Select(kSam);
  engines->Sapi4->Values = {
      {8, Variant(100)}, {9, Variant(0)}, {11, Variant(300)}, {12, Variant(50)}};
  auto snapshot = [&] {
    return std::vector<int32_t>{c.CountEngines(), c.MaxPitch(),  c.MinPitch(), c.MaxSpeed(),
                                c.MinSpeed(),     c.MaxVolume(), c.MinVolume()};
  };
  auto before = snapshot();
  std::u16string speaker = c.Speaker();
  c.SetCountEngines(1);
  c.SetSpeaker(u"Nobody");
  c.SetMaxPitch(1);
  c.SetMinPitch(1);
  c.SetMaxSpeed(1);
  c.SetMinSpeed(1);
  c.SetMaxVolume(1);
  c.SetMinVolume(1);
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(c.Speaker(), speaker);
  EXPECT_EQ(before[0], 6);
}

TEST_F(ControlMembers, SpeakerFailsAfterModeZeroWithNativeModes) {
  AddDemo();
  Parlana& c = Create();
  c.SetCurrentMode(0);
  EXPECT_THROW(c.Speaker(), std::out_of_range);
  // Every other member still works and nothing else throws.
  EXPECT_NO_THROW(c.CountEngines());
  std::u16string text = u"x";
  EXPECT_NO_THROW(c.Speak(text));
}

TEST_F(ControlMembers, SelStoresTheNumberWithoutTheSettersSideEffects) {
  AddDemo();
  Parlana& c = Create();
  std::vector<std::u16string> notices;
  c.SetPropertyChangedCallback([&](const std::u16string& n) { notices.push_back(n); });
  engines->ClearCalls();
  int32_t index = kSam;
  c.Sel(index);
  EXPECT_EQ(c.CurrentMode(), kSam);
  EXPECT_EQ(c.Speaker(), u"Sam  (SAPI 4)");
  EXPECT_TRUE(notices.empty());
  EXPECT_TRUE(engines->Sapi5->Calls.empty());  // no rate or pitch reset
  EXPECT_EQ(*engines->Journal, (std::vector<std::string>{"Sapi4Obj put 69 (1)"}));

  int32_t huge = 100000;  // beyond 16 bits: stored, selects nothing
  c.Sel(huge);
  EXPECT_EQ(c.CurrentMode(), 100000);
  EXPECT_EQ(c.Speaker(), u"Sam  (SAPI 4)");
}

TEST_F(ControlMembers, AFailingEngineSkipsTheStepWithoutAFault) {
  Parlana& c = Select(kSam);
  engines->Sapi4->FailAll = true;
  std::u16string text = u"x";
  c.Speak(text);
  c.AudioReset();
  EXPECT_EQ(c.Pitch(), 0);
  EXPECT_EQ(c.Speed(), 0);
  EXPECT_EQ(engines->Sapi4->Calls.size(), 4u);
}

TEST_F(ControlTest, ThreadsHaveSeparateModuleState) {
  AddDemo();
  Parlana& here = Create();
  here.SetCurrentMode(kSam);
  int32_t otherCount = -1, otherMode = -1;
  std::thread other([&] {
    // No install root and no engines on that thread's controls.
    Parlana there(ParlanaSettings{root.Path() / "missing", engines::NullEngineFactory()});
    Parlana second(ParlanaSettings{root.Path() / "missing", engines::NullEngineFactory()});
    otherCount = second.CountEngines();
    otherMode = there.CurrentMode();
  });
  other.join();
  EXPECT_EQ(otherCount, 0);
  EXPECT_EQ(otherMode, 0);
  EXPECT_EQ(here.CountEngines(), 6);
  EXPECT_EQ(here.CurrentMode(), kSam);
}

TEST_F(ControlTest, ControlsOfOneThreadShareTheirModuleState) {
  AddDemo();
  Parlana& first = Create();
  Parlana& second = Create();
  first.SetCurrentMode(kSam);
  EXPECT_EQ(second.CurrentMode(), kSam);
  EXPECT_EQ(second.Speaker(), u"Sam  (SAPI 4)");
}

TEST_F(ControlTest, NullEnginesWithoutARootListNothingAndNeverFail) {
  Parlana c(ParlanaSettings{root.Path() / "nowhere", engines::NullEngineFactory()});
  EXPECT_EQ(c.CountEngines(), 0);
  std::u16string text = u"hello";
  c.SetCurrentMode(1);
  c.Speak(text);
  c.AudioReset();
  c.SetVolume(5);
  EXPECT_EQ(c.Volume(), 5);
  EXPECT_EQ(c.Speaker(), u"");
  std::u16string error;
  EXPECT_EQ(c.LastError(error), 0);
}

}  // namespace
}  // namespace parlan
