// Engines that fail every call, as on a machine where that engine is not installed.
#include "parlan/Engines.h"

namespace parlan::engines {
namespace {

class NullDirectSS : public DirectSS {
 public:
  bool Invoke(int32_t, CallKind, const std::vector<Variant>&, Variant&) override { return false; }
  void SetEvents(DirectSSEvents*) override {}
};

class NullVoice : public Voice {
 public:
  bool Speak(const std::u16string*, int32_t, int32_t&) override { return false; }
  bool GetRate(int32_t&) override { return false; }
  bool SetRate(int32_t) override { return false; }
  bool SetVolume(int32_t) override { return false; }
  bool GetVoices(const std::u16string&, const std::u16string&,
                 std::shared_ptr<VoiceTokens>&) override {
    return false;
  }
  bool SetVoice(const std::shared_ptr<VoiceToken>&) override { return false; }
  void SetEvents(VoiceEvents*) override {}
};

class NullFactory : public EngineFactory {
 public:
  std::unique_ptr<DirectSS> CreateDirectSS(DirectSSRole) override {
    return std::make_unique<NullDirectSS>();
  }
  std::unique_ptr<Voice> CreateVoice() override { return std::make_unique<NullVoice>(); }
};

}  // namespace

std::shared_ptr<EngineFactory> NullEngineFactory() {
  return std::make_shared<NullFactory>();
}

}  // namespace parlan::engines
