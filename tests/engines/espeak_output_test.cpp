// Where the eSpeak NG engines' audio goes: FLAC and WAV files (complete whenever the engines are
// idle, later speech appended), the sound server (a private PulseAudio server with a null sink),
// and several engine objects speaking at once on one thread and on two.
#include <gtest/gtest.h>

#include "parlan/EspeakEngines.h"

#if PARLAN_HAVE_ESPEAK

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cstdlib>
#include <optional>
#include <thread>

#include "SpeechTestKit.h"
#include "engines/AudioSinks.h"
#include "testkit/TestKit.h"

extern char** environ;

namespace parlan::engines {
namespace {

using namespace speechtest;
using Clock = std::chrono::steady_clock;

constexpr char16_t kSentence[] = u"The quick brown fox jumps over the lazy dog.";
constexpr char16_t kShort[] = u"Hello there, big world.";

void Say(Voice& voice, const std::u16string& text, int32_t flags) {
  int32_t stream = 0;
  ASSERT_TRUE(voice.Speak(&text, flags, stream));
}

void SayDirect(DirectSS& engine, const std::u16string& text) {
  Variant result;
  ASSERT_TRUE(engine.Invoke(ss::kSpeak, CallKind::Method,
                            {Variant(ss::kSpeakText), Variant(1), Variant(text)}, result));
}

size_t SampleCount(const std::filesystem::path& file) {
  SoundFile sound;
  EXPECT_TRUE(ReadSoundFile(file, sound)) << file;
  return sound.Samples.size();
}

class EspeakOutputTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!EspeakAvailable()) GTEST_SKIP() << "eSpeak NG could not be started on this machine";
  }
  testkit::TempDir dir_;
};

TEST_F(EspeakOutputTest, FilesAreCompleteWhenIdleAndLaterSpeechIsAppended) {
  for (const char* name : {"speech.wav", "speech.flac"}) {
    SCOPED_TRACE(name);
    const auto file = dir_.Path() / name;
    auto voice = EspeakEngineFactory({AudioOutput::Kind::File, file})->CreateVoice();
    Say(*voice, kShort, voiceflags::kAsync);
    ASSERT_TRUE(WaitIdle(*voice));
    const size_t first = SampleCount(file);
    EXPECT_GT(first, size_t(kRate));
    Say(*voice, kSentence, 0);
    const size_t both = SampleCount(file);
    EXPECT_GT(both, first + 2 * kRate);
    const std::string magic = testkit::ReadBytes(file).substr(0, 4);
    EXPECT_EQ(magic, std::string(name).ends_with(".flac") ? "fLaC" : "RIFF");
  }
}

TEST_F(EspeakOutputTest, EnginesOfOneFactoryShareItsFile) {
  const auto alone = dir_.Path() / "alone.wav";
  {
    auto voice = EspeakEngineFactory({AudioOutput::Kind::File, alone})->CreateVoice();
    Say(*voice, kShort, 0);
  }
  const auto shared = dir_.Path() / "shared.wav";
  auto factory = EspeakEngineFactory({AudioOutput::Kind::File, shared});
  auto voice = factory->CreateVoice();
  auto direct = factory->CreateDirectSS(DirectSSRole::ParlanSapi);
  Say(*voice, kShort, voiceflags::kAsync);
  SayDirect(*direct, kShort);
  ASSERT_TRUE(WaitIdle(*voice));
  ASSERT_TRUE(WaitIdle(*direct));
  EXPECT_NEAR(double(SampleCount(shared)) / double(SampleCount(alone)), 2.0, 0.2);
}

TEST_F(EspeakOutputTest, NoOutputStillRaisesTheNotifications) {
  auto voice = EspeakEngineFactory({AudioOutput::Kind::None, {}})->CreateVoice();
  VoiceRecorder recorder;
  voice->SetEvents(&recorder);
  Say(*voice, kShort, voiceflags::kAsync);
  ASSERT_TRUE(WaitIdle(*voice));
  EXPECT_EQ(recorder.Kinds(), "SWWWWE");
}

// ----- Several engine objects at once -----

// Speaks three utterances on a voice and a direct object of their own and checks that each
// hears its own words, in order, with audio of the right length.
void SpeakAlongside(const std::filesystem::path& dir, const std::string& tag) {
  auto factory = EspeakEngineFactory({AudioOutput::Kind::File, dir / (tag + ".wav")});
  auto voice = factory->CreateVoice();
  auto direct =
      EspeakEngineFactory({AudioOutput::Kind::None, {}})->CreateDirectSS(DirectSSRole::Sapi4);
  VoiceRecorder heard;
  DirectRecorder directHeard;
  voice->SetEvents(&heard);
  direct->SetEvents(&directHeard);
  const std::u16string texts[] = {u"One two three.", u"Four five.", u"Six."};
  for (const auto& t : texts) {
    Say(*voice, t, voiceflags::kAsync);
    SayDirect(*direct, t);
  }
  ASSERT_TRUE(WaitIdle(*voice));
  ASSERT_TRUE(WaitIdle(*direct));
  EXPECT_EQ(heard.Kinds(), "SWWWESWWESWE");
  std::vector<std::u16string> words;
  size_t utterance = 0;
  for (const auto& e : heard.Events) {
    if (e.Kind == 'W')
      words.push_back(texts[utterance].substr(size_t(e.Position - 1), size_t(e.Length)));
    if (e.Kind == 'E') ++utterance;
  }
  EXPECT_EQ(words,
            (std::vector<std::u16string>{u"One", u"two", u"three", u"Four", u"five", u"Six"}));
  EXPECT_EQ(directHeard.Numbers(),
            (std::vector<int>{11, 15, 15, 15, 12, 11, 15, 15, 12, 11, 15, 12}));
  const double seconds = double(SampleCount(dir / (tag + ".wav"))) / kRate;
  EXPECT_GT(seconds, 1.5);
  EXPECT_LT(seconds, 6.0);
}

TEST_F(EspeakOutputTest, SeveralEnginesOnOneThreadSpeakAtOnce) {
  std::vector<std::unique_ptr<Voice>> voices;
  std::vector<std::filesystem::path> files;
  for (int i = 0; i < 3; ++i) {
    files.push_back(dir_.Path() / ("v" + std::to_string(i) + ".wav"));
    voices.push_back(EspeakEngineFactory({AudioOutput::Kind::File, files.back()})->CreateVoice());
    ASSERT_TRUE(voices.back()->SetRate(i * 5));
  }
  for (auto& v : voices) Say(*v, kSentence, voiceflags::kAsync);
  for (auto& v : voices) ASSERT_TRUE(WaitIdle(*v));
  // Each file holds its own sentence at its own rate.
  EXPECT_GT(SampleCount(files[0]), SampleCount(files[1]));
  EXPECT_GT(SampleCount(files[1]), SampleCount(files[2]));
  SpeakAlongside(dir_.Path(), "same-thread");
}

TEST_F(EspeakOutputTest, EnginesOnTwoThreadsSpeakAtOnce) {
  const auto dir = dir_.Path();
  std::thread other([&] { SpeakAlongside(dir, "other"); });
  SpeakAlongside(dir, "main");
  other.join();
}

// ----- The sound server -----

std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (size_t start = 0; start <= dirs.size();) {
    const size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return "";
}

// A private PulseAudio server with a null sink, reached by this process through PULSE_SERVER.
class SoundServerTest : public EspeakOutputTest {
 protected:
  void SetUp() override {
    EspeakOutputTest::SetUp();
    if (IsSkipped()) return;
    const std::string program = FindProgram("pulseaudio");
    if (program.empty())
      GTEST_SKIP() << "pulseaudio is not installed; the sound server is not tested";
    for (const char* sub : {"home", "runtime"})
      std::filesystem::create_directories(dir_.Path() / sub);
    socket_ = dir_.Path() / "runtime" / "native";
    Spawn(program);
    for (int i = 0; i < 500 && !std::filesystem::exists(socket_); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(std::filesystem::exists(socket_)) << "pulseaudio did not start";
    const char* old = std::getenv("PULSE_SERVER");
    if (old) oldServer_ = old;
    ::setenv("PULSE_SERVER", ("unix:" + socket_.string()).c_str(), 1);
  }

  void TearDown() override {
    if (oldServer_)
      ::setenv("PULSE_SERVER", oldServer_->c_str(), 1);
    else
      ::unsetenv("PULSE_SERVER");
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  void Spawn(const std::string& program) {
    const std::string home = (dir_.Path() / "home").string();
    const std::string runtime = (dir_.Path() / "runtime").string();
    std::vector<std::string> env = {"HOME=" + home, "XDG_RUNTIME_DIR=" + runtime,
                                    "PULSE_RUNTIME_PATH=" + runtime};
    for (char** e = environ; *e; ++e) {
      const std::string s = *e;
      if (!s.starts_with("HOME=") && !s.starts_with("XDG_RUNTIME_DIR=") && !s.starts_with("PULSE_"))
        env.push_back(s);
    }
    std::vector<std::string> args = {
        program,
        "-n",
        "--daemonize=no",
        "--exit-idle-time=-1",
        "--system=false",
        "--use-pid-file=false",
        "-L",
        "module-null-sink sink_name=parlan_null",
        "-L",
        "module-native-protocol-unix auth-anonymous=1 socket=" + socket_.string()};
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string log = (dir_.Path() / "pulseaudio.log").string();
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_EQ(rc, 0) << "could not start pulseaudio";
  }

  static std::shared_ptr<EngineFactory> Server() {
    return EspeakEngineFactory({AudioOutput::Kind::SoundServer, {}});
  }

  std::filesystem::path socket_;
  std::optional<std::string> oldServer_;
  pid_t pid_ = -1;
};

TEST_F(SoundServerTest, PlaysAtThePaceOfSpeechWithItsNotifications) {
  const auto rendered = dir_.Path() / "reference.wav";
  {
    auto voice = EspeakEngineFactory({AudioOutput::Kind::File, rendered})->CreateVoice();
    Say(*voice, kShort, 0);
  }
  const double seconds = double(SampleCount(rendered)) / kRate;
  auto voice = Server()->CreateVoice();
  VoiceRecorder recorder;
  voice->SetEvents(&recorder);
  const auto start = Clock::now();
  Say(*voice, kShort, voiceflags::kAsync);
  ASSERT_TRUE(WaitIdle(*voice));
  const double took = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_GT(took, 0.8 * seconds);
  EXPECT_LT(took, seconds + 3.0);
  EXPECT_EQ(recorder.Kinds(), "SWWWWE");
}

TEST_F(SoundServerTest, PurgeStopsPlaybackPromptly) {
  auto direct = Server()->CreateDirectSS(DirectSSRole::Sapi4);
  DirectRecorder recorder;
  direct->SetEvents(&recorder);
  std::u16string paragraph;
  for (int i = 0; i < 5; ++i) paragraph += kSentence + std::u16string(u" ");
  SayDirect(*direct, paragraph);  // about fifteen seconds
  // Word notifications come as their audio reaches the server: wait until the audio flows
  // (a null sink may take a while to start).
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  auto wordsHeard = [&] {
    const std::vector<int> numbers = recorder.Numbers();
    return std::count(numbers.begin(), numbers.end(), 15);
  };
  while (wordsHeard() < 3 && Clock::now() < deadline) {
    direct->PumpEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(direct->Busy());
  EXPECT_LT(wordsHeard(), 20) << "the words ran ahead of the audio";
  Variant result;
  const auto stop = Clock::now();
  ASSERT_TRUE(direct->Invoke(ss::kStop, CallKind::Method, {}, result));
  ASSERT_TRUE(WaitIdle(*direct));
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - stop).count(), 0.5);
  EXPECT_EQ(recorder.Numbers().back(), 12);
}

// Word notifications come at the pace of the audio, not as fast as it is handed to the server:
// the time between two notifications matches the audio between their words.
TEST_F(SoundServerTest, WordNotificationsKeepPaceWithTheAudio) {
  auto direct = Server()->CreateDirectSS(DirectSSRole::Sapi4);
  struct Timed : DirectRecorder {
    void WordPosition(int32_t hi, int32_t lo, int32_t offset) override {
      DirectRecorder::WordPosition(hi, lo, offset);
      Arrived.push_back(Clock::now());
    }
    std::vector<Clock::time_point> Arrived;
  } recorder;
  direct->SetEvents(&recorder);
  std::u16string paragraph;
  for (int i = 0; i < 2; ++i) paragraph += kSentence + std::u16string(u" ");
  SayDirect(*direct, paragraph);
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  while (direct->Busy() && Clock::now() < deadline) {
    direct->PumpEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::vector<DirectEvent> words;
  for (const DirectEvent& e : recorder.Events)
    if (e.Number == 15) words.push_back(e);
  ASSERT_EQ(words.size(), recorder.Arrived.size());
  ASSERT_GE(words.size(), 16u);
  // From the second word on (the first comes when the audio starts, whatever the latency).
  double worst = 0;
  for (size_t k = 2; k < words.size(); ++k) {
    const double heard = double(words[k].Clock - words[1].Clock) / (2.0 * kRate);
    const double told =
        std::chrono::duration<double>(recorder.Arrived[k] - recorder.Arrived[1]).count();
    worst = std::max(worst, std::abs(told - heard));
  }
  // Running ahead would put whole seconds between the two; a loaded machine may add a little.
  EXPECT_LT(worst, 0.3);
}

TEST_F(SoundServerTest, ReachabilityIsReported) {
  EXPECT_TRUE(SoundServerReachable());
  ::setenv("PULSE_SERVER", ("unix:" + (dir_.Path() / "nowhere").string()).c_str(), 1);
  EXPECT_FALSE(SoundServerReachable());
}

TEST_F(SoundServerTest, UnreachableServerDropsTheAudioWithoutHanging) {
  ::setenv("PULSE_SERVER", ("unix:" + (dir_.Path() / "nowhere").string()).c_str(), 1);
  auto voice = Server()->CreateVoice();
  VoiceRecorder recorder;
  voice->SetEvents(&recorder);
  const auto start = Clock::now();
  Say(*voice, kSentence, 0);
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 2.0);
  ASSERT_TRUE(WaitIdle(*voice));
  EXPECT_EQ(recorder.Kinds().front(), 'S');
  EXPECT_EQ(recorder.Kinds().back(), 'E');
}

}  // namespace
}  // namespace parlan::engines

#else

TEST(EspeakOutput, NeedsEspeak) {
  GTEST_SKIP() << "built without eSpeak NG";
}

#endif
