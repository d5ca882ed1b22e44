#include "PhonemeTap.h"

namespace parlan::cli {
namespace {

using Strings = std::shared_ptr<std::vector<std::u16string>>;
using Listener = std::shared_ptr<PhonemeTap::UtteranceListener>;

void Tell(const Listener& listener, const std::u16string& text) {
  if (listener && *listener) (*listener)(text);
}

class TappedDirectSS : public engines::DirectSS {
 public:
  // `strings` is null for an object whose phoneme strings are not the pipeline's.
  TappedDirectSS(std::unique_ptr<engines::DirectSS> inner, Strings strings, Listener listener)
      : inner_(std::move(inner)), strings_(std::move(strings)), listener_(std::move(listener)) {}
  bool Invoke(int32_t dispid, engines::CallKind kind, const std::vector<Variant>& args,
              Variant& result) override {
    int64_t code = -1;
    if (dispid == engines::ss::kSpeak && kind == engines::CallKind::Method && args.size() == 3 &&
        args[0].ToInt64(code) && args[2].type() == Variant::Type::String) {
      if (strings_ && code == engines::ss::kSpeakPhonemes) strings_->push_back(args[2].AsString());
      Tell(listener_, args[2].AsString());
    }
    return inner_->Invoke(dispid, kind, args, result);
  }
  void SetEvents(engines::DirectSSEvents* events) override { inner_->SetEvents(events); }
  void PumpEvents() override { inner_->PumpEvents(); }
  bool Busy() override { return inner_->Busy(); }
  void SetWakeup(std::function<void()> wakeup) override { inner_->SetWakeup(std::move(wakeup)); }
  void WatchStop(std::shared_ptr<const std::atomic<bool>> stop) override {
    inner_->WatchStop(std::move(stop));
  }

 private:
  std::unique_ptr<engines::DirectSS> inner_;
  Strings strings_;
  Listener listener_;
};

class TappedVoice : public engines::Voice {
 public:
  TappedVoice(std::unique_ptr<engines::Voice> inner, Strings strings, Listener listener)
      : inner_(std::move(inner)), strings_(std::move(strings)), listener_(std::move(listener)) {}
  bool Speak(const std::u16string* text, int32_t flags, int32_t& streamNumber) override {
    std::u16string symbols;
    if (text && PronunciationSymbols(*text, symbols)) strings_->push_back(symbols);
    if (text) Tell(listener_, *text);
    return inner_->Speak(text, flags, streamNumber);
  }
  bool GetRate(int32_t& rate) override { return inner_->GetRate(rate); }
  bool SetRate(int32_t rate) override { return inner_->SetRate(rate); }
  bool SetVolume(int32_t volume) override { return inner_->SetVolume(volume); }
  bool GetVoices(const std::u16string& required, const std::u16string& optional,
                 std::shared_ptr<engines::VoiceTokens>& tokens) override {
    return inner_->GetVoices(required, optional, tokens);
  }
  bool SetVoice(const std::shared_ptr<engines::VoiceToken>& token) override {
    return inner_->SetVoice(token);
  }
  void SetEvents(engines::VoiceEvents* events) override { inner_->SetEvents(events); }
  void PumpEvents() override { inner_->PumpEvents(); }
  bool Busy() override { return inner_->Busy(); }
  void SetWakeup(std::function<void()> wakeup) override { inner_->SetWakeup(std::move(wakeup)); }
  void WatchStop(std::shared_ptr<const std::atomic<bool>> stop) override {
    inner_->WatchStop(std::move(stop));
  }

 private:
  std::unique_ptr<engines::Voice> inner_;
  Strings strings_;
  Listener listener_;
};

}  // namespace

bool PronunciationSymbols(std::u16string_view markup, std::u16string& symbols) {
  constexpr std::u16string_view kOpen = u"<pron sym=\"";
  constexpr std::u16string_view kClose = u"\"/>";
  if (!markup.starts_with(kOpen) || !markup.ends_with(kClose) ||
      markup.size() < kOpen.size() + kClose.size())
    return false;
  symbols.assign(markup.substr(kOpen.size(), markup.size() - kOpen.size() - kClose.size()));
  return true;
}

PhonemeTap::PhonemeTap(std::shared_ptr<engines::EngineFactory> inner)
    : inner_(std::move(inner)),
      strings_(std::make_shared<std::vector<std::u16string>>()),
      listener_(std::make_shared<UtteranceListener>()) {}

std::unique_ptr<engines::DirectSS> PhonemeTap::CreateDirectSS(engines::DirectSSRole role) {
  auto engine = inner_ ? inner_->CreateDirectSS(role) : nullptr;
  // Only the object of native modes speaks phoneme strings of the pipeline.
  if (!engine) return engine;
  return std::make_unique<TappedDirectSS>(
      std::move(engine), role == engines::DirectSSRole::ParlanSapi ? strings_ : nullptr, listener_);
}

std::unique_ptr<engines::Voice> PhonemeTap::CreateVoice() {
  auto voice = inner_ ? inner_->CreateVoice() : nullptr;
  if (!voice) return voice;
  return std::make_unique<TappedVoice>(std::move(voice), strings_, listener_);
}

void PhonemeTap::SetUtteranceListener(UtteranceListener listener) {
  *listener_ = std::move(listener);
}

std::vector<std::u16string> PhonemeTap::Take() {
  std::vector<std::u16string> taken;
  taken.swap(*strings_);
  return taken;
}

}  // namespace parlan::cli
