// The voice on eSpeak NG (see parlan/EspeakEngines.h for what it offers).
#pragma once

#include <memory>

#include "engines/AudioSinks.h"
#include "engines/EspeakService.h"
#include "parlan/Engines.h"

namespace parlan::engines {

class EspeakVoice : public Voice {
 public:
  EspeakVoice(EspeakService& service, std::shared_ptr<AudioSink> sink, ReadingStyle style = {});
  ~EspeakVoice() override;

  bool Speak(const std::u16string* text, int32_t flags, int32_t& streamNumber) override;
  bool GetRate(int32_t& rate) override;
  bool SetRate(int32_t rate) override;
  bool SetVolume(int32_t volume) override;
  bool GetVoices(const std::u16string& required, const std::u16string& optional,
                 std::shared_ptr<VoiceTokens>& tokens) override;
  bool SetVoice(const std::shared_ptr<VoiceToken>& token) override;
  void SetEvents(VoiceEvents* events) override { events_ = events; }
  void PumpEvents() override;
  bool Busy() override;
  void SetWakeup(std::function<void()> wakeup) override { channel_->SetWakeup(std::move(wakeup)); }
  void WatchStop(std::shared_ptr<const std::atomic<bool>> stop) override {
    stop_ = std::move(stop);
  }

 private:
  std::shared_ptr<Utterance> MakeUtterance(const std::u16string& text, int32_t flags);

  EspeakService& service_;
  std::shared_ptr<SpeechChannel> channel_;
  VoiceEvents* events_ = nullptr;
  size_t voice_;
  int32_t rate_ = 0;
  int32_t volume_ = 100;
  int32_t absMiddle_ = 0;  // the pitch kept in force by markup spoken with flag 32
  uint64_t lastUtterance_ = 0;
  ReadingStyle style_;
  std::shared_ptr<const std::atomic<bool>> stop_;
};

}  // namespace parlan::engines
