// The control's creation, its engine rule, and the members that speak, select and report.
#include "parlan/Parlana.h"

#include <thread>

#include "control/DefaultRoot.h"
#include "control/ParlanaImpl.h"
#include "engines/EngineCalls.h"
#include "pipeline/SpeakNative.h"
#include "strings/NumberText.h"

namespace parlan {

namespace ss = engines::ss;

EngineTarget Parlana::Impl::Target() const {
  const ModeState& m = ThreadState().Modes;
  if (m.ModeKind == kNativeMode && m.NativeEngineKind == kNativeOnSapi4)
    return EngineTarget::NativeOnSapi4;
  if (m.ModeKind == kSapi4Mode) return EngineTarget::Sapi4;
  if (m.ModeKind == kSapi5Mode ||
      (m.ModeKind == kNativeMode && m.NativeEngineKind == kNativeOnSapi5))
    return EngineTarget::Sapi5;
  return EngineTarget::None;
}

engines::DirectSS* Parlana::Impl::DirectTarget() const {
  switch (Target()) {
    case EngineTarget::NativeOnSapi4:
      return ParlanSapiObj.get();
    case EngineTarget::Sapi4:
      return Sapi4Obj.get();
    default:
      return nullptr;
  }
}

ModeEngines Parlana::Impl::Engines() const {
  return {ParlanSapiObj.get(), Sapi4Obj.get(), Sapi5Obj.get()};
}

void Parlana::Impl::NotifyPropertyChanged(const char16_t* name) {
  if (!OnPropertyChanged) return;
  try {
    OnPropertyChanged(name);
  } catch (...) {
  }
}

bool Parlana::Impl::VoiceSpeak(const std::u16string* text, int32_t flags) {
  int32_t stream = 0;
  return Sapi5Obj && Sapi5Obj->Speak(text, flags, stream);
}

Parlana::Parlana(ParlanaSettings settings) : impl_(std::make_unique<Impl>()) {
  Guarded([&] {
    Impl& d = *impl_;
    d.Root = settings.InstallRoot.empty() ? DefaultInstallRoot() : settings.InstallRoot;
    auto factory = settings.Engines ? settings.Engines : engines::DefaultEngineFactory();
    if (!factory) factory = engines::NullEngineFactory();
    // The two direct text-to-speech objects exist with the control; then the voice is created
    // and every engine's notifications are attached.
    d.ParlanSapiObj = factory->CreateDirectSS(engines::DirectSSRole::ParlanSapi);
    d.Sapi4Obj = factory->CreateDirectSS(engines::DirectSSRole::Sapi4);
    d.ParlanSapiRelay = std::make_unique<DirectSSRelay>(d.Sinks, true);
    d.Sapi4Relay = std::make_unique<DirectSSRelay>(d.Sinks, false);
    if (d.ParlanSapiObj) d.ParlanSapiObj->SetEvents(d.ParlanSapiRelay.get());
    if (d.Sapi4Obj) d.Sapi4Obj->SetEvents(d.Sapi4Relay.get());
    d.Sapi5Obj = factory->CreateVoice();
    d.Sapi5Relay = std::make_unique<VoiceRelay>(d.Sinks);
    if (d.Sapi5Obj) d.Sapi5Obj->SetEvents(d.Sapi5Relay.get());
    if (d.ParlanSapiObj) d.ParlanSapiObj->WatchStop(d.StopRequested);
    if (d.Sapi4Obj) d.Sapi4Obj->WatchStop(d.StopRequested);
    if (d.Sapi5Obj) d.Sapi5Obj->WatchStop(d.StopRequested);

    ModuleState& s = ThreadState();
    ListNativeModes(s.Modes, d.Root, s.LastError, s.Pipeline.Letters.ConversionOk);
    ListSapi4Modes(s.Modes, d.Sapi4Obj.get());
    ListSapi5Modes(s.Modes, d.Sapi5Obj.get());
  });
}

Parlana::~Parlana() {
  Guarded([&] {
    Impl& d = *impl_;
    if (d.ParlanSapiObj) d.ParlanSapiObj->SetEvents(nullptr);
    if (d.Sapi4Obj) d.Sapi4Obj->SetEvents(nullptr);
    if (d.Sapi5Obj) d.Sapi5Obj->SetEvents(nullptr);
  });
  SetEventsWaiting({});
}

const std::filesystem::path& Parlana::InstallRoot() const {
  return impl_->Root;
}

void Parlana::Speak(std::u16string& Text) {
  Guarded([&] {
    ModuleState& s = ThreadState();
    if (impl_->StopRequested->load()) {
      if (s.Modes.ModeKind == kNativeMode) Text.clear();
      return;
    }
    switch (s.Modes.ModeKind) {
      case kNativeMode: {
        if (!s.Pipeline.DebugFlags.NeverDebug) s.Pipeline.Debug.ClearDebugText();
        NativeSpeech speech{
            s.Pipeline,           s.Modes, s.LastError, impl_->Root, impl_->ParlanSapiObj.get(),
            impl_->Sapi5Obj.get()};
        speech.Stop = impl_->StopRequested.get();
        int32_t outputMode = 1;
        SpeakNative(speech, outputMode, Text);
        break;
      }
      case kSapi4Mode:
        engines::CallMethod(impl_->Sapi4Obj.get(), ss::kSpeak,
                            {Variant(ss::kSpeakText), Variant(int32_t{1}), Variant(Text)});
        break;
      case kSapi5Mode:
        impl_->VoiceSpeak(&Text, engines::voiceflags::kAsync);
        break;
      default:
        break;
    }
  });
}

Variant Parlana::SpeakPhoneme(std::u16string& Text) {
  Guarded([&] {
    engines::DirectSS* direct = impl_->DirectTarget();
    if (direct) {
      engines::CallMethod(direct, ss::kSpeak,
                          {Variant(ss::kSpeakPhonemes), Variant(int32_t{1}), Variant(Text)});
    } else if (impl_->Target() == EngineTarget::Sapi5) {
      std::u16string pron = u"<pron sym=\"" + Text + u" !\"/>";
      impl_->VoiceSpeak(&pron, engines::voiceflags::kPersistXml);
    }
  });
  return Variant();
}

void Parlana::Sapi5String(std::u16string& Text) {
  Guarded([&] {
    if (impl_->Target() == EngineTarget::Sapi5)
      impl_->VoiceSpeak(&Text, engines::voiceflags::kPersistXml);
  });
}

void Parlana::RequestStop() noexcept {
  impl_->StopRequested->store(true);
}

void Parlana::AudioReset() {
  // The engines drop their speech before the stop request is cleared: what was queued before
  // it must not start in between.
  std::atomic<bool>& stop = *impl_->StopRequested;
  Guarded([&] {
    switch (impl_->Target()) {
      case EngineTarget::NativeOnSapi4:
        engines::CallMethod(impl_->ParlanSapiObj.get(), ss::kStop, {});
        stop.store(false);
        engines::CallMethod(impl_->ParlanSapiObj.get(), ss::kSpeak,
                            {Variant(ss::kSpeakPhonemes), Variant(int32_t{1}), Variant(u"##")});
        break;
      case EngineTarget::Sapi4:
        engines::CallMethod(impl_->Sapi4Obj.get(), ss::kStop, {});
        break;
      case EngineTarget::Sapi5:
        impl_->VoiceSpeak(nullptr, engines::voiceflags::kPurgeBeforeSpeak);
        break;
      case EngineTarget::None:
        break;
    }
  });
  stop.store(false);
}

void Parlana::Sel(int32_t& Index) {
  Guarded([&] {
    ModuleState& s = ThreadState();
    s.Modes.CurrentModeNumber = Index;
    if (auto n = NarrowTo16(static_cast<int64_t>(Index)))
      SelectMode(s.Modes, *n, impl_->Engines(), impl_->Root, s.LastError);
  });
}

int16_t Parlana::LastError(std::u16string& ErrorStr) {
  return Guarded([&] {
    const ErrorRecord& e = ThreadState().LastError;
    ErrorStr = e.Text;
    return e.Number;
  });
}

int32_t Parlana::CountEngines() {
  return Guarded([] { return parlan::CountEngines(ThreadState().Modes); });
}
void Parlana::SetCountEngines(int32_t) {}

int32_t Parlana::CurrentMode() {
  return ThreadState().Modes.CurrentModeNumber;
}

void Parlana::SetCurrentMode(int32_t value) {
  Guarded([&] {
    ModuleState& s = ThreadState();
    if (value <= parlan::CountEngines(s.Modes)) {
      s.Modes.CurrentModeNumber = value;
      if (auto n = NarrowTo16(static_cast<int64_t>(value)))
        SelectMode(s.Modes, *n, impl_->Engines(), impl_->Root, s.LastError);
      impl_->NotifyPropertyChanged(u"CurrentMode");
    }
    s.Pipeline.ForgetLanguageFiles();
    if (impl_->Sapi5Obj) impl_->Sapi5Obj->SetRate(0);
    impl_->SpeakPitchMarkup(0);
  });
}

std::u16string Parlana::Speaker() {
  // The one member whose failure reaches the host: a mode number without an entry in its table.
  const ModeState& m = ThreadState().Modes;
  auto at = [&](const std::vector<std::u16string>& table) {
    return table.at(static_cast<size_t>(m.ModeIndex) - 1);
  };
  switch (m.ModeKind) {
    case kNativeMode:
      return at(m.NativeModeNames);
    case kSapi4Mode:
      return at(m.Sapi4ModeNames);
    case kSapi5Mode:
      return at(m.Sapi5ModeNames);
    default:
      return {};
  }
}
void Parlana::SetSpeaker(const std::u16string&) {}

std::u16string Parlana::ModeName(int16_t Index) {
  return Guarded([&] {
    ModuleState& s = ThreadState();
    return parlan::ModeName(s.Modes, Index, s.LastError);
  });
}

void Parlana::AddEventSink(std::shared_ptr<ParlanaEvents> sink) {
  Guarded([&] {
    if (sink) impl_->Sinks.push_back(std::move(sink));
  });
}

void Parlana::RemoveEventSink(const std::shared_ptr<ParlanaEvents>& sink) {
  Guarded([&] { std::erase(impl_->Sinks, sink); });
}

void Parlana::SetPropertyChangedCallback(PropertyChangedCallback callback) {
  impl_->OnPropertyChanged = std::move(callback);
}

void Parlana::DoEvents() {
  Guarded([&] {
    if (impl_->ParlanSapiObj) impl_->ParlanSapiObj->PumpEvents();
    if (impl_->Sapi4Obj) impl_->Sapi4Obj->PumpEvents();
    if (impl_->Sapi5Obj) impl_->Sapi5Obj->PumpEvents();
  });
}

void Parlana::SetEventsWaiting(std::function<void()> wakeup) {
  Guarded([&] {
    if (impl_->ParlanSapiObj) impl_->ParlanSapiObj->SetWakeup(wakeup);
    if (impl_->Sapi4Obj) impl_->Sapi4Obj->SetWakeup(wakeup);
    if (impl_->Sapi5Obj) impl_->Sapi5Obj->SetWakeup(wakeup);
  });
}

bool Parlana::WaitUntilDone(std::chrono::milliseconds timeout) {
  return Guarded([&] {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    auto busy = [&] {
      return (impl_->ParlanSapiObj && impl_->ParlanSapiObj->Busy()) ||
             (impl_->Sapi4Obj && impl_->Sapi4Obj->Busy()) ||
             (impl_->Sapi5Obj && impl_->Sapi5Obj->Busy());
    };
    while (true) {
      DoEvents();
      if (!busy()) return true;
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
}

}  // namespace parlan
