// The module in-process, talking through pipes as it does to speech-dispatcher: replies and
// events in order, index marks after the audio before them, STOP, PAUSE, the prosody settings
// as heard in the samples handed over, and malformed requests.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "Loop.h"
#include "parlan/EspeakEngines.h"

namespace parlan::speechd {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
constexpr int kRate = 22050;

struct Line {
  Clock::time_point At;
  std::string Text;
  size_t SamplesBefore = 0;  // audio received before this line
};

// Runs the module on a thread and reads what it writes, as the server would; with `paced`, no
// faster than the audio would play.
class ModuleRun {
 public:
  explicit ModuleRun(bool paced, ModuleConfig config = {}) : paced_(paced) {
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) std::abort();
    toModule_ = in[1];
    fromModule_ = out[0];
    module_ = std::thread([this, in, out, config] {
      RunModule(in[0], out[1], config);
      ::close(in[0]);
      ::close(out[1]);
      finished_ = true;
    });
    reader_ = std::thread([this] { Read(); });
    Send("INIT\nAUDIO\naudio_output_method=server\n.\n");
    EXPECT_TRUE(WaitFor("203 OK AUDIO INITIALIZED", 20s));
  }

  ~ModuleRun() {
    if (toModule_ >= 0) ::close(toModule_);
    module_.join();
    reader_.join();
    ::close(fromModule_);
  }

  void Send(const std::string& text) {
    EXPECT_EQ(::write(toModule_, text.data(), text.size()), ssize_t(text.size()));
  }
  // Reads everything at once from now on.
  void Unpace() { paced_ = false; }
  void CloseInput() {
    ::close(toModule_);
    toModule_ = -1;
  }

  bool WaitFor(const std::string& text, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return Find(text) >= 0; });
  }
  // Waits until `count` lines equal `text`.
  bool WaitForCount(const std::string& text, size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
      return size_t(std::count_if(lines_.begin(), lines_.end(),
                                  [&](const Line& l) { return l.Text == text; })) >= count;
    });
  }
  bool WaitForSamples(size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return samples_.size() >= count; });
  }
  // The index of the first line equal to `text` (or starting with it, for "prefix*"), or -1.
  int Find(const std::string& text) const {
    for (size_t i = 0; i < lines_.size(); ++i)
      if (lines_[i].Text == text ||
          (text.ends_with('*') && lines_[i].Text.starts_with(text.substr(0, text.size() - 1))))
        return int(i);
    return -1;
  }
  std::vector<Line> Lines() {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  // The events (7xx) from `from` on, as one text.
  std::string Events(size_t from = 0) {
    std::lock_guard lock(mutex_);
    std::string out;
    for (size_t i = from; i < lines_.size(); ++i)
      if (lines_[i].Text[0] == '7' && !lines_[i].Text.starts_with("705"))
        out += (out.empty() ? "" : "|") + lines_[i].Text;
    return out;
  }
  std::vector<int16_t> Samples() {
    std::lock_guard lock(mutex_);
    return samples_;
  }
  bool Finished() const { return finished_; }

 private:
  void Read() {
    std::string buffer;
    char chunk[4096];
    const auto start = Clock::now();
    for (;;) {
      const ssize_t n = ::read(fromModule_, chunk, sizeof chunk);
      if (n <= 0) break;
      buffer.append(chunk, size_t(n));
      size_t end;
      while ((end = buffer.find('\n')) != std::string::npos) {
        Take(buffer.substr(0, end));
        buffer.erase(0, end + 1);
      }
      const auto due =
          start + std::chrono::microseconds(int64_t(Samples().size()) * 1000000 / kRate);
      while (paced_ && Clock::now() < due) std::this_thread::sleep_for(1ms);
    }
  }

  void Take(const std::string& line) {
    std::lock_guard lock(mutex_);
    static const std::string audio = std::string("705-AUDIO") + '\0';
    if (line.starts_with(audio)) {
      std::string bytes;
      for (size_t i = audio.size(); i < line.size(); ++i)
        bytes += line[i] == 0x7D && i + 1 < line.size() ? char(line[++i] ^ 0x20) : line[i];
      for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        samples_.push_back(int16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8)));
    } else if (!line.starts_with("705")) {
      lines_.push_back(Line{Clock::now(), line, samples_.size()});
    }
    changed_.notify_all();
  }

  std::atomic<bool> paced_;
  int toModule_ = -1, fromModule_ = -1;
  std::thread module_, reader_;
  std::atomic<bool> finished_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Line> lines_;
  std::vector<int16_t> samples_;
};

class ModuleTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!engines::EspeakAvailable()) GTEST_SKIP() << "eSpeak NG could not be started";
  }
};

std::string Speak(const std::string& ssml, const std::string& command = "SPEAK") {
  return command + "\n" + ssml + "\n.\n";
}

TEST_F(ModuleTest, MarksComeAfterTheAudioBeforeThem) {
  ModuleRun run(false);
  run.Send(
      Speak("<speak>One two three.<mark name=\"a\"/>Four five.<mark name=\"__spd_1\"/>"
            "</speak>"));
  ASSERT_TRUE(run.WaitFor("702 END", 30s));
  EXPECT_EQ(run.Events(), "701 BEGIN|700-a|700 INDEX MARK|700-__spd_1|700 INDEX MARK|702 END");
  const std::vector<Line> lines = run.Lines();
  const size_t atA = lines[size_t(run.Find("700-a"))].SamplesBefore;
  const size_t atEnd = lines[size_t(run.Find("702 END"))].SamplesBefore;
  EXPECT_GT(atA, size_t(kRate / 2));          // "One two three." was handed over first
  EXPECT_GT(atEnd - atA, size_t(kRate / 3));  // then "Four five."
  EXPECT_EQ(atEnd, run.Samples().size());     // nothing after the end
}

TEST_F(ModuleTest, StopSilencesTheMessageAtOnce) {
  ModuleRun run(true);
  std::string text;
  for (int i = 0; i < 10; ++i) text += "The quick brown fox jumps over the lazy dog. ";
  run.Send(Speak(text));
  ASSERT_TRUE(run.WaitForSamples(kRate, 30s));  // a second of it
  const size_t before = run.Samples().size();
  run.Unpace();
  const auto stop = Clock::now();
  run.Send("STOP\n");
  ASSERT_TRUE(run.WaitFor("703 STOP", 5s));
  const std::vector<Line> lines = run.Lines();
  const Line& stopped = lines[size_t(run.Find("703 STOP"))];
  const double took = std::chrono::duration<double>(stopped.At - stop).count();
  std::this_thread::sleep_for(300ms);
  const double after = double(run.Samples().size() - before) / kRate;
  std::printf("STOP: event after %.1f ms, %.1f ms of audio after the request\n", took * 1000,
              after * 1000);
  EXPECT_LT(took, 0.05);
  EXPECT_LT(after, 0.05);  // what was already in the pipe
  EXPECT_EQ(run.Events(), "701 BEGIN|703 STOP");
  EXPECT_EQ(stopped.SamplesBefore, run.Samples().size());
  // The module takes the next message.
  run.Send(Speak("Again."));
  EXPECT_TRUE(run.WaitFor("702 END", 30s));
}

TEST_F(ModuleTest, PauseStopsAtTheNextDispatcherMark) {
  ModuleRun run(true);
  run.Send(
      Speak("<speak>First sentence here.<mark name=\"__spd_1\"/>Second one.<mark "
            "name=\"__spd_2\"/>Third.</speak>"));
  ASSERT_TRUE(run.WaitFor("701 BEGIN", 30s));
  run.Send("PAUSE\n");
  ASSERT_TRUE(run.WaitFor("704 PAUSE", 30s));
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(run.Events(), "701 BEGIN|700-__spd_1|700 INDEX MARK|704 PAUSE");
}

TEST_F(ModuleTest, ASecondMessageWhileSpeakingIsRefused) {
  ModuleRun run(true);
  run.Send(Speak("This first message is long enough to still be speaking."));
  ASSERT_TRUE(run.WaitFor("701 BEGIN", 30s));
  run.Send(Speak("Second."));
  ASSERT_TRUE(run.WaitFor("301 ERROR CANT SPEAK", 5s));
  ASSERT_TRUE(run.WaitFor("702 END", 30s));
  EXPECT_EQ(run.Events(), "701 BEGIN|702 END");
}

struct ProsodyCase {
  const char* Name;
  const char* Low;   // SET lines for the first rendering
  const char* High;  // and for the second
  double (*Measure)(const std::vector<int16_t>&);
  double MinRatio;  // Measure(high) / Measure(low) at least
};

double Length(const std::vector<int16_t>& s) {
  return double(s.size());
}
double Level(const std::vector<int16_t>& s) {
  double sum = 0;
  for (int16_t v : s) sum += double(v) * v;
  return std::sqrt(sum / double(std::max<size_t>(s.size(), 1)));
}
// The median fundamental frequency of the voiced frames (autocorrelation, 80 to 400 Hz).
double Pitch(const std::vector<int16_t>& s) {
  constexpr size_t kFrame = kRate / 25, kHop = kRate / 50;
  std::vector<double> found;
  for (size_t at = 0; at + kFrame + kRate / 80 < s.size(); at += kHop) {
    auto corr = [&](size_t lag) {
      double sum = 0;
      for (size_t i = at; i < at + kFrame; ++i) sum += double(s[i]) * s[i + lag];
      return sum;
    };
    const double energy = corr(0);
    if (energy < kFrame * 500.0 * 500.0) continue;  // not voiced speech
    size_t best = 0;
    double bestValue = 0;
    for (size_t lag = kRate / 400; lag <= kRate / 80; ++lag) {
      const double c = corr(lag) / energy;
      if (c > bestValue) bestValue = c, best = lag;
    }
    if (bestValue > 0.6) found.push_back(double(kRate) / double(best));
  }
  if (found.empty()) return 1;
  std::nth_element(found.begin(), found.begin() + long(found.size() / 2), found.end());
  return found[found.size() / 2];
}

[[maybe_unused]] void PrintTo(const ProsodyCase& c, std::ostream* os) {
  *os << c.Name;
}

class ProsodyTest : public ModuleTest, public testing::WithParamInterface<ProsodyCase> {};

TEST_P(ProsodyTest, SettingsChangeTheAudioAsTheyShould) {
  ModuleRun run(false);
  size_t rendered = 0;
  auto render = [&](const char* set) {
    const size_t from = run.Samples().size();
    run.Send(std::string("SET\n") + set + ".\n");
    run.Send(Speak("Seven silly sheep slept soundly."));
    EXPECT_TRUE(run.WaitForCount("702 END", ++rendered, 30s));
    std::vector<int16_t> all = run.Samples();
    return std::vector<int16_t>(all.begin() + long(from), all.end());
  };
  const std::vector<int16_t> low = render(GetParam().Low);
  const std::vector<int16_t> high = render(GetParam().High);
  const double ratio = GetParam().Measure(high) / GetParam().Measure(low);
  std::printf("%s: ratio %.2f\n", GetParam().Name, ratio);
  EXPECT_GT(ratio, GetParam().MinRatio);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ProsodyTest,
    testing::Values(ProsodyCase{"rate", "rate=50\n", "rate=-50\n", Length, 1.4},
                    ProsodyCase{"pitch", "pitch=-60\n", "pitch=60\n", Pitch, 1.3},
                    ProsodyCase{"volume", "volume=-60\n", "volume=100\n", Level, 2.5}),
    [](const auto& info) { return std::string(info.param.Name); });

struct ReplyCase {
  const char* Input;
  const char* Reply;
};

[[maybe_unused]] void PrintTo(const ReplyCase& c, std::ostream* os) {
  *os << '"' << c.Input << '"';
}

class RequestTest : public ModuleTest, public testing::WithParamInterface<ReplyCase> {};

TEST_P(RequestTest, OddRequestsGetAnErrorAndTheModuleGoesOn) {
  ModuleRun run(false);
  run.Send(GetParam().Input);
  EXPECT_TRUE(run.WaitFor(GetParam().Reply, 10s)) << GetParam().Input;
  run.Send("QUIT\n");
  EXPECT_TRUE(run.WaitFor("210 OK QUIT", 10s));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RequestTest,
    testing::Values(ReplyCase{"BOGUS\n", "300 ERR UNKNOWN COMMAND"},
                    ReplyCase{"\xff\xfe garbage\r\n", "300 ERR UNKNOWN COMMAND"},
                    ReplyCase{"CHAR\na\nb\n.\n", "305 DATA MORE THAN ONE LINE"},
                    ReplyCase{"SPEAK\n.\n", "301 ERROR CANT SPEAK"},
                    ReplyCase{"SET\nnonsense\n.\n", "302 ERROR BAD SYNTAX"},
                    ReplyCase{"SET\nrate=fast\nvoice=\n.\n", "203 OK SETTINGS RECEIVED"},
                    ReplyCase{"DEBUG\n", "302 ERROR BAD SYNTAX"},
                    ReplyCase{"STOP\nPAUSE\nLOGLEVEL\nlog_level=3\n.\n", "203 OK LOGLEVEL SET"},
                    ReplyCase{"LIST VOICES\n", "200-English Female (Parlan)\ten-US\tfemale1"},
                    ReplyCase{"KEY\nshift_kp-enter\n.\n", "200 OK SPEAKING"},
                    ReplyCase{"SOUND_ICON\nmessage-new\n.\n", "200 OK SPEAKING"}));

TEST_F(ModuleTest, EndOfInputWhileSpeakingEndsTheModule) {
  ModuleRun run(true);
  run.Send(Speak("A message that is cut off by the server going away."));
  ASSERT_TRUE(run.WaitFor("701 BEGIN", 30s));
  run.CloseInput();
  for (int i = 0; i < 300 && !run.Finished(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(run.Finished());
}

TEST_F(ModuleTest, ServerAudioCanBeTurnedOff) {
  ModuleConfig config;
  config.ServerAudio = false;
  int in[2], out[2];
  ASSERT_EQ(::pipe(in), 0);
  ASSERT_EQ(::pipe(out), 0);
  const std::string input =
      "INIT\nAUDIO\naudio_output_method=server\n.\nAUDIO\n"
      "audio_output_method=pulse\naudio_pulse_device=default\n.\nQUIT\n";
  ASSERT_EQ(::write(in[1], input.data(), input.size()), ssize_t(input.size()));
  ::close(in[1]);
  RunModule(in[0], out[1], config);
  ::close(out[1]);
  std::string output(4096, '\0');
  output.resize(size_t(std::max<ssize_t>(::read(out[0], output.data(), output.size()), 0)));
  ::close(in[0]);
  ::close(out[0]);
  EXPECT_NE(output.find("303 ERROR INVALID PARAMETER OR VALUE\n207 OK RECEIVING AUDIO "
                        "SETTINGS\n203 OK AUDIO INITIALIZED\n210 OK QUIT\n"),
            std::string::npos)
      << output;
}

}  // namespace
}  // namespace parlan::speechd
