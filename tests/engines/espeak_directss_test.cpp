// The direct text-to-speech object on eSpeak NG: every dispatch identifier, rendered speech
// measured in sound files, and its three notifications.
#include <gtest/gtest.h>

#include "parlan/EspeakEngines.h"

#if PARLAN_HAVE_ESPEAK

#include "SpeechTestKit.h"
#include "engines/AudioSinks.h"
#include "strings/Unicode.h"
#include "testkit/TestKit.h"

namespace parlan::engines {
namespace {

using namespace speechtest;
namespace r = espeak_ranges;

constexpr char16_t kSentence[] = u"The quick brown fox jumps over the lazy dog.";

class EspeakDirectSSTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!EspeakAvailable()) GTEST_SKIP() << "eSpeak NG could not be started on this machine";
  }

  std::unique_ptr<DirectSS> NewEngine(std::filesystem::path& file) {
    file = dir_.Path() / ("ss" + std::to_string(++files_) + ".wav");
    return EspeakEngineFactory({AudioOutput::Kind::File, file})
        ->CreateDirectSS(DirectSSRole::Sapi4);
  }

  std::vector<int16_t> Render(const std::function<void(DirectSS&)>& use) {
    std::filesystem::path file;
    auto engine = NewEngine(file);
    use(*engine);
    EXPECT_TRUE(WaitIdle(*engine));
    SoundFile sound;
    EXPECT_TRUE(ReadSoundFile(file, sound));
    return sound.Samples;
  }

  static bool Call(DirectSS& e, int32_t dispid, CallKind kind, std::vector<Variant> args,
                   Variant* out = nullptr) {
    Variant result;
    const bool ok = e.Invoke(dispid, kind, args, result);
    if (out) *out = result;
    return ok;
  }

  static int32_t Read(DirectSS& e, int32_t dispid) {
    Variant v;
    EXPECT_TRUE(Call(e, dispid, CallKind::Get, {}, &v)) << dispid;
    return v.type() == Variant::Type::Long ? v.AsLong() : -1;
  }

  static void Speak(DirectSS& e, const std::u16string& text, int32_t code = ss::kSpeakText) {
    ASSERT_TRUE(Call(e, ss::kSpeak, CallKind::Method, {Variant(code), Variant(1), Variant(text)}));
  }

  testkit::TempDir dir_;
  int files_ = 0;
};

TEST_F(EspeakDirectSSTest, RangesAndSettings) {
  std::filesystem::path file;
  auto e = NewEngine(file);
  struct Setting {
    int32_t Value, Min, Max, Lowest, Highest, Normal;
  };
  const Setting settings[] = {
      {ss::kPitch, ss::kMinPitch, ss::kMaxPitch, r::kMinPitch, r::kMaxPitch, r::kNormalPitch},
      {ss::kSpeed, ss::kMinSpeed, ss::kMaxSpeed, r::kMinSpeed, r::kMaxSpeed, r::kNormalSpeed},
      {ss::kVolume1, ss::kMinVolume1, ss::kMaxVolume1, r::kMinVolume, r::kMaxVolume, r::kMaxVolume},
      {ss::kVolume2, ss::kMinVolume2, ss::kMaxVolume2, r::kMinVolume, r::kMaxVolume, r::kMaxVolume},
  };
  for (const Setting& s : settings) {
    SCOPED_TRACE(s.Value);
    EXPECT_EQ(Read(*e, s.Min), s.Lowest);
    EXPECT_EQ(Read(*e, s.Max), s.Highest);
    EXPECT_EQ(Read(*e, s.Value), s.Normal);
    EXPECT_TRUE(Call(*e, s.Value, CallKind::Put, {Variant(s.Lowest)}));
    EXPECT_EQ(Read(*e, s.Value), s.Lowest);
    EXPECT_FALSE(Call(*e, s.Value, CallKind::Put, {Variant(s.Highest + 1)}));
    EXPECT_FALSE(Call(*e, s.Value, CallKind::Put, {Variant(s.Lowest - 1)}));
    EXPECT_FALSE(Call(*e, s.Value, CallKind::Put, {Variant(u"5")}));
    EXPECT_FALSE(Call(*e, s.Value, CallKind::Put, {}));
    EXPECT_EQ(Read(*e, s.Value), s.Lowest);
    EXPECT_FALSE(Call(*e, s.Max, CallKind::Put, {Variant(1)}));
  }
}

TEST_F(EspeakDirectSSTest, UnknownIdentifiersAndWrongArgumentsFail) {
  std::filesystem::path file;
  auto e = NewEngine(file);
  EXPECT_FALSE(Call(*e, 1234, CallKind::Get, {}));
  EXPECT_FALSE(Call(*e, ss::kStop, CallKind::Method, {Variant(1)}));
  EXPECT_FALSE(Call(*e, ss::kSpeak, CallKind::Method, {Variant(0), Variant(u"x")}));
  EXPECT_FALSE(Call(*e, ss::kSpeak, CallKind::Method, {Variant(7), Variant(1), Variant(u"x")}));
  EXPECT_FALSE(Call(*e, ss::kSpeak, CallKind::Method, {Variant(0), Variant(1), Variant(5)}));
  EXPECT_FALSE(Call(*e, ss::kFind, CallKind::Get, {Variant(5)}));
  EXPECT_FALSE(Call(*e, ss::kSelect, CallKind::Get, {Variant(1)}));
  EXPECT_TRUE(WaitIdle(*e));
}

TEST_F(EspeakDirectSSTest, ModesNamesSelectionAndFind) {
  std::filesystem::path file;
  auto e = NewEngine(file);
  const int32_t count = Read(*e, ss::kCountModes);
  ASSERT_GE(count, 2);
  Variant name;
  ASSERT_TRUE(Call(*e, ss::kModeName, CallKind::Get, {Variant(int16_t(1))}, &name));
  EXPECT_FALSE(name.AsString().empty());
  EXPECT_FALSE(Call(*e, ss::kModeName, CallKind::Get, {Variant(0)}));
  EXPECT_FALSE(Call(*e, ss::kModeName, CallKind::Get, {Variant(count + 1)}));
  EXPECT_TRUE(Call(*e, ss::kCurrentMode, CallKind::Put, {Variant(count)}));
  EXPECT_EQ(Read(*e, ss::kCurrentMode), count);
  EXPECT_FALSE(Call(*e, ss::kCurrentMode, CallKind::Put, {Variant(count + 1)}));
  EXPECT_TRUE(Call(*e, ss::kSelect, CallKind::Method, {Variant(2)}));
  EXPECT_EQ(Read(*e, ss::kCurrentMode), 2);
  EXPECT_FALSE(Call(*e, ss::kSelect, CallKind::Method, {Variant(0)}));

  // The control's criteria for a female and a male American English mode.
  Variant female, male;
  ASSERT_TRUE(Call(*e, ss::kFind, CallKind::Get, {Variant(u"EngineID=;Gender= 1;LanguageID=1033")},
                   &female));
  ASSERT_TRUE(
      Call(*e, ss::kFind, CallKind::Get, {Variant(u"EngineID=;Gender= 2;LanguageID=1033")}, &male));
  ASSERT_TRUE(Call(*e, ss::kModeName, CallKind::Get, {female}, &name));
  EXPECT_NE(name.AsString().find(u"America"), std::u16string::npos) << ToUtf8(name.AsString());
  EXPECT_TRUE(name.AsString().ends_with(u" Female"));
  ASSERT_TRUE(Call(*e, ss::kModeName, CallKind::Get, {male}, &name));
  EXPECT_FALSE(name.AsString().ends_with(u" Female"));
  EXPECT_FALSE(Call(*e, ss::kFind, CallKind::Get, {Variant(u"EngineID=none;Gender=;LanguageID=")}));
}

TEST_F(EspeakDirectSSTest, TextRaisesStartWordsAndStop) {
  std::filesystem::path file;
  auto e = NewEngine(file);
  DirectRecorder recorder;
  e->SetEvents(&recorder);
  const std::u16string text = u"Hello there, big world.";
  Speak(*e, text);
  Speak(*e, u"Again.");
  ASSERT_TRUE(WaitIdle(*e));
  EXPECT_EQ(recorder.Numbers(), (std::vector<int>{11, 15, 15, 15, 15, 12, 11, 15, 12}));
  recorder.Events.resize(6);
  EXPECT_EQ(recorder.Words(text),
            (std::vector<std::u16string>{u"Hello", u"there", u"big", u"world"}));
  // The clock is the position in the engine's audio: it never goes back, and the first
  // utterance's stop is as far as its audio reaches.
  for (size_t i = 1; i < recorder.Events.size(); ++i)
    EXPECT_GE(recorder.Events[i].Clock, recorder.Events[i - 1].Clock);
  EXPECT_GT(recorder.Events[5].Clock, 2 * kRate / 2);
}

TEST_F(EspeakDirectSSTest, PhonemeStringSoundsLikeTheWord) {
  const auto word = Render([](DirectSS& e) { Speak(e, u"hello"); });
  const auto phonemes = Render([](DirectSS& e) { Speak(e, u"h@loU#", ss::kSpeakPhonemes); });
  ASSERT_GT(SpokenSeconds(word), 0.2);
  EXPECT_NEAR(SpokenSeconds(phonemes) / SpokenSeconds(word), 1.0, 0.4);
  // Marks between words are pauses: the word after them is still spoken.
  const auto two =
      Render([](DirectSS& e) { Speak(e, u"h@loU*.h@loU*,h@loU#", ss::kSpeakPhonemes); });
  EXPECT_GT(SpokenSeconds(two), 2.4 * SpokenSeconds(word));
}

TEST_F(EspeakDirectSSTest, PhonemeWordsPointIntoThePhonemeString) {
  std::filesystem::path file;
  auto e = NewEngine(file);
  DirectRecorder recorder;
  e->SetEvents(&recorder);
  const std::u16string text = u"h@loU*,w3:ld*.#";
  Speak(*e, text, ss::kSpeakPhonemes);
  Speak(*e, u"##", ss::kSpeakPhonemes);  // says nothing
  ASSERT_TRUE(WaitIdle(*e));
  EXPECT_EQ(recorder.Numbers(), (std::vector<int>{11, 15, 15, 12, 11, 12}));
  EXPECT_EQ(recorder.Words(text), (std::vector<std::u16string>{u"h@loU", u"w3:ld"}));
}

// The same phonemes as a statement, a question and an exclamation: the question rises at its
// end where the statement falls, and the exclamation starts higher.
TEST_F(EspeakDirectSSTest, QuestionRisesAndExclamationIsRaised) {
  auto say = [&](const std::u16string& mark) {
    return Render(
        [&](DirectSS& e) { Speak(e, u"Ar j'u: r'edi" + mark + u"#", ss::kSpeakPhonemes); });
  };
  const auto statement = say(u"*.");
  const auto question = say(u"*?");
  const auto exclamation = say(u"*!");
  EXPECT_GT(EndF0(question), 1.15 * EndF0(statement));
  EXPECT_GT(MedianF0(exclamation), 1.03 * MedianF0(statement));
}

TEST_F(EspeakDirectSSTest, PitchSpeedAndVolumeAreHeard) {
  auto with = [&](int32_t dispid, int32_t value) {
    return Render([&](DirectSS& e) {
      ASSERT_TRUE(Call(e, dispid, CallKind::Put, {Variant(value)}));
      Speak(e, u"Many more melons.");
    });
  };
  EXPECT_GT(MedianF0(with(ss::kPitch, 95)), 1.2 * MedianF0(with(ss::kPitch, 5)));
  EXPECT_LT(SpokenSeconds(with(ss::kSpeed, 450)), 0.6 * SpokenSeconds(with(ss::kSpeed, 120)));
  const double full = Rms(with(ss::kVolume1, r::kMaxVolume));
  EXPECT_NEAR(Rms(with(ss::kVolume1, 0)) / full, 0.5, 0.15);  // the mean of the two levels
  EXPECT_NEAR(Rms(with(ss::kVolume2, 13107)) / full, 0.6, 0.15);
}

TEST_F(EspeakDirectSSTest, StopDropsQueuedAndPlayingSpeech) {
  std::filesystem::path file;
  auto e = NewEngine(file);
  DirectRecorder recorder;
  e->SetEvents(&recorder);
  std::u16string paragraph;
  for (int i = 0; i < 6; ++i) paragraph += kSentence + std::u16string(u" ");
  for (int i = 0; i < 8; ++i) Speak(*e, paragraph);
  ASSERT_TRUE(Call(*e, ss::kStop, CallKind::Method, {}));
  ASSERT_TRUE(WaitIdle(*e));
  const auto numbers = recorder.Numbers();
  const auto starts = std::count(numbers.begin(), numbers.end(), 11);
  EXPECT_LT(starts, 8);
  EXPECT_EQ(starts, std::count(numbers.begin(), numbers.end(), 12));
  // Speech may have been dropped before any audio was written, leaving no file at all.
  SoundFile sound;
  if (std::filesystem::exists(file)) {
    ASSERT_TRUE(ReadSoundFile(file, sound));
  }
  EXPECT_LT(SpokenSeconds(sound.Samples), 4 * 6 * 3.5);
}

}  // namespace
}  // namespace parlan::engines

#else

TEST(EspeakDirectSS, NeedsEspeak) {
  GTEST_SKIP() << "built without eSpeak NG";
}

#endif
