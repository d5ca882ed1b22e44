// Late binding: names to identifiers, and calls that are refused or fail: wrong identifiers,
// kinds, counts and types are error statuses that change nothing, never crashes.
#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "control/DispatchScene.h"

namespace parlan::dispatchtest {
namespace {

std::u16string AsciiUpper(std::u16string_view name) {
  std::u16string out(name);
  for (char16_t& c : out)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
  return out;
}

std::u16string AlternateCase(std::u16string_view name) {
  std::u16string out(name);
  for (size_t i = 0; i < out.size(); ++i) {
    char16_t c = out[i];
    if (i % 2 == 0 && c >= u'a' && c <= u'z') out[i] = static_cast<char16_t>(c - 32);
    if (i % 2 == 1 && c >= u'A' && c <= u'Z') out[i] = static_cast<char16_t>(c + 32);
  }
  return out;
}

TEST(DispatchNames, EveryMemberNameInAnyCaseGivesItsIdentifier) {
  std::set<int32_t> seen;
  for (const auto& member : AllMembers()) {
    std::u16string name = member.Name;
    for (const std::u16string& spelling :
         {name, LowerCase(name), AsciiUpper(name), AlternateCase(name)}) {
      int32_t id = 0;
      EXPECT_EQ(Parlana::GetIdOfName(spelling, id), Status::Ok) << ToUtf8(spelling);
      EXPECT_EQ(id, member.Id) << ToUtf8(spelling);
    }
    seen.insert(member.Id);
  }
  EXPECT_EQ(seen.size(), 21u);
}

TEST(DispatchNames, UnknownNamesAndEventNamesAreRefused) {
  for (const char16_t* name :
       {u"", u"Speak ", u" Speak", u"Speaks", u"Spea", u"SetPitch", u"AudioStart", u"AudioStop",
        u"WordPosition", u"_Parlana", u"Parlana", u"Invoke"}) {
    int32_t id = 12345;
    EXPECT_EQ(Parlana::GetIdOfName(name, id), Status::UnknownName) << ToUtf8(name);
    EXPECT_EQ(id, -1);
  }
  int32_t id = 0;
  EXPECT_EQ(Parlana::GetIdOfName(std::u16string(u"Sel\0", 4), id), Status::UnknownName);
}

// ----- Refused calls -----

struct RefusedCase {
  const char* Label;
  int32_t Id;
  Kind CallKind;
  Args Arguments;
  Status Expected;
};

std::vector<RefusedCase> RefusedCases() {
  const Variant text(u"Hello world.");
  const Variant one(int32_t{1});
  return {
      // Identifiers of no member, events included.
      {"Zero", 0, Kind::Method, {}, Status::UnknownMember},
      {"EventAudioStart", dispid::kAudioStart, Kind::Method, {one, one}, Status::UnknownMember},
      {"EventWordPosition", dispid::kWordPosition, Kind::Method, {}, Status::UnknownMember},
      {"MinusOne", -1, Kind::PropertyGet, {}, Status::UnknownMember},
      {"BelowProperties", dispid::kNeverDebug - 1, Kind::PropertyGet, {}, Status::UnknownMember},
      {"AboveProperties", dispid::kCountEngines + 1, Kind::PropertyGet, {}, Status::UnknownMember},
      {"BelowMethods", dispid::kAudioReset - 1, Kind::Method, {}, Status::UnknownMember},
      {"AboveMethods", dispid::kLastError + 1, Kind::Method, {text}, Status::UnknownMember},
      {"Lowest", std::numeric_limits<int32_t>::min(), Kind::Method, {}, Status::UnknownMember},
      {"Highest",
       std::numeric_limits<int32_t>::max(),
       Kind::PropertyPut,
       {one},
       Status::UnknownMember},
      // A method is neither read nor written as a property.
      {"PutOnSpeak", dispid::kSpeak, Kind::PropertyPut, {text}, Status::UnknownMember},
      {"GetOnModeName", dispid::kModeName, Kind::PropertyGet, {one}, Status::UnknownMember},
      {"GetOnAudioReset", dispid::kAudioReset, Kind::PropertyGet, {}, Status::UnknownMember},
      // Argument counts.
      {"PutWithoutValue", dispid::kPitch, Kind::PropertyPut, {}, Status::BadArgumentCount},
      {"PutWithTwoValues",
       dispid::kVolume,
       Kind::PropertyPut,
       {one, one},
       Status::BadArgumentCount},
      {"GetWithArgument", dispid::kSpeaker, Kind::PropertyGet, {one}, Status::BadArgumentCount},
      {"PropertyAsMethodWithArgument",
       dispid::kCurrentMode,
       Kind::Method,
       {one},
       Status::BadArgumentCount},
      {"AudioResetWithArgument",
       dispid::kAudioReset,
       Kind::Method,
       {one},
       Status::BadArgumentCount},
      {"SpeakWithoutText", dispid::kSpeak, Kind::Method, {}, Status::BadArgumentCount},
      {"SpeakWithTwoTexts", dispid::kSpeak, Kind::Method, {text, text}, Status::BadArgumentCount},
      {"LastErrorWithoutArgument", dispid::kLastError, Kind::Method, {}, Status::BadArgumentCount},
      // Argument types.
      {"SpeakNumber", dispid::kSpeak, Kind::Method, {one}, Status::BadArgumentType},
      {"SpeakPhonemeBoolean",
       dispid::kSpeakPhoneme,
       Kind::Method,
       {Variant(true)},
       Status::BadArgumentType},
      {"Sapi5StringDouble",
       dispid::kSapi5String,
       Kind::Method,
       {Variant(1.0)},
       Status::BadArgumentType},
      {"LastErrorNumber", dispid::kLastError, Kind::Method, {one}, Status::BadArgumentType},
      {"SelText", dispid::kSel, Kind::Method, {Variant(u"3")}, Status::BadArgumentType},
      {"SelEmpty", dispid::kSel, Kind::Method, {Variant()}, Status::BadArgumentType},
      {"SelFraction", dispid::kSel, Kind::Method, {Variant(3.5)}, Status::BadArgumentType},
      {"SelBeyondLong",
       dispid::kSel,
       Kind::Method,
       {Variant(2147483648.0)},
       Status::BadArgumentType},
      {"ModeNameBeyondInteger",
       dispid::kModeName,
       Kind::Method,
       {Variant(int32_t{32768})},
       Status::BadArgumentType},
      {"ModeNameBelowInteger",
       dispid::kModeName,
       Kind::Method,
       {Variant(int32_t{-32769})},
       Status::BadArgumentType},
      {"ModeNameNaN",
       dispid::kModeName,
       Kind::Method,
       {Variant(std::numeric_limits<double>::quiet_NaN())},
       Status::BadArgumentType},
      {"CurrentModeText",
       dispid::kCurrentMode,
       Kind::PropertyPut,
       {Variant(u"3")},
       Status::BadArgumentType},
      {"VolumeInfinity",
       dispid::kVolume,
       Kind::PropertyPut,
       {Variant(std::numeric_limits<double>::infinity())},
       Status::BadArgumentType},
      {"PitchEmpty", dispid::kPitch, Kind::PropertyPut, {Variant()}, Status::BadArgumentType},
      {"DebuggingText",
       dispid::kDebugging,
       Kind::PropertyPut,
       {Variant(u"True")},
       Status::BadArgumentType},
      {"NeverDebugFraction",
       dispid::kNeverDebug,
       Kind::PropertyPut,
       {Variant(0.5)},
       Status::BadArgumentType},
      {"SpeakerNumber", dispid::kSpeaker, Kind::PropertyPut, {one}, Status::BadArgumentType},
      {"MaxPitchText", dispid::kMaxPitch, Kind::PropertyPut, {text}, Status::BadArgumentType},
  };
}

void PrintTo(const RefusedCase& c, std::ostream* os) {
  *os << c.Label;
}

class RefusedCall : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedCall, ReturnsItsStatusAndChangesNothing) {
  const RefusedCase& c = GetParam();
  Scene scene;
  for (int32_t mode : {kNative, kDirect, kVoice}) {
    Outcome none = OnFreshControl(scene, mode, [](Parlana&, Outcome&) {});
    Outcome refused = ThroughInvoke(scene, mode, c.Id, c.CallKind, c.Arguments);
    EXPECT_EQ(refused.Result, c.Expected) << mode;
    EXPECT_EQ(Describe(refused.After), Describe(c.Arguments)) << mode;
    EXPECT_TRUE(refused.Journal.empty()) << mode;
    EXPECT_TRUE(refused.Notified.empty()) << mode;
    EXPECT_EQ(refused.State, none.State) << mode;
  }
}

INSTANTIATE_TEST_SUITE_P(Calls, RefusedCall, testing::ValuesIn(RefusedCases()),
                         [](const auto& info) { return std::string(info.param.Label); });

// ----- Failures -----

TEST(DispatchFailure, SpeakerSubscriptFailureIsAStatus) {
  Scene scene;
  OnFreshControl(scene, 0, [](Parlana& c, Outcome&) {
    c.SetCurrentMode(0);  // a native mode kind with no table entry
    EXPECT_THROW(c.Speaker(), std::out_of_range);
    Args none;
    Variant result(u"before");
    EXPECT_EQ(c.Invoke(dispid::kSpeaker, Kind::PropertyGet, none, result), Status::Failed);
    EXPECT_EQ(c.Invoke(dispid::kSpeaker, Kind::Method, none, result), Status::Failed);
    // The control goes on serving the other members.
    ASSERT_EQ(c.Invoke(dispid::kCountEngines, Kind::PropertyGet, none, result), Status::Ok);
    EXPECT_EQ(result, Variant(int32_t{6}));
  });
}

// Every identifier (and some that name nothing) with every kind and many argument lists, on one
// control in each mode: a status each time, never an exception or a crash.
TEST(DispatchFailure, ArbitraryCallsGiveAStatus) {
  Scene scene;
  const std::vector<Args> argLists = {
      {},
      {Variant()},
      {Variant(true)},
      {Variant(int16_t{-32768})},
      {Variant(std::numeric_limits<int32_t>::max())},
      {Variant(std::numeric_limits<int32_t>::min())},
      {Variant(-1e308)},
      {Variant(std::numeric_limits<double>::quiet_NaN())},
      {Variant(u"")},
      {Variant(std::u16string(u"a\xD800 b\xDC00 .\n, ?"))},
      {Variant(u"x"), Variant(int32_t{1})},
      Args(50, Variant(u"x")),
  };
  std::vector<int32_t> ids = {0, 1, 2, 3, -1};
  for (const auto& member : AllMembers()) ids.push_back(member.Id);
  for (int32_t mode : {0, kNative, kDirect, kVoice}) {
    OnFreshControl(scene, mode, [&](Parlana& c, Outcome&) {
      for (int32_t id : ids) {
        for (Kind kind : {Kind::PropertyGet, Kind::PropertyPut, Kind::Method}) {
          for (const Args& args : argLists) {
            Args copy = args;
            Variant result;
            Status status = Status::Ok;
            EXPECT_NO_THROW(status = c.Invoke(id, kind, copy, result));
            if (args.size() > 1) {
              EXPECT_NE(status, Status::Ok) << id;
            }
          }
        }
      }
    });
  }
}

}  // namespace
}  // namespace parlan::dispatchtest
