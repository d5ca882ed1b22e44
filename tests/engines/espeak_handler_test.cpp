// Audio handed to the host: the samples arrive in order and whole, the notifications wait for
// the audio before them (so a slow handler paces them), and a purge drops what is left.
#include <gtest/gtest.h>

#include "parlan/EspeakEngines.h"

#if PARLAN_HAVE_ESPEAK

#include <atomic>
#include <mutex>
#include <thread>

#include "SpeechTestKit.h"
#include "engines/AudioSinks.h"
#include "testkit/TestKit.h"

namespace parlan::engines {
namespace {

using namespace speechtest;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Keeps what it is handed; waits `delay` for every piece, as a full pipe would.
struct Receiver {
  explicit Receiver(std::chrono::microseconds delay = {}) : Delay(delay) {}
  AudioOutput Output() {
    AudioOutput out;
    out.kind = AudioOutput::Kind::Handler;
    out.handler = [this](const int16_t* s, size_t n) {
      std::this_thread::sleep_for(Delay);
      std::lock_guard lock(Mutex);
      Samples.insert(Samples.end(), s, s + n);
    };
    return out;
  }
  size_t Count() {
    std::lock_guard lock(Mutex);
    return Samples.size();
  }
  std::chrono::microseconds Delay;
  std::mutex Mutex;
  std::vector<int16_t> Samples;
};

class HandlerOutputTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!EspeakAvailable()) GTEST_SKIP() << "eSpeak NG could not be started";
  }
};

TEST_F(HandlerOutputTest, HandsOverTheAudioAFileWouldGet) {
  testkit::TempDir dir;
  const std::u16string text = u"Hello there, big world.";
  int32_t stream = 0;
  {
    auto voice =
        EspeakEngineFactory({AudioOutput::Kind::File, dir.Path() / "a.wav"})->CreateVoice();
    ASSERT_TRUE(voice->Speak(&text, 0, stream));
  }
  SoundFile file;
  ASSERT_TRUE(ReadSoundFile(dir.Path() / "a.wav", file));
  Receiver receiver;
  auto voice = EspeakEngineFactory(receiver.Output())->CreateVoice();
  VoiceRecorder recorder;
  voice->SetEvents(&recorder);
  ASSERT_TRUE(voice->Speak(&text, voiceflags::kAsync, stream));
  ASSERT_TRUE(WaitIdle(*voice));
  EXPECT_EQ(recorder.Kinds(), "SWWWWE");
  // The same speech (eSpeak NG's first utterance in a process may differ by a few milliseconds).
  EXPECT_NEAR(double(receiver.Samples.size()), double(file.Samples.size()), 0.05 * kRate);
  EXPECT_NEAR(Rms(receiver.Samples), Rms(file.Samples), 0.1 * Rms(file.Samples));
}

TEST_F(HandlerOutputTest, ASlowHandlerPacesTheNotificationsAndAPurgeDropsTheRest) {
  // Each 23 ms piece takes 10 ms to hand over: a sentence of some three seconds takes over one.
  Receiver receiver(10ms);
  auto direct = EspeakEngineFactory(receiver.Output())->CreateDirectSS(DirectSSRole::ParlanSapi);
  DirectRecorder recorder;
  direct->SetEvents(&recorder);
  Variant result;
  const std::u16string text = u"The quick brown fox jumps over the lazy dog, twice over.";
  ASSERT_TRUE(direct->Invoke(ss::kSpeak, CallKind::Method,
                             {Variant(ss::kSpeakText), Variant(1), Variant(text)}, result));
  std::this_thread::sleep_for(300ms);
  direct->PumpEvents();
  ASSERT_TRUE(direct->Busy()) << "the end came before its audio was handed over";
  const size_t handed = receiver.Count();
  EXPECT_GT(handed, 0u);
  const auto stop = Clock::now();
  ASSERT_TRUE(direct->Invoke(ss::kStop, CallKind::Method, {}, result));
  ASSERT_TRUE(WaitIdle(*direct));
  EXPECT_LT(Clock::now() - stop, 500ms);
  EXPECT_EQ(recorder.Numbers().back(), 12);  // the stop notification still comes
  EXPECT_LT(receiver.Count(), handed + 4 * 512);
  EXPECT_LT(double(receiver.Count()) / kRate, 2.0);
}

}  // namespace
}  // namespace parlan::engines

#endif
