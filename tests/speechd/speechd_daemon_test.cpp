// sd_parlan under a real speech-dispatcher: a private daemon (its own configuration and socket,
// the module from the build tree) playing into a PulseAudio null sink, driven by spd-say and by
// the Python speechd client.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <thread>

#include "DaemonKit.h"
#include "parlan/EspeakEngines.h"

namespace parlan::speechd::testing {
namespace {

using namespace std::chrono_literals;

struct Event {
  double At = 0;
  std::string Tag, Kind, Mark;
};

std::vector<Event> ParseEvents(const std::string& output) {
  std::vector<Event> events;
  std::istringstream in(output);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    Event e;
    words >> e.At >> e.Tag >> e.Kind >> e.Mark;
    events.push_back(e);
  }
  return events;
}

std::string Kinds(const std::vector<Event>& events) {
  std::string out;
  for (const Event& e : events)
    out += (out.empty() ? "" : " ") + e.Tag + ":" + e.Kind + (e.Mark.empty() ? "" : "=" + e.Mark);
  return out;
}

std::string Python() {
  return ::access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : FindProgram("python3");
}

class DaemonTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (!engines::EspeakAvailable()) GTEST_SKIP() << "eSpeak NG could not be started";
    for (const char* program : {"speech-dispatcher", "spd-say", "parec"})
      if (FindProgram(program).empty())
        GTEST_SKIP() << program
                     << " is not installed (Debian: speech-dispatcher, pulseaudio-utils)";
    SetupOptions options;
    options.ServerAudio = GetParam();
    setup_ = std::make_unique<SpeechSetup>(options);
    if (!setup_->Problem().empty()) GTEST_SKIP() << setup_->Problem();
  }

  // Runs the Python client's scenario and returns its events.
  std::vector<Event> Client(const std::string& scenario) {
    const std::string python = Python();
    if (python.empty()) return {};
    std::string output;
    const int status = setup_->Run({python, SPEECHD_CLIENT_SCRIPT, scenario}, output, 60s);
    EXPECT_EQ(status, 0) << output << setup_->DaemonLog();
    return ParseEvents(output);
  }

  bool HavePythonClient() {
    std::string output;
    return !Python().empty() && setup_->Run({Python(), "-c", "import speechd"}, output, 20s) == 0;
  }

  std::unique_ptr<SpeechSetup> setup_;
};

TEST_P(DaemonTest, SpdSaySpeaksAndReturnsWhenDone) {
  setup_->StartRecording();
  std::string output;
  const auto start = std::chrono::steady_clock::now();
  const int status = setup_->Run(
      {FindProgram("spd-say"), "-w", "-o", "parlan", "Hello world, this is Parlan."}, output, 60s);
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::this_thread::sleep_for(300ms);
  const std::vector<int16_t> heard = setup_->StopRecording();
  ASSERT_EQ(status, 0) << output << setup_->DaemonLog();
  const double sound = SoundSeconds(heard);
  std::printf("spd-say: %.2f s of sound, returned after %.2f s\n", sound, took);
  EXPECT_GT(sound, 0.8) << setup_->DaemonLog();
  EXPECT_LT(sound, 6.0);
  // -w waits for the end of the speech.
  EXPECT_GT(took, 0.8 * sound);
}

TEST_P(DaemonTest, ListsEveryModeAsAVoiceNativeFirst) {
  std::string output;
  ASSERT_EQ(setup_->Run({FindProgram("spd-say"), "-o", "parlan", "-L"}, output, 30s), 0);
  const size_t male = output.find("English Male (Parlan)");
  const size_t female = output.find("English Female (Parlan)");
  ASSERT_NE(male, std::string::npos) << output;
  ASSERT_NE(female, std::string::npos);
  EXPECT_LT(std::max(male, female), output.find("(SAPI 4)"));
  EXPECT_NE(output.find("French (France) Female (SAPI 4)"), std::string::npos);
  EXPECT_NE(output.find("en-US"), std::string::npos);
}

TEST_P(DaemonTest, EventsAndIndexMarksArriveInOrder) {
  if (!HavePythonClient()) GTEST_SKIP() << "the Python speechd client (python3-speechd) is missing";
  const std::vector<Event> events = Client("marks");
  EXPECT_EQ(Kinds(events), "m:begin m:mark=first m:mark=second m:end");
  if (events.size() == 4) {
    // The first mark comes after the first sentence has been heard, not at once.
    EXPECT_GT(events[1].At - events[0].At, 0.5);
    EXPECT_GT(events[2].At - events[1].At, 0.5);
  }
}

TEST_P(DaemonTest, StopCutsTheSpeechAtOnce) {
  if (!HavePythonClient()) GTEST_SKIP() << "the Python speechd client (python3-speechd) is missing";
  setup_->StartRecording();
  const std::vector<Event> events = Client("stop");
  std::this_thread::sleep_for(500ms);
  const std::vector<int16_t> heard = setup_->StopRecording();
  ASSERT_EQ(Kinds(events), "s:begin s:stopping s:cancel");
  EXPECT_LT(events[2].At - events[1].At, 0.25);
  // The stop comes three seconds after BEGIN, of some forty seconds of text; on a loaded machine
  // the sound server may start playing a second or more after BEGIN.
  EXPECT_LT(SoundSeconds(heard), 4.5);
  EXPECT_GT(SoundSeconds(heard), 0.1);
  std::printf("stop: cancel after %.3f s, %.2f s of sound heard\n", events[2].At - events[1].At,
              SoundSeconds(heard));
}

TEST_P(DaemonTest, ASecondMessageWaitsForTheFirst) {
  if (!HavePythonClient()) GTEST_SKIP() << "the Python speechd client (python3-speechd) is missing";
  const std::vector<Event> events = Client("queue");
  EXPECT_EQ(Kinds(events), "1:begin 1:end 2:begin 2:end");
  if (events.size() == 4) {
    EXPECT_GT(events[1].At - events[0].At, 0.8);
  }
}

TEST_P(DaemonTest, RateChangesTheLengthOfTheSpeech) {
  auto seconds = [&](const char* rate) {
    setup_->StartRecording();
    std::string output;
    EXPECT_EQ(setup_->Run({FindProgram("spd-say"), "-w", "-o", "parlan", "-r", rate,
                           "One two three four five six seven eight nine ten."},
                          output, 60s),
              0);
    std::this_thread::sleep_for(300ms);
    return SoundSeconds(setup_->StopRecording());
  };
  const double slow = seconds("-60"), fast = seconds("60");
  std::printf("rate: %.2f s at -60, %.2f s at +60\n", slow, fast);
  EXPECT_GT(fast, 0.5);
  EXPECT_GT(slow, 1.4 * fast) << "slow " << slow << " s, fast " << fast << " s";
}

INSTANTIATE_TEST_SUITE_P(Audio, DaemonTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Server" : "Pulse"; });

// `cmake --install` into a temporary prefix puts the module where speech-dispatcher finds it by
// itself, with its configuration: spd-say -o parlan speaks with no AddModule line.
TEST(InstalledModule, IsFoundAndSpeaks) {
  if (!engines::EspeakAvailable()) GTEST_SKIP() << "eSpeak NG could not be started";
  for (const char* program : {"speech-dispatcher", "spd-say", "parec"})
    if (FindProgram(program).empty()) GTEST_SKIP() << program << " is not installed";
  if (std::filesystem::path(SD_PARLAN_CONF_DIR).is_absolute())
    GTEST_SKIP() << "this build installs parlan.conf outside its prefix (" SD_PARLAN_CONF_DIR ")";
  testkit::TempDir prefix;
  Child install({CMAKE_COMMAND, "--install", PARLAN_BUILD_DIR, "--prefix", prefix.Path().string()},
                {}, prefix.Path() / "install.log");
  ASSERT_EQ(install.Wait(120s), 0);
  SetupOptions options;
  options.ModuleDir = prefix.Path() / "lib" / "speech-dispatcher-modules";
  options.ModuleConf = prefix.Path() / SD_PARLAN_CONF_DIR / "parlan.conf";
  ASSERT_TRUE(std::filesystem::exists(options.ModuleDir / "sd_parlan"));
  ASSERT_TRUE(std::filesystem::exists(options.ModuleConf));
  SpeechSetup setup(options);
  if (!setup.Problem().empty()) GTEST_SKIP() << setup.Problem();
  setup.StartRecording();
  std::string output;
  ASSERT_EQ(setup.Run({FindProgram("spd-say"), "-w", "-o", "parlan", "Hello world"}, output, 60s),
            0)
      << output;
  std::this_thread::sleep_for(300ms);
  EXPECT_GT(SoundSeconds(setup.StopRecording()), 0.4) << setup.DaemonLog();
  // The installed module finds the languages installed beside its library, so the default
  // voice is native English, not an eSpeak NG voice standing in for a missing one.
  ASSERT_EQ(setup.Run({FindProgram("spd-say"), "-o", "parlan", "-L"}, output, 30s), 0);
  EXPECT_NE(output.find("English Female (Parlan)"), std::string::npos) << output;
}

}  // namespace
}  // namespace parlan::speechd::testing
