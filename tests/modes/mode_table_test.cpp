// Listing and selecting modes, and binding a native mode to its engine.
#include <gtest/gtest.h>

#include "control/ModuleState.h"
#include "testkit/ControlFixture.h"

namespace parlan {
namespace {

using testkit::ControlTest;
using Lines = std::vector<std::string>;

std::vector<std::u16string> Names(Parlana& c) {
  std::vector<std::u16string> out;
  for (int16_t i = 1; i <= c.CountEngines(); ++i) out.push_back(c.ModeName(i));
  return out;
}

TEST_F(ControlTest, WithoutAnInstallRootTheEngineModesStartAtOne) {
  Parlana c(ParlanaSettings{root.Path() / "missing", engines});
  EXPECT_EQ(Names(c), (std::vector<std::u16string>{u"Sam  (SAPI 4)", u"Mary  (SAPI 4)",
                                                   u"Alice (SAPI 5)", u"Bob (SAPI 5)"}));
  c.SetCurrentMode(1);
  EXPECT_EQ(c.Speaker(), u"Sam  (SAPI 4)");
}

TEST_F(ControlTest, BothGivesMaleThenFemale) {
  AddDemo();
  Parlana& c = Create();
  EXPECT_EQ(c.CountEngines(), 6);
  EXPECT_EQ(c.ModeName(1), u"Demo Male (Parlan)");
  EXPECT_EQ(c.ModeName(2), u"Demo Female (Parlan)");
  EXPECT_EQ(c.ModeName(3), u"Sam  (SAPI 4)");
  EXPECT_EQ(c.ModeName(6), u"Bob (SAPI 5)");
}

struct GenderCase {
  const char* name;
  std::vector<std::string> config;
  std::vector<std::u16string> modes;
  int16_t error;
};

[[maybe_unused]] void PrintTo(const GenderCase& c, std::ostream* os) {
  *os << c.name;
}

class GenderValues : public ControlTest, public ::testing::WithParamInterface<GenderCase> {};

TEST_P(GenderValues, DecideTheModesOfALanguage) {
  AddLanguage("Old Norse", GetParam().config);
  engines->Sapi4->ModeNames.clear();
  engines->Sapi5->Voices.clear();
  Parlana& c = Create();
  EXPECT_EQ(Names(c), GetParam().modes);
  std::u16string text;
  EXPECT_EQ(c.LastError(text), GetParam().error);
  if (GetParam().error == 2) {
    EXPECT_EQ(text, u"Missing or misconfigured config file for Gender Old Norse");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GenderValues,
    ::testing::Values(GenderCase{"Male", {"GENDER=Male"}, {u"Old Norse Male (Parlan)"}, 0},
                      GenderCase{"Female", {"GENDER=Female"}, {u"Old Norse Female (Parlan)"}, 0},
                      GenderCase{"LowerCaseKey",
                                 {"gender=Both"},
                                 {u"Old Norse Male (Parlan)", u"Old Norse Female (Parlan)"},
                                 0},
                      GenderCase{"Missing", {"SAPINO=5"}, {}, 2},
                      GenderCase{"Empty", {"GENDER="}, {}, 2},
                      GenderCase{"TrailingBlank", {"GENDER=Male "}, {}, 0},
                      GenderCase{"OtherCase", {"GENDER=male"}, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControlTest, EntriesThatAreNotLanguageFoldersAreSkipped) {
  AddDemo();
  testkit::WriteBytes(root.Path() / "Parlan File", "GENDER=Both\n");
  std::filesystem::create_directories(root.Path() / "Other");
  testkit::WriteLanguage(root.Path() / "nested", "Deep", {{"GENDER=Both"}, {}, {}, {}});
  std::filesystem::create_directories(root.Path() / "parlan lower");
  testkit::WriteBytes(root.Path() / "parlan lower" / "lowerc.ttg", "GENDER=Both\n");
  Parlana& c = Create();
  EXPECT_EQ(c.CountEngines(), 6);
}

TEST_F(ControlTest, ModeNameBeyondTheLastRecordsErrorOne) {
  AddDemo();
  Parlana& c = Create();
  EXPECT_EQ(c.ModeName(7), u"");
  std::u16string text;
  EXPECT_EQ(c.LastError(text), 1);
  EXPECT_EQ(text, u"Attempted to return mode name with invalid mode number  7");
  // Below 1: empty without an error of its own.
  ResetThreadState();
  Parlana& d = Create();
  EXPECT_EQ(d.ModeName(0), u"");
  EXPECT_EQ(d.ModeName(-5), u"");
  EXPECT_EQ(d.LastError(text), 0);
}

TEST_F(ControlTest, CurrentModeAboveTheCountSelectsNothingButResetsTheLanguageAndVoice) {
  AddDemo();
  Parlana& c = Create();
  std::vector<std::u16string> notices;
  c.SetPropertyChangedCallback([&](const std::u16string& n) { notices.push_back(n); });
  c.SetCurrentMode(3);
  ModuleState& s = ThreadState();
  s.Pipeline.Letters.RulesLoaded = s.Pipeline.NormRulesRead = s.Pipeline.ExceptRead = true;
  engines->ClearCalls();
  c.SetCurrentMode(7);
  EXPECT_EQ(c.CurrentMode(), 3);
  EXPECT_EQ(c.Speaker(), u"Sam  (SAPI 4)");
  EXPECT_FALSE(s.Pipeline.Letters.RulesLoaded);
  EXPECT_FALSE(s.Pipeline.NormRulesRead);
  EXPECT_FALSE(s.Pipeline.ExceptRead);
  EXPECT_EQ(*engines->Journal, (Lines{"Sapi5Obj Rate.put (0)",
                                      "Sapi5Obj Speak (\"<pitch absmiddle = \" 0\"/>\", 32)"}));
  EXPECT_EQ(notices, std::vector<std::u16string>{u"CurrentMode"});
}

TEST_F(ControlTest, CurrentModeZeroWithNativeModesIsNativeWithoutAName) {
  AddDemo();
  Parlana& c = Create();
  engines->ClearCalls();
  c.SetCurrentMode(0);
  EXPECT_EQ(ThreadState().Modes.ModeKind, 1);
  EXPECT_EQ(c.CurrentMode(), 0);
  EXPECT_THROW(c.Speaker(), std::out_of_range);
  // Nothing was bound: only the voice reset reached an engine.
  EXPECT_TRUE(engines->ParlanSapi->Calls.empty());
}

TEST_F(ControlTest, SelectingEachKindCallsItsEngine) {
  AddDemo();
  Parlana& c = Create();
  engines->ClearCalls();
  c.SetCurrentMode(4);
  c.SetCurrentMode(6);
  c.SetCurrentMode(2);
  EXPECT_EQ(*engines->Journal,
            (Lines{"Sapi4Obj put 69 (2)", "Sapi5Obj Rate.put (0)",
                   "Sapi5Obj Speak (\"<pitch absmiddle = \" 0\"/>\", 32)",
                   "Sapi5Obj GetVoices (\"\", \"\")", "Sapi5Obj Voice.putref (\"Bob\")",
                   "Sapi5Obj Rate.put (0)", "Sapi5Obj Speak (\"<pitch absmiddle = \" 0\"/>\", 32)",
                   "ParlanSapiObj get 71 (\"EngineID=demo-uid;Gender= 1;LanguageID=1033\")",
                   "ParlanSapiObj call 16 (8)", "Sapi5Obj Rate.put (0)",
                   "Sapi5Obj Speak (\"<pitch absmiddle = \" 0\"/>\", 32)"}));
  EXPECT_EQ(c.Speaker(), u"Demo Female (Parlan)");
}

TEST_F(ControlTest, AFailedModeSearchSelectsThePreviousModeAgain) {
  AddDemo();
  Parlana& c = Create();
  c.SetCurrentMode(1);  // finds 7
  engines->ParlanSapi->Criteria.clear();
  engines->ClearCalls();
  c.SetCurrentMode(2);
  EXPECT_EQ(engines->ParlanSapi->CallsTo(16).at(0).Args, std::vector<Variant>{Variant(7)});
  std::u16string text;
  EXPECT_EQ(c.LastError(text), 0);
}

TEST_F(ControlTest, DirectModeCountsBeyondSixteenBitsGiveNoModes) {
  engines->Sapi4->ModeNames.clear();
  engines->Sapi4->Values[18] = Variant(int32_t{40000});
  Parlana& c = Create();
  EXPECT_EQ(c.CountEngines(), 2);
  EXPECT_EQ(c.ModeName(1), u"Alice (SAPI 5)");
}

TEST_F(ControlTest, FailingEnginesLeaveTheirSourcesEmpty) {
  AddDemo();
  engines->Sapi4->FailAll = true;
  engines->Sapi5->FailAll = true;
  Parlana& c = Create();
  EXPECT_EQ(Names(c),
            (std::vector<std::u16string>{u"Demo Male (Parlan)", u"Demo Female (Parlan)"}));
}

struct BindCase {
  const char* name;
  std::string sapino;
  std::string space;
  int32_t engineKind;
  bool keepSpaces;
};

[[maybe_unused]] void PrintTo(const BindCase& c, std::ostream* os) {
  *os << c.name;
}

class Binding : public ControlTest, public ::testing::WithParamInterface<BindCase> {};

TEST_P(Binding, SapinoAndSpaceDecideEngineAndBlanks) {
  AddLanguage("Demo", {"GENDER=Female", "SAPINO=" + GetParam().sapino, "UID=demo-uid",
                       "LANGID=1033", "SPACE=" + GetParam().space, "FEMALE=Alice"});
  Parlana& c = Create();
  engines->ClearCalls();
  c.SetCurrentMode(1);
  const ModeState& m = ThreadState().Modes;
  EXPECT_EQ(m.NativeEngineKind, GetParam().engineKind);
  EXPECT_EQ(m.KeepPhonemeSpaces, GetParam().keepSpaces);
  if (GetParam().engineKind == 2) {
    EXPECT_TRUE(engines->ParlanSapi->Calls.empty());
    EXPECT_EQ(engines->Sapi5->CurrentVoice, u"Alice");
    EXPECT_EQ(engines->Sapi5->Calls.at(0),
              (engines::VoiceCall{"GetVoices", {Variant(u"Name=Alice"), Variant(u"")}}));
  } else {
    EXPECT_EQ(engines->ParlanSapi->Calls.size(), 2u);
    EXPECT_EQ(engines->Sapi5->Calls.size(), 2u);  // only the mode change's reset
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Binding,
                         ::testing::Values(BindCase{"Five", "5", "1", 2, true},
                                           BindCase{"BlankFive", " 5", "1.4", 2, true},
                                           BindCase{"FivePointZero", "5.0", "0.5", 2, false},
                                           BindCase{"ZeroFiveLetter", "05a", "1.5", 2, false},
                                           BindCase{"Four", "4", "2", 1, false},
                                           BindCase{"Empty", "", "", 1, false},
                                           BindCase{"NoDigits", "five", "one", 1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControlTest, AMissingVoiceKeepsTheCurrentVoice) {
  AddLanguage("Demo", {"GENDER=Male", "SAPINO=5", "MALE=Nobody"});
  Parlana& c = Create();
  c.SetCurrentMode(5);  // Bob
  c.SetCurrentMode(1);
  EXPECT_EQ(engines->Sapi5->CurrentVoice, u"Bob");
  EXPECT_EQ(ThreadState().Modes.NativeEngineKind, 2);
}

TEST_F(ControlTest, AMissingConfigurationMeansTheDirectEngineWithEmptyCriteria) {
  AddDemo();
  Parlana& c = Create();
  std::filesystem::remove(root.Path() / "Parlan Demo" / "Democ.ttg");
  engines->ClearCalls();
  c.SetCurrentMode(2);
  EXPECT_EQ(engines->ParlanSapi->Calls.at(0).Args,
            std::vector<Variant>{Variant(u"EngineID=;Gender= 1;LanguageID=")});
  std::u16string text;
  EXPECT_EQ(c.LastError(text), 8);
  EXPECT_FALSE(ThreadState().Modes.KeepPhonemeSpaces);
}

}  // namespace
}  // namespace parlan
