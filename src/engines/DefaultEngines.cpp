// The engines a control gets when its host names none: eSpeak NG speaking through the sound
// server where the library was built with it, otherwise the null engines.
#include "parlan/EspeakEngines.h"

namespace parlan::engines {

#if PARLAN_HAVE_ESPEAK

std::shared_ptr<EngineFactory> DefaultEngineFactory() {
  AudioOutput output;
  output.kind = AudioOutput::Kind::SoundServer;
  return EspeakEngineFactory(output);
}

#else

bool EspeakAvailable() {
  return false;
}

bool SoundServerReachable() {
  return false;
}

std::vector<EngineVoice> EspeakVoiceList() {
  return {};
}

std::shared_ptr<EngineFactory> EspeakEngineFactory(const AudioOutput&) {
  return NullEngineFactory();
}

std::shared_ptr<EngineFactory> EspeakEngineFactory(const AudioOutput&,
                                                   std::shared_ptr<OutputFailure>) {
  return NullEngineFactory();
}

std::shared_ptr<EngineFactory> EspeakEngineFactory(const AudioOutput&,
                                                   std::shared_ptr<OutputFailure>,
                                                   const ReadingStyle&) {
  return NullEngineFactory();
}

std::shared_ptr<EngineFactory> DefaultEngineFactory() {
  return NullEngineFactory();
}

#endif

}  // namespace parlan::engines
