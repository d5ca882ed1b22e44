// The voice on eSpeak NG, rendered to sound files: what can be heard and counted in them (never
// their bytes, which differ from run to run), and the notifications it raises.
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

constexpr char16_t kSentence[] = u"The quick brown fox jumps over the lazy dog.";

class EspeakVoiceTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!EspeakAvailable()) GTEST_SKIP() << "eSpeak NG could not be started on this machine";
  }

  // A voice of its own writing to a file of its own.
  std::unique_ptr<Voice> NewVoice(std::filesystem::path& file) {
    file = dir_.Path() / ("voice" + std::to_string(++files_) + ".wav");
    return EspeakEngineFactory({AudioOutput::Kind::File, file})->CreateVoice();
  }

  // What `speak` makes a fresh voice say, read back from its file.
  std::vector<int16_t> Render(const std::function<void(Voice&)>& speak) {
    std::filesystem::path file;
    auto voice = NewVoice(file);
    speak(*voice);
    EXPECT_TRUE(WaitIdle(*voice));
    return Samples(file);
  }

  static std::vector<int16_t> Samples(const std::filesystem::path& file) {
    SoundFile sound;
    EXPECT_TRUE(ReadSoundFile(file, sound)) << file;
    EXPECT_EQ(sound.SampleRate, kRate);
    return sound.Samples;
  }

  static void Say(Voice& voice, const std::u16string& text, int32_t flags = 0) {
    int32_t stream = 0;
    ASSERT_TRUE(voice.Speak(&text, flags, stream));
  }

  testkit::TempDir dir_;
  int files_ = 0;
};

TEST_F(EspeakVoiceTest, SpeaksAudiblyForAPlausibleTime) {
  const auto samples = Render([](Voice& v) { Say(v, kSentence); });
  EXPECT_GT(Rms(samples), 800);
  // Nine words at about 175 words per minute.
  EXPECT_GT(SpokenSeconds(samples), 1.8);
  EXPECT_LT(SpokenSeconds(samples), 4.5);
}

TEST_F(EspeakVoiceTest, FasterRateGivesShorterSpeech) {
  std::vector<double> seconds;
  for (int32_t rate : {-10, -5, 0, 5, 10}) {
    const auto samples = Render([&](Voice& v) {
      ASSERT_TRUE(v.SetRate(rate));
      int32_t back = 99;
      ASSERT_TRUE(v.GetRate(back));
      EXPECT_EQ(back, rate);
      Say(v, kSentence);
    });
    seconds.push_back(SpokenSeconds(samples));
  }
  for (size_t i = 1; i < seconds.size(); ++i) EXPECT_LT(seconds[i], seconds[i - 1]) << i;
  // Rate 10 is about three times as fast as rate 0, and rate -10 about a third as fast.
  EXPECT_NEAR(seconds[2] / seconds[4], 3.0, 1.0);
  EXPECT_NEAR(seconds[0] / seconds[2], 3.0, 1.0);
}

TEST_F(EspeakVoiceTest, PitchMarkupRaisesTheFundamental) {
  const auto low = Render([](Voice& v) { Say(v, u"<pitch absmiddle=\"-8\"/>Many more melons."); });
  const auto high = Render([](Voice& v) { Say(v, u"<pitch absmiddle=\"8\"/>Many more melons."); });
  EXPECT_GT(MedianF0(high), MedianF0(low) * 1.2);
}

// A pron's "?" and its own "!" before the final one end the clause as eSpeak NG ends a
// question or an exclamation in text.
TEST_F(EspeakVoiceTest, PronQuestionRisesAndExclamationIsRaised) {
  auto say = [&](const std::u16string& marks) {
    return Render([&](Voice& v) { Say(v, u"<pron sym=\"Ar j'u: r'edi" + marks + u"\"/>"); });
  };
  const auto statement = say(u" . !");
  const auto question = say(u" ? !");
  const auto exclamation = say(u" ! !");
  EXPECT_GT(EndF0(question), 1.15 * EndF0(statement));
  EXPECT_GT(MedianF0(exclamation), 1.03 * MedianF0(statement));
}

TEST_F(EspeakVoiceTest, PitchKeptForLaterSpeechOnlyWithFlag32) {
  const std::u16string later = u"Many more melons.";
  const auto plain = Render([&](Voice& v) { Say(v, later); });
  const auto kept = Render([&](Voice& v) {
    Say(v, u"<pitch absmiddle = \" 9\"/>", voiceflags::kPersistXml);
    Say(v, later);
  });
  const auto notKept = Render([&](Voice& v) {
    Say(v, u"<pitch absmiddle = \" 9\"/>", 0);
    Say(v, later);
  });
  EXPECT_GT(MedianF0(kept), MedianF0(plain) * 1.2);
  EXPECT_NEAR(MedianF0(notKept), MedianF0(plain), MedianF0(plain) * 0.1);
}

TEST_F(EspeakVoiceTest, LowerVolumeIsQuieter) {
  const auto full = Render([](Voice& v) { Say(v, kSentence); });
  const auto quiet = Render([](Voice& v) {
    ASSERT_TRUE(v.SetVolume(30));
    Say(v, kSentence);
  });
  EXPECT_NEAR(Rms(quiet) / Rms(full), 0.3, 0.12);
  const auto silent = Render([](Voice& v) {
    ASSERT_TRUE(v.SetVolume(0));
    Say(v, kSentence);
  });
  EXPECT_LT(Rms(silent), 50);
}

TEST_F(EspeakVoiceTest, VolumeAndFlagsOutsideTheirRangeFail) {
  std::filesystem::path file;
  auto voice = NewVoice(file);
  EXPECT_FALSE(voice->SetVolume(101));
  EXPECT_FALSE(voice->SetVolume(-1));
  int32_t stream = 0;
  const std::u16string name = u"speech.txt";
  EXPECT_FALSE(voice->Speak(&name, 4, stream));  // a file name to read from
  EXPECT_TRUE(voice->Speak(nullptr, voiceflags::kPurgeBeforeSpeak, stream));
  EXPECT_TRUE(WaitIdle(*voice));
}

TEST_F(EspeakVoiceTest, StartWordsAndEndPointIntoTheCallersText) {
  std::filesystem::path file;
  auto voice = NewVoice(file);
  VoiceRecorder recorder;
  voice->SetEvents(&recorder);
  const std::u16string text = u"Hello <pitch absmiddle=\"5\"/>big world, caf\u00e9 &amp; 42.";
  int32_t stream = 0;
  ASSERT_TRUE(voice->Speak(&text, voiceflags::kAsync, stream));
  ASSERT_TRUE(WaitIdle(*voice));
  EXPECT_EQ(recorder.Kinds(), "SWWWWWE");
  EXPECT_EQ(recorder.Words(text),
            (std::vector<std::u16string>{u"Hello", u"big", u"world", u"caf\u00e9", u"42"}));
  for (const auto& e : recorder.Events) EXPECT_EQ(e.Stream, stream);
}

TEST_F(EspeakVoiceTest, StreamsAreNumberedAndReportedInOrder) {
  std::filesystem::path file;
  auto voice = NewVoice(file);
  VoiceRecorder recorder;
  voice->SetEvents(&recorder);
  int32_t first = 0, second = 0;
  const std::u16string a = u"One.", b = u"Two three.";
  ASSERT_TRUE(voice->Speak(&a, voiceflags::kAsync, first));
  ASSERT_TRUE(voice->Speak(&b, voiceflags::kAsync, second));
  EXPECT_EQ(second, first + 1);
  EXPECT_TRUE(voice->Busy());
  ASSERT_TRUE(WaitIdle(*voice));
  EXPECT_EQ(recorder.Kinds(), "SWESWWE");
  EXPECT_EQ(recorder.Events.front().Stream, first);
  EXPECT_EQ(recorder.Events.back().Stream, second);
}

TEST_F(EspeakVoiceTest, MarkupWithoutWordsStillStartsAndEndsAStream) {
  std::filesystem::path file;
  auto voice = NewVoice(file);
  VoiceRecorder recorder;
  voice->SetEvents(&recorder);
  Say(*voice, u"<pitch absmiddle = \" 4\"/>", voiceflags::kPersistXml);
  ASSERT_TRUE(WaitIdle(*voice));
  EXPECT_EQ(recorder.Kinds(), "SE");
}

TEST_F(EspeakVoiceTest, PronunciationLastsAboutAsLongAsTheWord) {
  const auto word = Render([](Voice& v) { Say(v, u"hello"); });
  const auto pron = Render([](Voice& v) { Say(v, u"<pron sym=\"h@loU\"/>"); });
  const auto marked = Render([](Voice& v) { Say(v, u"<pron sym=\"h@loU !\"/>"); });
  ASSERT_GT(SpokenSeconds(word), 0.2);
  EXPECT_NEAR(SpokenSeconds(pron) / SpokenSeconds(word), 1.0, 0.4);
  EXPECT_NEAR(SpokenSeconds(marked) / SpokenSeconds(word), 1.0, 0.4);
  // Two words after a glued stop: the stop must not cut off the second word.
  const auto two = Render([](Voice& v) { Say(v, u"<pron sym=\"h@loU.h@loU !\"/>"); });
  EXPECT_GT(SpokenSeconds(two), 1.6 * SpokenSeconds(word));
}

TEST_F(EspeakVoiceTest, MarksPauseAboutAsLongAsPunctuationInText) {
  const auto textComma = Render([](Voice& v) { Say(v, u"hello, world"); });
  const auto markComma = Render([](Voice& v) { Say(v, u"<pron sym=\"h@loU , w3:ld\"/>"); });
  const auto markStop = Render([](Voice& v) { Say(v, u"<pron sym=\"h@loU ! w3:ld\"/>"); });
  ASSERT_GT(LongestPauseSeconds(textComma), 0.08);
  EXPECT_NEAR(LongestPauseSeconds(markComma) / LongestPauseSeconds(textComma), 1.0, 0.4);
  EXPECT_GT(LongestPauseSeconds(markStop), 1.3 * LongestPauseSeconds(markComma));
}

TEST_F(EspeakVoiceTest, VeryLongPronunciationWordIsHeardWholeAndNotifiedOnce) {
  // A word of 500 symbols once crashed eSpeak NG; it is spoken in pieces instead.
  std::filesystem::path file;
  auto voice = NewVoice(file);
  VoiceRecorder recorder;
  voice->SetEvents(&recorder);
  const std::u16string word(500, u'k');
  const std::u16string text = u"<pron sym=\"" + word + u" !\"/>";
  Say(*voice, text);
  ASSERT_TRUE(WaitIdle(*voice));
  EXPECT_EQ(recorder.Kinds(), "SWE");
  EXPECT_EQ(recorder.Words(text), std::vector<std::u16string>{word});
  const auto short_word = Render([](Voice& v) { Say(v, u"<pron sym=\"kkkkkkkkkk\"/>"); });
  EXPECT_GT(SpokenSeconds(Samples(file)), 20 * SpokenSeconds(short_word));
}

TEST_F(EspeakVoiceTest, PronunciationWordsPointAtTheSymbols) {
  std::filesystem::path file;
  auto voice = NewVoice(file);
  VoiceRecorder recorder;
  voice->SetEvents(&recorder);
  const std::u16string text = u"<pron sym=\"h@loU , w3:ld !\"/>";
  Say(*voice, text, voiceflags::kPersistXml);
  ASSERT_TRUE(WaitIdle(*voice));
  EXPECT_EQ(recorder.Kinds(), "SWWE");
  EXPECT_EQ(recorder.Words(text), (std::vector<std::u16string>{u"h@loU", u"w3:ld"}));
}

TEST_F(EspeakVoiceTest, SynchronousSpeakReturnsOnceTheFileIsComplete) {
  std::filesystem::path file;
  auto voice = NewVoice(file);
  Say(*voice, kSentence, 0);
  // Only notifications can remain; the sound file is complete already.
  EXPECT_GT(SpokenSeconds(Samples(file)), 1.8);
  voice->PumpEvents();
  EXPECT_FALSE(voice->Busy());
}

TEST_F(EspeakVoiceTest, PurgeStopsSpeechAndDropsTheQueue) {
  std::filesystem::path file;
  auto voice = NewVoice(file);
  VoiceRecorder recorder;
  voice->SetEvents(&recorder);
  std::u16string paragraph;
  for (int i = 0; i < 6; ++i) paragraph += kSentence + std::u16string(u" ");
  for (int i = 0; i < 8; ++i) Say(*voice, paragraph, voiceflags::kAsync);
  int32_t stream = 0;
  ASSERT_TRUE(voice->Speak(nullptr, voiceflags::kAsync | voiceflags::kPurgeBeforeSpeak, stream));
  ASSERT_TRUE(WaitIdle(*voice));
  const std::string kinds = recorder.Kinds();
  const auto starts = std::count(kinds.begin(), kinds.end(), 'S');
  EXPECT_LT(starts, 8);
  EXPECT_EQ(starts, std::count(kinds.begin(), kinds.end(), 'E'));
  // Eight paragraphs would be well over two minutes. Speech may have been dropped before any
  // audio was written, leaving no file at all.
  if (std::filesystem::exists(file)) {
    EXPECT_LT(SpokenSeconds(Samples(file)), 4 * 6 * 3.5);
  }
  // Speech after the purge is spoken again.
  Say(*voice, u"Again.", 0);
  EXPECT_TRUE(WaitIdle(*voice));
}

TEST_F(EspeakVoiceTest, VoicesListIncludesFemaleFormsAndSelectsByName) {
  std::filesystem::path file;
  auto voice = NewVoice(file);
  std::shared_ptr<VoiceTokens> all;
  ASSERT_TRUE(voice->GetVoices(u"", u"", all));
  ASSERT_GE(all->Count(), 2);
  std::u16string male, female;
  for (int32_t i = 0; i < all->Count() && female.empty(); ++i) {
    std::shared_ptr<VoiceToken> token;
    ASSERT_TRUE(all->Item(i, token));
    std::u16string d;
    ASSERT_TRUE(token->GetDescription(0, d));
    if (d.ends_with(u" Female")) female = d, male = d.substr(0, d.size() - 7);
  }
  ASSERT_FALSE(female.empty()) << "no female form among the voices";
  std::shared_ptr<VoiceToken> none;
  EXPECT_FALSE(all->Item(all->Count(), none));
  std::shared_ptr<VoiceTokens> named;
  ASSERT_TRUE(voice->GetVoices(u"Name=" + female, u"", named));
  ASSERT_EQ(named->Count(), 1);
  std::shared_ptr<VoiceToken> token;
  ASSERT_TRUE(named->Item(0, token));
  const auto asFemale = Render([&](Voice& v) {
    ASSERT_TRUE(v.SetVoice(token));
    Say(v, u"Many more melons.");
  });
  std::shared_ptr<VoiceTokens> maleTokens;
  ASSERT_TRUE(voice->GetVoices(u"Name=" + male, u"", maleTokens));
  ASSERT_TRUE(maleTokens->Item(0, token));
  const auto asMale = Render([&](Voice& v) {
    ASSERT_TRUE(v.SetVoice(token));
    Say(v, u"Many more melons.");
  });
  EXPECT_GT(MedianF0(asFemale), MedianF0(asMale) * 1.3);
  EXPECT_FALSE(voice->SetVoice(nullptr));
}

}  // namespace
}  // namespace parlan::engines

#else

TEST(EspeakVoice, NeedsEspeak) {
  GTEST_SKIP() << "built without eSpeak NG";
}

#endif
