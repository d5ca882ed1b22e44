// The factory of the eSpeak NG engines and the host's choice of audio output.
#include "engines/AudioSinks.h"
#include "engines/EspeakDirectSS.h"
#include "engines/EspeakService.h"
#include "engines/EspeakVoice.h"
#include "parlan/EspeakEngines.h"

namespace parlan::engines {

namespace {

class EspeakFactory : public EngineFactory {
 public:
  EspeakFactory(AudioOutput output, std::shared_ptr<OutputFailure> failure, ReadingStyle style)
      : output_(std::move(output)), failure_(std::move(failure)), style_(std::move(style)) {
    if (output_.kind == AudioOutput::Kind::File) shared_ = MakeFileSink(output_.file, failure_);
    if (output_.kind == AudioOutput::Kind::None) shared_ = MakeNullSink();
    if (output_.kind == AudioOutput::Kind::Handler)
      shared_ = output_.handler ? MakeHandlerSink(output_.handler) : MakeNullSink();
  }

  std::unique_ptr<DirectSS> CreateDirectSS(DirectSSRole role) override {
    EspeakService* service = EspeakService::Get();
    if (!service) return NullEngineFactory()->CreateDirectSS(role);
    return std::make_unique<EspeakDirectSS>(*service, SinkForEngine(), style_);
  }

  std::unique_ptr<Voice> CreateVoice() override {
    EspeakService* service = EspeakService::Get();
    if (!service) return NullEngineFactory()->CreateVoice();
    return std::make_unique<EspeakVoice>(*service, SinkForEngine(), style_);
  }

 private:
  // A file (or nothing) is shared by every engine of the factory; the sound server gets one
  // stream per engine object, so that stopping one drops only its own audio.
  std::shared_ptr<AudioSink> SinkForEngine() {
    if (shared_) return shared_;
    return MakeSoundServerSink("Speech", failure_);
  }

  AudioOutput output_;
  std::shared_ptr<OutputFailure> failure_;
  std::shared_ptr<AudioSink> shared_;
  ReadingStyle style_;
};

}  // namespace

bool EspeakAvailable() {
  return EspeakService::Get() != nullptr;
}

std::vector<EngineVoice> EspeakVoiceList() {
  std::vector<EngineVoice> list;
  EspeakService* service = EspeakService::Get();
  if (!service) return list;
  for (const VoiceEntry& e : service->Voices().Entries())
    list.push_back(EngineVoice{e.Description, e.Language, e.Female});
  return list;
}

std::shared_ptr<EngineFactory> EspeakEngineFactory(const AudioOutput& output) {
  return std::make_shared<EspeakFactory>(output, nullptr, ReadingStyle{});
}

std::shared_ptr<EngineFactory> EspeakEngineFactory(const AudioOutput& output,
                                                   std::shared_ptr<OutputFailure> failure) {
  return std::make_shared<EspeakFactory>(output, std::move(failure), ReadingStyle{});
}

std::shared_ptr<EngineFactory> EspeakEngineFactory(const AudioOutput& output,
                                                   std::shared_ptr<OutputFailure> failure,
                                                   const ReadingStyle& style) {
  return std::make_shared<EspeakFactory>(output, std::move(failure), style);
}

}  // namespace parlan::engines
