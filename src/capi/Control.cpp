// Creation, modes, speech and events of the C interface.
#include <chrono>
#include <new>

#include "capi/Handle.h"
#include "parlan/EspeakEngines.h"
#include "strings/Unicode.h"

using parlan::capi::Guard;

namespace parlan::capi {

const char* Hand(parlan_control& h, std::string text) {
  h.Text = std::move(text);
  return h.Text.c_str();
}

namespace {

class CallbackSink : public ParlanaEvents {
 public:
  CallbackSink(parlan_event_callback callback, void* user) : callback_(callback), user_(user) {}
  void AudioStart(int32_t& hi, int32_t& lo) override {
    Send({PARLAN_EVENT_AUDIO_START, hi, lo, 0, 0, 0, 0});
  }
  void AudioStop(int32_t& hi, int32_t& lo) override {
    Send({PARLAN_EVENT_AUDIO_STOP, hi, lo, 0, 0, 0, 0});
  }
  void WordPosition(int32_t& hi, int32_t& low, int32_t& byteoffset, int32_t stream, Variant,
                    int32_t character, int32_t length) override {
    Send({PARLAN_EVENT_WORD_POSITION, hi, low, byteoffset, stream, character, length});
  }

 private:
  void Send(const parlan_event& e) { callback_(user_, &e); }
  parlan_event_callback callback_;
  void* user_;
};

std::shared_ptr<engines::EngineFactory> MakeEngines(const parlan_options& o, parlan_control& h) {
  switch (o.engines) {
    case PARLAN_ENGINES_DEFAULT:
      return engines::DefaultEngineFactory();
    case PARLAN_ENGINES_NULL:
      return engines::NullEngineFactory();
    case PARLAN_ENGINES_RECORDING:
      h.Recording = std::make_shared<engines::RecordingEngineFactory>();
      return h.Recording;
    case PARLAN_ENGINES_FILE:
      if (!o.audio_file || !*o.audio_file) return nullptr;
      return engines::EspeakEngineFactory({engines::AudioOutput::Kind::File, o.audio_file});
  }
  return nullptr;
}

bool ToUtf16(const char* text, std::u16string& out) {
  return text && Utf8ToUtf16(text, out);
}

}  // namespace
}  // namespace parlan::capi

using namespace parlan;

extern "C" {

int parlan_create(const parlan_options* options, parlan_control** out) {
  if (!out) return PARLAN_ERROR_ARGUMENT;
  *out = nullptr;
  try {
    const parlan_options o =
        options ? *options : parlan_options{nullptr, PARLAN_ENGINES_DEFAULT, nullptr};
    auto h = std::make_unique<parlan_control>();
    ParlanaSettings settings;
    if (o.install_root) {
      std::u16string checked;
      if (!capi::ToUtf16(o.install_root, checked)) return PARLAN_ERROR_ARGUMENT;
      settings.InstallRoot = o.install_root;
    }
    settings.Engines = capi::MakeEngines(o, *h);
    if (!settings.Engines) return PARLAN_ERROR_ARGUMENT;
    h->Control = std::make_unique<Parlana>(std::move(settings));
    *out = h.release();
    return PARLAN_OK;
  } catch (...) {
    return PARLAN_ERROR_FAILED;
  }
}

void parlan_destroy(parlan_control* control) {
  try {
    delete control;
  } catch (...) {
  }
}

const char* parlan_install_root(parlan_control* control) {
  const char* answer = nullptr;
  Guard(control, [&](parlan_control& h) -> int {
    answer = capi::Hand(h, h.Control->InstallRoot().string());
    return PARLAN_OK;
  });
  return answer;
}

int parlan_mode_count(parlan_control* control) {
  return Guard(control, [](parlan_control& h) -> int { return int(h.Control->CountEngines()); });
}

const char* parlan_mode_name(parlan_control* control, int mode) {
  const char* answer = nullptr;
  Guard(control, [&](parlan_control& h) -> int {
    if (mode < 1 || mode > h.Control->CountEngines() || mode > INT16_MAX) return PARLAN_ERROR_RANGE;
    answer = capi::Hand(h, ToUtf8(h.Control->ModeName(static_cast<int16_t>(mode))));
    return PARLAN_OK;
  });
  return answer;
}

int parlan_select(parlan_control* control, int mode) {
  return Guard(control, [&](parlan_control& h) -> int {
    if (mode < 1 || mode > h.Control->CountEngines()) return PARLAN_ERROR_RANGE;
    h.Control->SetCurrentMode(mode);
    return h.Control->CurrentMode() == mode ? PARLAN_OK : PARLAN_ERROR_FAILED;
  });
}

int parlan_select_name(parlan_control* control, const char* name) {
  return Guard(control, [&](parlan_control& h) -> int {
    std::u16string wanted;
    if (!capi::ToUtf16(name, wanted)) return PARLAN_ERROR_ARGUMENT;
    const int count = h.Control->CountEngines();
    int found = 0;
    for (int i = 1; i <= count && i <= INT16_MAX && !found; ++i)
      if (h.Control->ModeName(static_cast<int16_t>(i)) == wanted) found = i;
    for (int i = 1; i <= count && i <= INT16_MAX && !found; ++i)
      if (EqualsIgnoreCase(h.Control->ModeName(static_cast<int16_t>(i)), wanted)) found = i;
    return found ? parlan_select(control, found) : PARLAN_ERROR_NOT_FOUND;
  });
}

int parlan_speak(parlan_control* control, const char* text) {
  return Guard(control, [&](parlan_control& h) -> int {
    std::u16string t;
    if (!capi::ToUtf16(text, t)) return PARLAN_ERROR_ARGUMENT;
    h.Control->Speak(t);
    return PARLAN_OK;
  });
}

int parlan_speak_phonemes(parlan_control* control, const char* phonemes) {
  return Guard(control, [&](parlan_control& h) -> int {
    std::u16string t;
    if (!capi::ToUtf16(phonemes, t)) return PARLAN_ERROR_ARGUMENT;
    h.Control->SpeakPhoneme(t);
    return PARLAN_OK;
  });
}

int parlan_audio_reset(parlan_control* control) {
  return Guard(control, [](parlan_control& h) -> int {
    h.Control->AudioReset();
    return PARLAN_OK;
  });
}

int parlan_last_error(parlan_control* control, const char** message) {
  return Guard(control, [&](parlan_control& h) -> int {
    std::u16string text;
    const int number = h.Control->LastError(text);
    const char* kept = capi::Hand(h, ToUtf8(text));
    if (message) *message = kept;
    return number;
  });
}

int parlan_set_event_callback(parlan_control* control, parlan_event_callback callback, void* user) {
  return Guard(control, [&](parlan_control& h) -> int {
    if (h.Sink) h.Control->RemoveEventSink(h.Sink);
    h.Sink.reset();
    if (callback) {
      h.Sink = std::make_shared<capi::CallbackSink>(callback, user);
      h.Control->AddEventSink(h.Sink);
    }
    return PARLAN_OK;
  });
}

int parlan_pump(parlan_control* control) {
  return Guard(control, [](parlan_control& h) -> int {
    h.Control->DoEvents();
    return PARLAN_OK;
  });
}

int parlan_wait(parlan_control* control, int timeout_ms) {
  return Guard(control, [&](parlan_control& h) -> int {
    if (timeout_ms < 0) return PARLAN_ERROR_RANGE;
    return h.Control->WaitUntilDone(std::chrono::milliseconds(timeout_ms)) ? PARLAN_OK
                                                                           : PARLAN_TIMEOUT;
  });
}

int parlan_journal_size(parlan_control* control) {
  return Guard(control, [](parlan_control& h) -> int {
    if (!h.Recording) return PARLAN_ERROR_WRONG_ENGINES;
    return static_cast<int>(h.Recording->Journal->size());
  });
}

const char* parlan_journal_line(parlan_control* control, int index) {
  const char* answer = nullptr;
  Guard(control, [&](parlan_control& h) -> int {
    if (!h.Recording || index < 0 || static_cast<size_t>(index) >= h.Recording->Journal->size())
      return PARLAN_ERROR_RANGE;
    answer = capi::Hand(h, (*h.Recording->Journal)[static_cast<size_t>(index)]);
    return PARLAN_OK;
  });
  return answer;
}

}  // extern "C"
