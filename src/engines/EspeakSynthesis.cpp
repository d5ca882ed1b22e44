// The calls into eSpeak NG, all made on the service's worker thread: starting it, listing its
// voices, and synthesising an utterance segment by segment into its channel.
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "engines/EspeakService.h"

namespace parlan::engines {

namespace {

// What the synthesis callback needs; reached through the user data of eSpeak NG's events.
struct SynthesisContext {
  Utterance* Speech = nullptr;
  const SpeechSegment* Segment = nullptr;
  int64_t UtteranceSamples = 0;  // audio of the utterance so far
  int64_t SegmentStart = 0;      // UtteranceSamples when the segment began
  size_t NextWord = 0;           // the segment's first word not yet reported
  std::exception_ptr Failure;    // thrown in the callback, rethrown once eSpeak NG returned
};

// Reports the segment's words up to `last` (inclusive) that have not been reported: eSpeak NG
// may report a word twice (numbers) or not at all, the caller gets each word once, in order.
void PostWordsUpTo(SynthesisContext& ctx, size_t last) {
  SpeechChannel& channel = *ctx.Speech->Channel;
  for (; ctx.NextWord <= last && ctx.NextWord < ctx.Segment->Words.size(); ++ctx.NextWord) {
    const WordSpan& word = ctx.Segment->Words[ctx.NextWord];
    SpeechEvent event;
    event.What = SpeechEvent::Kind::Word;
    event.Utterance = ctx.Speech->Number;
    event.StreamBytes = ctx.UtteranceSamples * 2;
    event.EngineBytes = channel.AudioBytes();
    event.Start = word.Start;
    event.Length = word.Length;
    channel.Post(event, false);
  }
}

void WriteAudio(SynthesisContext& ctx, const short* samples, int64_t count) {
  if (count <= 0) return;
  ctx.Speech->Channel->Audio(samples, static_cast<size_t>(count));
  ctx.UtteranceSamples += count;
}

void TakeSynthesis(SynthesisContext& ctx, short* samples, int count, espeak_EVENT* events) {
  const int64_t base = ctx.UtteranceSamples;
  int64_t written = 0;
  for (espeak_EVENT* e = events; e->type != espeakEVENT_LIST_TERMINATED; ++e) {
    if (e->type != espeakEVENT_WORD) continue;
    // Positions count code points of the segment's text from 1.
    const int64_t cp = e->text_position - 1;
    const std::vector<int32_t>& wordAt = ctx.Segment->WordAt;
    if (cp < 0 || cp >= static_cast<int64_t>(wordAt.size()) || wordAt[cp] < 0) continue;
    const int64_t at =
        ctx.SegmentStart + static_cast<int64_t>(e->audio_position) * kSampleRate / 1000;
    const int64_t upTo = std::clamp<int64_t>(at - base, written, count);
    WriteAudio(ctx, samples + written, upTo - written);
    written = upTo;
    PostWordsUpTo(ctx, static_cast<size_t>(wordAt[cp]));
  }
  if (samples) WriteAudio(ctx, samples + written, count - written);
}

// eSpeak NG is C: no exception may cross it, so one is kept until eSpeak NG has returned.
int OnSynthesis(short* samples, int count, espeak_EVENT* events) noexcept {
  auto* ctx = events ? static_cast<SynthesisContext*>(events->user_data) : nullptr;
  if (!ctx) return 0;                                    // a bare synthesis, measured on the worker
  if (ctx->Speech->Dropped() || ctx->Failure) return 1;  // stops the synthesis at once
  try {
    TakeSynthesis(*ctx, samples, count, events);
  } catch (...) {
    ctx->Failure = std::current_exception();
    return 1;
  }
  return 0;
}

void Apply(const SynthSettings& settings, int32_t pitch) {
  espeak_SetVoiceByName(settings.VoiceName.c_str());
  espeak_SetParameter(espeakRATE, settings.WordsPerMinute, 0);
  espeak_SetParameter(espeakVOLUME, settings.Volume, 0);
  espeak_SetParameter(espeakPITCH, pitch, 0);
  espeak_SetParameter(espeakRANGE, settings.Range, 0);
  const ReadingStyle& style = settings.Style;
  espeak_SetParameter(espeakWORDGAP, settings.WordGap + std::max(style.WordGap, 0), 0);
  if (style.Punctuation && !style.PunctuationList.empty()) {
    std::wstring list;
    for (char16_t c : style.PunctuationList) list.push_back(static_cast<wchar_t>(c));
    espeak_SetPunctuationList(list.c_str());
  }
  espeak_SetParameter(espeakPUNCTUATION,
                      !style.Punctuation              ? espeakPUNCT_NONE
                      : style.PunctuationList.empty() ? espeakPUNCT_ALL
                                                      : espeakPUNCT_SOME,
                      0);
  espeak_SetParameter(espeakCAPITALS, std::max(style.Capitals, 0), 0);
}

std::vector<RawVoice> ListVoices(const espeak_VOICE* spec) {
  std::vector<RawVoice> out;
  const espeak_VOICE** voices = espeak_ListVoices(const_cast<espeak_VOICE*>(spec));
  for (size_t i = 0; voices && voices[i]; ++i) {
    const espeak_VOICE* v = voices[i];
    RawVoice raw;
    raw.Name = v->name ? v->name : "";
    raw.Identifier = v->identifier ? v->identifier : "";
    // The languages are pairs of a priority byte and a text; the first one is the voice's own.
    if (v->languages && v->languages[0]) raw.Language = v->languages + 1;
    raw.Gender = v->gender;
    out.push_back(std::move(raw));
  }
  return out;
}

// The variant that makes a voice female: "f3" where it exists, else the first female variant.
std::string FemaleVariant() {
  espeak_VOICE spec{};
  spec.languages = "variant";
  std::string first;
  for (const RawVoice& v : ListVoices(&spec)) {
    const std::string name = v.Identifier.substr(v.Identifier.rfind('/') + 1);
    if (v.Gender != 2) continue;
    if (name == "f3") return name;
    if (first.empty()) first = name;
  }
  return first;
}

// Records the phoneme trace of eSpeak NG, in IPA, while one utterance is synthesised.
class IpaRecorder {
 public:
  explicit IpaRecorder(IpaTrace* trace) : trace_(trace) {
    if (!trace_) return;
    stream_ = open_memstream(&buffer_, &size_);
    if (stream_) espeak_SetPhonemeTrace(espeakPHONEMES_IPA, stream_);
  }
  ~IpaRecorder() {
    if (!stream_) return;
    espeak_SetPhonemeTrace(0, nullptr);
    std::fclose(stream_);
    if (buffer_) {
      GuardedCall([&] {
        trace_->Append(std::string(buffer_, size_));
        return true;
      });
      std::free(buffer_);
    }
  }
  IpaRecorder(const IpaRecorder&) = delete;
  IpaRecorder& operator=(const IpaRecorder&) = delete;

 private:
  IpaTrace* trace_;
  FILE* stream_ = nullptr;
  char* buffer_ = nullptr;
  size_t size_ = 0;
};

}  // namespace

bool StartEspeak(VoiceCatalogue& voices) {
  const int rate =
      espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
  if (rate != kSampleRate) return false;
  espeak_SetSynthCallback(OnSynthesis);
  voices = VoiceCatalogue::FromVoices(ListVoices(nullptr), FemaleVariant());
  return voices.Size() > 0;
}

int64_t SynthesizeUtterance(Utterance& utterance) {
  SpeechChannel& channel = *utterance.Channel;
  SpeechEvent start;
  start.What = SpeechEvent::Kind::Start;
  start.Utterance = utterance.Number;
  start.EngineBytes = channel.AudioBytes();
  channel.Post(start, true);
  SynthesisContext ctx;
  ctx.Speech = &utterance;
  IpaRecorder ipa(utterance.Settings.Style.Ipa.get());
  for (const SpeechSegment& segment : utterance.Segments) {
    if (utterance.Dropped()) break;
    Apply(utterance.Settings, segment.Pitch);
    ctx.Segment = &segment;
    ctx.SegmentStart = ctx.UtteranceSamples;
    ctx.NextWord = 0;
    const unsigned flags = espeakCHARS_UTF8 | (segment.Phonemes ? espeakPHONEMES : 0);
    espeak_Synth(segment.Utf8.c_str(), segment.Utf8.size() + 1, 0, POS_CHARACTER, 0, flags, nullptr,
                 &ctx);
    if (ctx.Failure) std::rethrow_exception(ctx.Failure);
    if (!utterance.Dropped() && !segment.Words.empty())
      PostWordsUpTo(ctx, segment.Words.size() - 1);
  }
  return ctx.UtteranceSamples;
}

}  // namespace parlan::engines
