// Saving and restoring the control's settings, and the two debug settings.
#include <gtest/gtest.h>

#include <thread>

#include "testkit/ControlFixture.h"

namespace parlan {
namespace {

using testkit::ControlTest;

// Logs every read and write with its default.
class LoggingStore : public MemoryPropertyStore {
 public:
  std::vector<std::string> Log;
  Variant ReadProperty(const std::u16string& name, const Variant& d) override {
    Log.push_back("read " + ToText(name) + " default " + engines::DescribeVariant(d));
    return MemoryPropertyStore::ReadProperty(name, d);
  }
  void WriteProperty(const std::u16string& name, const Variant& v, const Variant& d) override {
    Log.push_back("write " + ToText(name) + " " + engines::DescribeVariant(v) + " default " +
                  engines::DescribeVariant(d));
    MemoryPropertyStore::WriteProperty(name, v, d);
  }
  static std::string ToText(const std::u16string& s) { return std::string(s.begin(), s.end()); }
};

class Persistence : public ControlTest {
 protected:
  Parlana& Make() {
    AddDemo();
    Parlana& c = Create();
    c.SetPropertyChangedCallback([this](const std::u16string& n) { notices.push_back(n); });
    return c;
  }
  std::vector<std::u16string> notices;
};

TEST_F(Persistence, ReadsInOrderWithTheirDefaults) {
  Parlana& c = Make();
  LoggingStore store;
  c.ReadProperties(store);
  EXPECT_EQ(store.Log,
            (std::vector<std::string>{"read CurrentMode default 1", "read Sapi5Pitch default 0%",
                                      "read ParlanDebug default 0%", "read ParlanVolume default 10",
                                      "read NeverDebug default 0%"}));
  EXPECT_EQ(c.CurrentMode(), 1);
  EXPECT_EQ(c.Volume(), 10);
}

TEST_F(Persistence, WritesInOrderWithTypesAndDefaults) {
  Parlana& c = Make();
  c.SetDebugging(true);
  c.SetVolume(4);
  c.SetCurrentMode(5);
  c.SetPitch(-2);
  LoggingStore store;
  c.WriteProperties(store);
  EXPECT_EQ(store.Log, (std::vector<std::string>{
                           "write CurrentMode 5 default 1", "write Sapi5Pitch -2% default 0%",
                           "write ParlanDebug 1% default 0%", "write ParlanVolume 4 default 10",
                           "write NeverDebug 0% default 0%"}));
}

TEST_F(Persistence, RestoringAModeSelectsNothingUntilTheHostDoes) {
  Parlana& c = Make();
  MemoryPropertyStore store;
  store.Set(u"CurrentMode", Variant(int32_t{7}));
  engines->ClearCalls();
  c.ReadProperties(store);
  EXPECT_EQ(c.CurrentMode(), 7);
  std::u16string text = u"hello";
  c.Speak(text);
  EXPECT_TRUE(engines->Journal->empty());
  EXPECT_EQ(c.Speaker(), u"");
}

TEST_F(Persistence, RestoredVolumeIsNotRangeCheckedAndReachesTheEngineWhenRead) {
  Parlana& c = Make();
  c.SetCurrentMode(5);
  MemoryPropertyStore store;
  store.Set(u"ParlanVolume", Variant(int32_t{25}));
  engines->ClearCalls();
  c.ReadProperties(store);
  EXPECT_TRUE(engines->Journal->empty());
  EXPECT_EQ(c.Volume(), 25);
  EXPECT_EQ(engines->Sapi5->Calls.back(), (engines::VoiceCall{"Volume.put", {Variant(250)}}));
}

TEST_F(Persistence, DamagedValuesLeaveTheirFieldsAsTheyWere) {
  Parlana& c = Make();
  c.SetCurrentMode(5);
  c.SetPitch(3);
  c.SetVolume(6);
  c.SetDebugging(true);
  MemoryPropertyStore store;
  store.Set(u"CurrentMode", Variant(u"seven"));
  store.Set(u"Sapi5Pitch", Variant(int32_t{40000}));  // beyond 16 bits
  store.Set(u"ParlanDebug", Variant(2.5));
  store.Set(u"ParlanVolume", Variant(u""));
  store.Set(u"NeverDebug", Variant(int32_t{-70000}));
  c.ReadProperties(store);
  EXPECT_EQ(c.CurrentMode(), 5);
  EXPECT_EQ(c.Pitch(), 3);
  EXPECT_EQ(c.Volume(), 6);
  EXPECT_TRUE(c.Debugging());
  EXPECT_FALSE(c.NeverDebug());
}

TEST_F(Persistence, NeverDebugIsRestoredThroughItsSetter) {
  Parlana& c = Make();
  MemoryPropertyStore on;
  on.Set(u"NeverDebug", Variant(int16_t{1}));
  c.ReadProperties(on);
  EXPECT_TRUE(c.NeverDebug());
  EXPECT_EQ(notices, std::vector<std::u16string>{u"NeverDebug"});
  MemoryPropertyStore off;
  c.ReadProperties(off);
  EXPECT_FALSE(c.NeverDebug());
  EXPECT_EQ(notices.size(), 1u);  // set back directly, without a notice
}

TEST_F(Persistence, DebuggingShowsTheWindowOnlyAfterANativeSpeak) {
  Parlana& c = Make();
  c.SetCurrentMode(1);
  c.SetDebugging(true);
  EXPECT_FALSE(c.DebugWindowVisible("frmDebug"));
  c.SetDebugging(false);
  std::u16string text = u"hello";
  c.Speak(text);
  EXPECT_FALSE(c.DebugWindowVisible("frmDebug"));
  c.SetDebugging(true);
  EXPECT_TRUE(c.DebugWindowVisible("frmDebug"));
  EXPECT_FALSE(c.DebugWindowVisible("frmAdvanced"));
  EXPECT_EQ(notices, (std::vector<std::u16string>{u"CurrentMode", u"Debugging", u"Debugging",
                                                  u"Debugging"}));
}

TEST_F(Persistence, NeverDebugKeepsTheWindowHidden) {
  Parlana& c = Make();
  c.SetCurrentMode(1);
  c.SetNeverDebug(true);
  std::u16string text = u"hello";
  c.Speak(text);
  c.SetDebugging(true);
  EXPECT_FALSE(c.DebugWindowVisible("frmDebug"));
}

TEST_F(Persistence, ASettingsFileWrittenByOneControlRestoresAnother) {
  Parlana& c = Make();
  c.SetCurrentMode(5);
  c.SetPitch(-7);
  c.SetVolume(3);
  c.SetDebugging(true);
  c.SetNeverDebug(true);
  auto file = root.Path() / "settings.txt";
  FilePropertyStore out(file);
  c.WriteProperties(out);
  ASSERT_TRUE(out.Save());

  std::thread other([&] {
    // A fresh thread has fresh module state.
    Parlana d(ParlanaSettings{root.Path(), engines});
    FilePropertyStore in(file);
    ASSERT_TRUE(in.Load());
    d.ReadProperties(in);
    EXPECT_EQ(d.CurrentMode(), 5);
    EXPECT_EQ(d.Pitch(), -7);  // no mode selected: the stored voice pitch
    EXPECT_EQ(d.Volume(), 3);
    EXPECT_TRUE(d.Debugging());
    EXPECT_TRUE(d.NeverDebug());
  });
  other.join();
}

TEST_F(Persistence, ADamagedSettingsFileLosesNothingElse) {
  Parlana& c = Make();
  auto file = root.Path() / "settings.txt";
  testkit::WriteBytes(file, std::string("CurrentMode=4\nSapi5Pitch=\xff\xfe\x01\n"
                                        "garbage line\nParlanVolume=9\nNeverDe",
                                        61));
  FilePropertyStore in(file);
  in.Load();
  EXPECT_NO_THROW(c.ReadProperties(in));
  EXPECT_EQ(c.CurrentMode(), 4);
  EXPECT_EQ(c.Volume(), 9);
  EXPECT_FALSE(c.NeverDebug());
}

}  // namespace
}  // namespace parlan
