#include "engines/EspeakDirectSS.h"

#include "engines/EspeakMarkup.h"
#include "parlan/EspeakEngines.h"

namespace parlan::engines {

namespace {

namespace range = espeak_ranges;

constexpr std::chrono::milliseconds kWindDown{5000};

bool IsRead(CallKind kind) {
  return kind == CallKind::Get || kind == CallKind::Method;
}

bool Constant(int32_t value, CallKind kind, const std::vector<Variant>& args, Variant& result) {
  if (!IsRead(kind) || !args.empty()) return false;
  result = value;
  return true;
}

bool OneNumber(const std::vector<Variant>& args, int64_t& value) {
  return args.size() == 1 && args[0].ToInt64(value);
}

int32_t High(int64_t bytes) {
  return static_cast<int32_t>(static_cast<uint64_t>(bytes) >> 32);
}
int32_t Low(int64_t bytes) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(bytes) & 0xFFFFFFFFu));
}

}  // namespace

EspeakDirectSS::EspeakDirectSS(EspeakService& service, std::shared_ptr<AudioSink> sink,
                               ReadingStyle style)
    : service_(service),
      channel_(std::make_shared<SpeechChannel>(std::move(sink))),
      mode_(service.Voices().DefaultIndex()),
      pitch_(range::kNormalPitch),
      speed_(range::kNormalSpeed),
      volume1_(range::kMaxVolume),
      volume2_(range::kMaxVolume),
      style_(std::move(style)) {}

EspeakDirectSS::~EspeakDirectSS() {
  events_ = nullptr;
  service_.Purge(*channel_);
  channel_->WaitFinished(lastUtterance_, kWindDown);
}

bool EspeakDirectSS::Invoke(int32_t dispid, CallKind kind, const std::vector<Variant>& args,
                            Variant& result) {
  return GuardedCall([&] { return Dispatch(dispid, kind, args, result); });
}

bool EspeakDirectSS::Dispatch(int32_t dispid, CallKind kind, const std::vector<Variant>& args,
                              Variant& result) {
  switch (dispid) {
    case ss::kPitch:
      return Setting(pitch_, range::kMinPitch, range::kMaxPitch, kind, args, result);
    case ss::kMaxPitch:
      return Constant(range::kMaxPitch, kind, args, result);
    case ss::kMinPitch:
      return Constant(range::kMinPitch, kind, args, result);
    case ss::kSpeed:
      return Setting(speed_, range::kMinSpeed, range::kMaxSpeed, kind, args, result);
    case ss::kMaxSpeed:
      return Constant(range::kMaxSpeed, kind, args, result);
    case ss::kMinSpeed:
      return Constant(range::kMinSpeed, kind, args, result);
    case ss::kVolume1:
      return Setting(volume1_, range::kMinVolume, range::kMaxVolume, kind, args, result);
    case ss::kVolume2:
      return Setting(volume2_, range::kMinVolume, range::kMaxVolume, kind, args, result);
    case ss::kMinVolume1:
    case ss::kMinVolume2:
      return Constant(range::kMinVolume, kind, args, result);
    case ss::kMaxVolume1:
    case ss::kMaxVolume2:
      return Constant(range::kMaxVolume, kind, args, result);
    case ss::kCountModes:
      return Constant(static_cast<int32_t>(service_.Voices().Size()), kind, args, result);
    case ss::kModeName:
      return IsRead(kind) && ModeName(args, result);
    case ss::kCurrentMode:
      if (kind == CallKind::Put) return SelectMode(args);
      return Constant(static_cast<int32_t>(mode_ + 1), kind, args, result);
    case ss::kSelect:
      return kind == CallKind::Method && SelectMode(args);
    case ss::kFind:
      return IsRead(kind) && Find(args, result);
    case ss::kStop:
      if (kind != CallKind::Method || !args.empty()) return false;
      service_.Purge(*channel_);
      return true;
    case ss::kSpeak:
      return kind == CallKind::Method && Speak(args);
    default:
      return false;
  }
}

bool EspeakDirectSS::Setting(int32_t& value, int32_t lowest, int32_t highest, CallKind kind,
                             const std::vector<Variant>& args, Variant& result) {
  if (kind == CallKind::Put) {
    int64_t v = 0;
    if (!OneNumber(args, v) || v < lowest || v > highest) return false;
    value = static_cast<int32_t>(v);
    return true;
  }
  return Constant(value, kind, args, result);
}

bool EspeakDirectSS::SelectMode(const std::vector<Variant>& args) {
  int64_t n = 0;
  if (!OneNumber(args, n) || n < 1 || n > static_cast<int64_t>(service_.Voices().Size()))
    return false;
  mode_ = static_cast<size_t>(n - 1);
  return true;
}

bool EspeakDirectSS::ModeName(const std::vector<Variant>& args, Variant& result) {
  int64_t n = 0;
  if (!OneNumber(args, n) || n < 1 || n > static_cast<int64_t>(service_.Voices().Size()))
    return false;
  result = service_.Voices().Entries()[static_cast<size_t>(n - 1)].Description;
  return true;
}

bool EspeakDirectSS::Find(const std::vector<Variant>& args, Variant& result) {
  if (args.size() != 1 || args[0].type() != Variant::Type::String) return false;
  const std::optional<size_t> found = service_.Voices().Find(args[0].AsString());
  if (!found) return false;
  result = static_cast<int32_t>(*found + 1);
  return true;
}

bool EspeakDirectSS::Speak(const std::vector<Variant>& args) {
  int64_t code = -1;
  if (args.size() != 3 || !args[0].ToInt64(code) || args[2].type() != Variant::Type::String)
    return false;
  if (code != ss::kSpeakText && code != ss::kSpeakPhonemes) return false;
  auto utterance = std::make_shared<Utterance>();
  utterance->Channel = channel_;
  utterance->Stop = stop_;
  utterance->Settings.VoiceName = service_.Voices().Entries()[mode_].SynthName;
  utterance->Settings.WordsPerMinute = speed_;
  utterance->Settings.Volume = LevelsToVolume(volume1_, volume2_);
  utterance->Settings.Style = style_;
  const SourceText source = PlainSource(args[2].AsString());
  SpeechSegment segment = code == ss::kSpeakText
                              ? TextSegment(source, pitch_)
                              : PhonemeSegment(source, PhonemeForm::Directss, pitch_);
  if (!segment.Utf8.empty()) utterance->Segments.push_back(std::move(segment));
  utterance->Number = channel_->NextUtterance();
  lastUtterance_ = utterance->Number;
  service_.Submit(std::move(utterance));
  return true;
}

void EspeakDirectSS::PumpEvents() {
  SpeechEvent e;
  while (channel_->TakeEvent(e)) {
    if (!events_) continue;
    const int32_t hi = High(e.EngineBytes);
    const int32_t lo = Low(e.EngineBytes);
    try {
      switch (e.What) {
        case SpeechEvent::Kind::Start:
          events_->AudioStart(hi, lo);
          break;
        case SpeechEvent::Kind::Word:
          events_->WordPosition(hi, lo, e.Start * 2);
          break;
        case SpeechEvent::Kind::End:
          events_->AudioStop(hi, lo);
          break;
      }
    } catch (...) {
      // A failing handler does not keep the later notifications from the host.
    }
  }
}

bool EspeakDirectSS::Busy() {
  return channel_->Busy();
}

}  // namespace parlan::engines
