// Late binding: every member reached by its dispatch identifier behaves as the direct member
// call, arguments are converted as automation does, and by-reference arguments come back.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "control/DispatchScene.h"

namespace parlan::dispatchtest {
namespace {

struct MemberCase {
  const char* Label;
  int32_t Id;
  Kind CallKind;
  Args Arguments;
  Direct Call;
};

using P = Parlana;
#define GET(label, id, getter)                                                        \
  MemberCase {                                                                        \
    label, id, Kind::PropertyGet, {}, [](P& c, Args&) { return Variant(c.getter()); } \
  }
#define PUT(label, id, setter, value)                                 \
  MemberCase {                                                        \
    label, id, Kind::PropertyPut, {Variant(value)}, [](P& c, Args&) { \
      c.setter(value);                                                \
      return Variant();                                               \
    }                                                                 \
  }

std::vector<MemberCase> MemberCases() {
  return {
      GET("CountEnginesGet", dispid::kCountEngines, CountEngines),
      PUT("CountEnginesPut", dispid::kCountEngines, SetCountEngines, int32_t{9}),
      GET("CurrentModeGet", dispid::kCurrentMode, CurrentMode),
      PUT("CurrentModePut", dispid::kCurrentMode, SetCurrentMode, int32_t{4}),
      GET("PitchGet", dispid::kPitch, Pitch),
      PUT("PitchPut", dispid::kPitch, SetPitch, int32_t{-4}),
      GET("SpeakerGet", dispid::kSpeaker, Speaker),
      PUT("SpeakerPut", dispid::kSpeaker, SetSpeaker, std::u16string(u"Somebody")),
      GET("SpeedGet", dispid::kSpeed, Speed),
      PUT("SpeedPut", dispid::kSpeed, SetSpeed, int32_t{7}),
      GET("VolumeGet", dispid::kVolume, Volume),
      PUT("VolumePut", dispid::kVolume, SetVolume, int32_t{7}),
      GET("MaxPitchGet", dispid::kMaxPitch, MaxPitch),
      PUT("MaxPitchPut", dispid::kMaxPitch, SetMaxPitch, int32_t{99}),
      GET("MinPitchGet", dispid::kMinPitch, MinPitch),
      PUT("MinPitchPut", dispid::kMinPitch, SetMinPitch, int32_t{-99}),
      GET("MaxSpeedGet", dispid::kMaxSpeed, MaxSpeed),
      PUT("MaxSpeedPut", dispid::kMaxSpeed, SetMaxSpeed, int32_t{99}),
      GET("MinSpeedGet", dispid::kMinSpeed, MinSpeed),
      PUT("MinSpeedPut", dispid::kMinSpeed, SetMinSpeed, int32_t{-99}),
      GET("MaxVolumeGet", dispid::kMaxVolume, MaxVolume),
      PUT("MaxVolumePut", dispid::kMaxVolume, SetMaxVolume, int32_t{99}),
      GET("MinVolumeGet", dispid::kMinVolume, MinVolume),
      PUT("MinVolumePut", dispid::kMinVolume, SetMinVolume, int32_t{-99}),
      GET("DebuggingGet", dispid::kDebugging, Debugging),
      PUT("DebuggingPut", dispid::kDebugging, SetDebugging, true),
      GET("NeverDebugGet", dispid::kNeverDebug, NeverDebug),
      PUT("NeverDebugPut", dispid::kNeverDebug, SetNeverDebug, true),
      // A method call on a property with no arguments reads it.
      {"PitchAsMethod",
       dispid::kPitch,
       Kind::Method,
       {},
       [](P& c, Args&) { return Variant(c.Pitch()); }},
      {"AudioReset",
       dispid::kAudioReset,
       Kind::Method,
       {},
       [](P& c, Args&) {
         c.AudioReset();
         return Variant();
       }},
      {"SpeakPhoneme",
       dispid::kSpeakPhoneme,
       Kind::Method,
       {Variant(u"h@l oU")},
       [](P& c, Args& a) {
         std::u16string text = u"h@l oU";
         Variant result = c.SpeakPhoneme(text);
         a[0] = Variant(text);
         return result;
       }},
      {"Sel",
       dispid::kSel,
       Kind::Method,
       {Variant(int32_t{6})},
       [](P& c, Args& a) {
         int32_t index = 6;
         c.Sel(index);
         a[0] = Variant(index);
         return Variant();
       }},
      {"Sapi5String",
       dispid::kSapi5String,
       Kind::Method,
       {Variant(u"<pitch absmiddle=\"3\"/>")},
       [](P& c, Args& a) {
         std::u16string text = u"<pitch absmiddle=\"3\"/>";
         c.Sapi5String(text);
         a[0] = Variant(text);
         return Variant();
       }},
      {"Speak",
       dispid::kSpeak,
       Kind::Method,
       {Variant(u"Hello world.")},
       [](P& c, Args& a) {
         std::u16string text = u"Hello world.";
         c.Speak(text);
         a[0] = Variant(text);
         return Variant();
       }},
      {"ModeName",
       dispid::kModeName,
       Kind::Method,
       {Variant(int16_t{4})},
       [](P& c, Args&) { return Variant(c.ModeName(4)); }},
      {"ModeNameBeyondLast",
       dispid::kModeName,
       Kind::Method,
       {Variant(int16_t{7})},
       [](P& c, Args&) { return Variant(c.ModeName(7)); }},
      {"LastError",
       dispid::kLastError,
       Kind::Method,
       {Variant(u"old")},
       [](P& c, Args& a) {
         std::u16string text = u"old";
         Variant result(c.LastError(text));
         a[0] = Variant(text);
         return result;
       }},
  };
}

// Arguments of other types than the member's, converted as automation does.
std::vector<MemberCase> ConversionCases() {
  return {
      {"SelFromInteger",
       dispid::kSel,
       Kind::Method,
       {Variant(int16_t{4})},
       [](P& c, Args& a) {
         int32_t index = 4;
         c.Sel(index);
         a[0] = Variant(index);  // written back as a Long
         return Variant();
       }},
      {"SelFromWholeDouble",
       dispid::kSel,
       Kind::Method,
       {Variant(5.0)},
       [](P& c, Args& a) {
         int32_t index = 5;
         c.Sel(index);
         a[0] = Variant(index);
         return Variant();
       }},
      {"SelFromTrue",
       dispid::kSel,
       Kind::Method,
       {Variant(true)},
       [](P& c, Args& a) {
         int32_t index = -1;
         c.Sel(index);
         a[0] = Variant(index);
         return Variant();
       }},
      {"ModeNameFromLong",
       dispid::kModeName,
       Kind::Method,
       {Variant(int32_t{5})},
       [](P& c, Args&) { return Variant(c.ModeName(5)); }},
      {"ModeNameFromDouble",
       dispid::kModeName,
       Kind::Method,
       {Variant(-2.0)},
       [](P& c, Args&) { return Variant(c.ModeName(-2)); }},
      PUT("VolumeFromInteger", dispid::kVolume, SetVolume, int16_t{6}),
      PUT("PitchFromLowestLong", dispid::kPitch, SetPitch, std::numeric_limits<int32_t>::min()),
      {"DebuggingFromMinusOne",
       dispid::kDebugging,
       Kind::PropertyPut,
       {Variant(int16_t{-1})},
       [](P& c, Args&) {
         c.SetDebugging(true);
         return Variant();
       }},
      {"DebuggingFromFive",
       dispid::kDebugging,
       Kind::PropertyPut,
       {Variant(int32_t{5})},
       [](P& c, Args&) {
         c.SetDebugging(true);
         return Variant();
       }},
      {"NeverDebugFromZero",
       dispid::kNeverDebug,
       Kind::PropertyPut,
       {Variant(0.0)},
       [](P& c, Args&) {
         c.SetNeverDebug(false);
         return Variant();
       }},
      {"LastErrorIntoEmpty",
       dispid::kLastError,
       Kind::Method,
       {Variant()},
       [](P& c, Args& a) {
         std::u16string text;
         Variant result(c.LastError(text));
         a[0] = Variant(text);
         return result;
       }},
      {"SpeakEmpty",
       dispid::kSpeak,
       Kind::Method,
       {Variant()},
       [](P& c, Args& a) {
         std::u16string text;
         c.Speak(text);
         a[0] = Variant(text);
         return Variant();
       }},
  };
}

#undef GET
#undef PUT

struct ModeCase {
  const char* Label;
  int32_t Mode;
};

void PrintTo(const MemberCase& c, std::ostream* os) {
  *os << c.Label;
}
void PrintTo(const ModeCase& m, std::ostream* os) {
  *os << m.Label;
}

class EveryMember : public testing::TestWithParam<std::tuple<MemberCase, ModeCase>> {};

TEST_P(EveryMember, InvokeMatchesTheDirectCall) {
  const auto& [member, mode] = GetParam();
  Scene scene;
  Outcome direct = ThroughMember(scene, mode.Mode, member.Arguments, member.Call);
  Outcome invoked = ThroughInvoke(scene, mode.Mode, member.Id, member.CallKind, member.Arguments);
  EXPECT_EQ(invoked.Result, direct.Result);
  EXPECT_EQ(invoked.Value, direct.Value) << engines::DescribeVariant(invoked.Value) << " vs "
                                         << engines::DescribeVariant(direct.Value);
  EXPECT_EQ(invoked.After, direct.After);
  EXPECT_EQ(invoked.Journal, direct.Journal);
  EXPECT_EQ(invoked.Notified, direct.Notified);
  EXPECT_EQ(invoked.State, direct.State);
}

const auto kAllModes = testing::Values(ModeCase{"NoMode", 0}, ModeCase{"Native", kNative},
                                       ModeCase{"Direct", kDirect}, ModeCase{"Voice", kVoice});

std::string MemberAndMode(const testing::TestParamInfo<std::tuple<MemberCase, ModeCase>>& info) {
  return std::string(std::get<0>(info.param).Label) + "_" + std::get<1>(info.param).Label;
}

INSTANTIATE_TEST_SUITE_P(Members, EveryMember,
                         testing::Combine(testing::ValuesIn(MemberCases()), kAllModes),
                         MemberAndMode);
INSTANTIATE_TEST_SUITE_P(Conversions, EveryMember,
                         testing::Combine(testing::ValuesIn(ConversionCases()), kAllModes),
                         MemberAndMode);

TEST(DispatchBooleans, ReadAsBooleanWithTrueAllBitsSet) {
  Scene scene;
  OnFreshControl(scene, kDirect, [](Parlana& c, Outcome&) {
    Args value{Variant(int16_t{-1})};
    Variant result;
    ASSERT_EQ(c.Invoke(dispid::kDebugging, Kind::PropertyPut, value, result), Status::Ok);
    Args none;
    ASSERT_EQ(c.Invoke(dispid::kDebugging, Kind::PropertyGet, none, result), Status::Ok);
    ASSERT_EQ(result.type(), Variant::Type::Boolean);
    int64_t n = 0;
    ASSERT_TRUE(result.ToInt64(n));
    EXPECT_EQ(n, -1);
    ASSERT_EQ(c.Invoke(dispid::kNeverDebug, Kind::PropertyGet, none, result), Status::Ok);
    EXPECT_EQ(result, Variant(false));
  });
}

// ----- By-reference arguments -----

TEST(DispatchByReference, SpeakConsumesTheTextInANativeModeOnly) {
  Scene scene;
  const Args text{Variant(u"Hello world.")};
  EXPECT_EQ(ThroughInvoke(scene, kNative, dispid::kSpeak, Kind::Method, text).After,
            Args{Variant(u"")});
  EXPECT_EQ(ThroughInvoke(scene, kDirect, dispid::kSpeak, Kind::Method, text).After, text);
  EXPECT_EQ(ThroughInvoke(scene, kVoice, dispid::kSpeak, Kind::Method, text).After, text);
}

TEST(DispatchByReference, SelWritesTheIndexBackAsALong) {
  Scene scene;
  Outcome sel = ThroughInvoke(scene, 0, dispid::kSel, Kind::Method, {Variant(int16_t{4})});
  EXPECT_EQ(sel.Result, Status::Ok);
  EXPECT_EQ(sel.After, Args{Variant(int32_t{4})});
  EXPECT_EQ(sel.State[0], "4");
  EXPECT_EQ(sel.State[4], "Mary  (SAPI 4)");
}

TEST(DispatchByReference, LastErrorWritesTheTextAndReturnsTheNumber) {
  Scene scene;
  OnFreshControl(scene, kDirect, [](Parlana& c, Outcome&) {
    Args index{Variant(int16_t{99})};
    Variant result;
    ASSERT_EQ(c.Invoke(dispid::kModeName, Kind::Method, index, result), Status::Ok);
    EXPECT_EQ(result, Variant(u""));
    for (Variant received : {Variant(), Variant(u"previous text")}) {
      Args text{received};
      ASSERT_EQ(c.Invoke(dispid::kLastError, Kind::Method, text, result), Status::Ok);
      EXPECT_EQ(result, Variant(int16_t{1}));
      EXPECT_EQ(text[0], Variant(u"Attempted to return mode name with invalid mode number  99"));
    }
  });
}

TEST(DispatchByReference, SpeakPhonemeLeavesTheTextAndGivesAnEmptyResult) {
  Scene scene;
  const Args text{Variant(u"h@l oU")};
  for (int32_t mode : {kNative, kDirect, kVoice}) {
    Outcome out = ThroughInvoke(scene, mode, dispid::kSpeakPhoneme, Kind::Method, text);
    EXPECT_EQ(out.Result, Status::Ok);
    EXPECT_EQ(out.Value, Variant());
    EXPECT_EQ(out.After, text);
    EXPECT_EQ(out.Journal.size(), 1u) << mode;
  }
}

}  // namespace
}  // namespace parlan::dispatchtest
