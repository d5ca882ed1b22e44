#include "engines/EspeakVoice.h"
#include "engines/VoiceTokenList.h"

#include <algorithm>
#include <cstdint>

#include "engines/EspeakMarkup.h"

namespace parlan::engines {

namespace {

constexpr int32_t kIsFilename = 4;
constexpr int32_t kIsNotXml = 16;

// How long an engine object being destroyed waits for its dropped speech to wind down, and a
// synchronous Speak for its speech to be heard.
constexpr std::chrono::milliseconds kWindDown{5000};
constexpr std::chrono::hours kLongestSpeech{24};

class EspeakVoiceToken : public VoiceToken {
 public:
  EspeakVoiceToken(size_t index, std::u16string description)
      : index_(index), description_(std::move(description)) {}
  bool GetDescription(int32_t, std::u16string& description) override {
    description = description_;
    return true;
  }
  size_t Index() const { return index_; }

 private:
  size_t index_;
  std::u16string description_;
};

Variant StreamPosition(int64_t bytes) {
  if (bytes <= INT32_MAX) return Variant(static_cast<int32_t>(bytes));
  return Variant(static_cast<double>(bytes));
}

}  // namespace

EspeakVoice::EspeakVoice(EspeakService& service, std::shared_ptr<AudioSink> sink,
                         ReadingStyle style)
    : service_(service),
      channel_(std::make_shared<SpeechChannel>(std::move(sink))),
      voice_(service.Voices().DefaultIndex()),
      style_(std::move(style)) {}

EspeakVoice::~EspeakVoice() {
  events_ = nullptr;
  service_.Purge(*channel_);
  channel_->WaitFinished(lastUtterance_, kWindDown);
}

std::shared_ptr<Utterance> EspeakVoice::MakeUtterance(const std::u16string& text, int32_t flags) {
  auto utterance = std::make_shared<Utterance>();
  utterance->Channel = channel_;
  utterance->Stop = stop_;
  SynthSettings settings;
  settings.VoiceName = service_.Voices().Entries()[voice_].SynthName;
  settings.Volume = volume_;
  settings.Style = style_;
  utterance->Settings = RateToSettings(rate_, settings);
  ParsedSpeech parsed;
  if (flags & kIsNotXml) {
    parsed.Parts.push_back(SpeechPart{false, absMiddle_, PlainSource(text)});
    parsed.FinalAbsMiddle = absMiddle_;
  } else {
    parsed = ParseVoiceMarkup(text, absMiddle_);
  }
  for (const SpeechPart& part : parsed.Parts) {
    const int32_t pitch = AbsMiddleToPitch(part.AbsMiddle);
    SpeechSegment segment = part.Phonemes ? PhonemeSegment(part.Source, PhonemeForm::Pron, pitch)
                                          : TextSegment(part.Source, pitch);
    if (!segment.Utf8.empty()) utterance->Segments.push_back(std::move(segment));
  }
  if (flags & voiceflags::kPersistXml) absMiddle_ = parsed.FinalAbsMiddle;
  return utterance;
}

bool EspeakVoice::Speak(const std::u16string* text, int32_t flags, int32_t& streamNumber) {
  return GuardedCall([&] {
    if (flags & kIsFilename) return false;
    if (flags & voiceflags::kPurgeBeforeSpeak) service_.Purge(*channel_);
    if (!text) return true;  // nothing more to say
    std::shared_ptr<Utterance> utterance = MakeUtterance(*text, flags);
    utterance->Number = channel_->NextUtterance();
    lastUtterance_ = utterance->Number;
    service_.Submit(utterance);
    streamNumber = static_cast<int32_t>(utterance->Number);
    if (!(flags & voiceflags::kAsync)) channel_->WaitFinished(utterance->Number, kLongestSpeech);
    return true;
  });
}

bool EspeakVoice::GetRate(int32_t& rate) {
  rate = rate_;
  return true;
}

bool EspeakVoice::SetRate(int32_t rate) {
  rate_ = std::clamp(rate, -10, 10);
  return true;
}

bool EspeakVoice::SetVolume(int32_t volume) {
  if (volume < 0 || volume > 100) return false;
  volume_ = volume;
  return true;
}

bool EspeakVoice::GetVoices(const std::u16string& required, const std::u16string& optional,
                            std::shared_ptr<VoiceTokens>& tokens) {
  return GuardedCall([&] {
    const VoiceCatalogue& voices = service_.Voices();
    std::vector<std::shared_ptr<VoiceToken>> list;
    for (size_t i : voices.Select(required, optional))
      list.push_back(std::make_shared<EspeakVoiceToken>(i, voices.Entries()[i].Description));
    tokens = std::make_shared<VoiceTokenList>(std::move(list));
    return true;
  });
}

bool EspeakVoice::SetVoice(const std::shared_ptr<VoiceToken>& token) {
  return GuardedCall([&] {
    if (auto* own = dynamic_cast<EspeakVoiceToken*>(token.get())) {
      voice_ = own->Index();
      return true;
    }
    // A token from elsewhere is taken by its description.
    std::u16string description;
    if (!token || !token->GetDescription(0, description)) return false;
    const std::vector<size_t> found = service_.Voices().Select(u"Name=" + description, u"");
    if (found.empty()) return false;
    voice_ = found.front();
    return true;
  });
}

void EspeakVoice::PumpEvents() {
  SpeechEvent e;
  while (channel_->TakeEvent(e)) {
    if (!events_) continue;
    const auto stream = static_cast<int32_t>(e.Utterance);
    try {
      switch (e.What) {
        case SpeechEvent::Kind::Start:
          events_->StartStream(stream, StreamPosition(e.StreamBytes));
          break;
        case SpeechEvent::Kind::Word:
          events_->Word(stream, StreamPosition(e.StreamBytes), e.Start + 1, e.Length);
          break;
        case SpeechEvent::Kind::End:
          events_->EndStream(stream, StreamPosition(e.StreamBytes));
          break;
      }
    } catch (...) {
      // A failing handler does not keep the later notifications from the host.
    }
  }
}

bool EspeakVoice::Busy() {
  return channel_->Busy();
}

}  // namespace parlan::engines
