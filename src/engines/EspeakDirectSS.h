// The direct text-to-speech object on eSpeak NG (see parlan/EspeakEngines.h for its modes,
// ranges and notifications).
#pragma once

#include <memory>

#include "engines/AudioSinks.h"
#include "engines/EspeakService.h"
#include "parlan/Engines.h"

namespace parlan::engines {

class EspeakDirectSS : public DirectSS {
 public:
  EspeakDirectSS(EspeakService& service, std::shared_ptr<AudioSink> sink, ReadingStyle style = {});
  ~EspeakDirectSS() override;

  bool Invoke(int32_t dispid, CallKind kind, const std::vector<Variant>& args,
              Variant& result) override;
  void SetEvents(DirectSSEvents* events) override { events_ = events; }
  void PumpEvents() override;
  bool Busy() override;
  void SetWakeup(std::function<void()> wakeup) override { channel_->SetWakeup(std::move(wakeup)); }
  void WatchStop(std::shared_ptr<const std::atomic<bool>> stop) override {
    stop_ = std::move(stop);
  }

 private:
  bool Dispatch(int32_t dispid, CallKind kind, const std::vector<Variant>& args, Variant& result);
  bool Setting(int32_t& value, int32_t lowest, int32_t highest, CallKind kind,
               const std::vector<Variant>& args, Variant& result);
  bool SelectMode(const std::vector<Variant>& args);
  bool ModeName(const std::vector<Variant>& args, Variant& result);
  bool Find(const std::vector<Variant>& args, Variant& result);
  bool Speak(const std::vector<Variant>& args);

  EspeakService& service_;
  std::shared_ptr<SpeechChannel> channel_;
  DirectSSEvents* events_ = nullptr;
  size_t mode_;
  int32_t pitch_;
  int32_t speed_;
  int32_t volume1_;
  int32_t volume2_;
  uint64_t lastUtterance_ = 0;
  ReadingStyle style_;
  std::shared_ptr<const std::atomic<bool>> stop_;
};

}  // namespace parlan::engines
