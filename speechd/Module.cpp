#include "Module.h"

#include <unicode/unistr.h>

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <fstream>

namespace parlan::speechd {

namespace {

using Kind = Request::Kind;
constexpr int kRate = 22050;

class Relay : public ParlanaEvents {
 public:
  explicit Relay(Module& module) : module_(module) {}
  void AudioStart(int32_t&, int32_t&) override { module_.OnAudioStart(); }
  void AudioStop(int32_t&, int32_t&) override {}
  void WordPosition(int32_t&, int32_t&, int32_t&, int32_t, Variant, int32_t, int32_t) override {}

 private:
  Module& module_;
};

std::u16string Utf16(const std::string& s) {
  const icu::UnicodeString u = icu::UnicodeString::fromUTF8(s);
  return std::u16string(u.getBuffer(), static_cast<size_t>(u.length()));
}

std::string Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return std::string(s);
}

std::optional<int> Number(const std::string& s) {
  int value = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (error != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

// One line of protocol output: no line breaks inside.
std::string OneLine(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\r') c = ' ';
  return s;
}

int KindOfMode(const std::string& name) {
  if (name.ends_with("(SAPI 4)")) return 1;
  if (name.ends_with("(SAPI 5)")) return 2;
  return 0;
}

}  // namespace

ModuleConfig ReadModuleConfig(const std::filesystem::path& file) {
  ModuleConfig config;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    const std::string text = Trim(line.substr(0, line.find('#')));
    const size_t blank = text.find_first_of(" \t");
    if (blank == std::string::npos) continue;
    const std::string name = text.substr(0, blank);
    std::string value = Trim(text.substr(blank));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (name == "ParlanDefaultVoice") config.DefaultVoice = value;
    if (name == "ParlanServerAudio") config.ServerAudio = value != "0" && value != "no";
    if (name == "ParlanInstallRoot") config.InstallRoot = value;
  }
  return config;
}

Module::Module(ModuleConfig config, ServerOutput& output)
    : config_(std::move(config)), output_(output), events_(std::make_shared<Relay>(*this)) {}

Module::~Module() {
  Shutdown();
  control_.reset();
}

Parlana& Module::Control() {
  if (control_) return *control_;
  engines::AudioOutput audio;
  if (serverAudio_.value_or(false)) {
    audio.kind = engines::AudioOutput::Kind::Handler;
    audio.handler = [this](const int16_t* samples, size_t count) {
      output_.Audio(samples, count, kRate);
    };
  }
  ParlanaSettings settings;
  settings.InstallRoot = config_.InstallRoot;
  settings.Engines = engines::EspeakEngineFactory(audio);
  control_ = std::make_unique<Parlana>(std::move(settings));
  control_->SetNeverDebug(true);
  control_->AddEventSink(events_);
  return *control_;
}

void Module::Handle(const Request& r) {
  switch (r.What) {
    case Kind::Init:
      return Init();
    case Kind::Receiving:
      if (r.Block == Kind::Set) return Reply("207 OK RECEIVING SETTINGS");
      if (r.Block == Kind::Audio) return Reply("207 OK RECEIVING AUDIO SETTINGS");
      if (r.Block == Kind::LogLevel) return Reply("207 OK RECEIVING LOGLEVEL SETTINGS");
      return Reply("202 OK RECEIVING MESSAGE");
    case Kind::Speak:
    case Kind::Char:
    case Kind::Key:
    case Kind::SoundIcon:
      return Speak(r);
    case Kind::Stop:
      return Stop();
    case Kind::Pause:
      if (state_ == State::Speaking) pauseWanted_ = true;
      return;
    case Kind::ListVoices:
      return ListVoices();
    case Kind::Set:
      return Set(r);
    case Kind::Audio:
      return AudioSettings(r);
    case Kind::LogLevel:
      return Reply(r.BadLine ? "302 ERROR BAD SYNTAX" : "203 OK LOGLEVEL SET");
    case Kind::Debug:
      if (r.Text.starts_with("DEBUG ON ") && r.Text.size() > 9) return Reply("200 OK DEBUGGING ON");
      if (Trim(r.Text) == "DEBUG OFF") return Reply("200 OK DEBUGGING OFF");
      return Reply("302 ERROR BAD SYNTAX");
    case Kind::Quit:
      Shutdown();
      quit_ = true;
      return Reply("210 OK QUIT");
    case Kind::Unknown:
      return Reply("300 ERR UNKNOWN COMMAND");
  }
}

void Module::Init() {
  if (!engines::EspeakAvailable()) {
    quit_ = true;
    return output_.Write(
        "399-eSpeak NG could not be started, so Parlan has no engine to speak with\n"
        "399 ERR CANT INIT MODULE\n");
  }
  output_.Write("299-Parlan " PARLAN_MODULE_VERSION " ready\n299 OK LOADED SUCCESSFULLY\n");
}

const std::vector<ModuleVoice>& Module::Voices() {
  if (voices_) return *voices_;
  Parlana& control = Control();
  std::vector<std::u16string> names;
  const int32_t count = std::min<int32_t>(control.CountEngines(), INT16_MAX);
  for (int32_t i = 1; i <= count; ++i) names.push_back(control.ModeName(static_cast<int16_t>(i)));
  voices_ = DescribeModes(names, control.InstallRoot(), engines::EspeakVoiceList());
  return *voices_;
}

void Module::ListVoices() {
  const std::vector<ModuleVoice>& voices = Voices();
  if (voices.empty()) return Reply("304 CANT LIST VOICES");
  std::string out;
  for (const ModuleVoice& v : voices)
    out += "200-" + OneLine(v.Name) + "\t" + v.Language + "\t" + (v.Female ? "female1" : "male1") +
           "\n";
  output_.Write(out + "200 OK VOICE LIST SENT\n");
}

void Module::Set(const Request& r) {
  for (const auto& [name, value] : r.Params) {
    const std::optional<int> n = Number(value);
    if (name == "rate" && n) settings_.Rate = *n;
    if (name == "pitch" && n) settings_.Pitch = *n;
    if (name == "volume" && n) settings_.Volume = *n;
    if (name == "punctuation_mode")
      settings_.Words.Punct = value == "all"    ? Punctuation::All
                              : value == "most" ? Punctuation::Most
                              : value == "some" ? Punctuation::Some
                                                : Punctuation::None;
    if (name == "spelling_mode") settings_.Words.Spelling = value == "on";
    if (name == "cap_let_recogn")
      settings_.Words.Capitals = value == "spell"  ? CapitalLetters::Spell
                                 : value == "icon" ? CapitalLetters::Icon
                                                   : CapitalLetters::None;
    if (name == "voice") settings_.Wish.VoiceType = value;
    if (name == "language") settings_.Wish.Language = value;
    if (name == "synthesis_voice") settings_.Wish.SynthesisVoice = value;
  }
  Reply(r.BadLine ? "302 ERROR BAD SYNTAX" : "203 OK SETTINGS RECEIVED");
}

void Module::AudioSettings(const Request& r) {
  std::string method, device;
  for (const auto& [name, value] : r.Params) {
    if (name == "audio_output_method") method = value;
    if (name == "audio_pulse_device") device = value;
  }
  const bool server = method == "server";
  if (server && !config_.ServerAudio) return Reply("303 ERROR INVALID PARAMETER OR VALUE");
  if (control_ && serverAudio_.value_or(false) != server)
    return Reply("300-the audio output is already open\n300 MODULE ERROR");
  serverAudio_ = server;
  // Other methods are served through PulseAudio (or PipeWire's PulseAudio service).
  if (!server && !device.empty() && device != "NULL" && device != "default")
    ::setenv("PULSE_SINK", device.c_str(), 1);
  Reply("203 OK AUDIO INITIALIZED");
}

void Module::Speak(const Request& r) {
  if (state_ == State::Stopping) FinishStop();
  if (r.TooLong || r.Text.empty() || state_ != State::Idle) return Reply("301 ERROR CANT SPEAK");
  if (r.What != Kind::Speak && r.Lines > 1) return Reply("305 DATA MORE THAN ONE LINE");
  ApplySettings();
  const Wording& w = settings_.Words;
  parts_.clear();
  if (r.What == Kind::Speak) {
    for (MessagePart& p : ParseSsml(r.Text)) {
      if (!p.IsMark) p.Text = PrepareText(p.Text, w);
      parts_.push_back(std::move(p));
    }
  } else {
    const std::string text = r.What == Kind::Char  ? CharacterWords(r.Text, w)
                             : r.What == Kind::Key ? KeyWords(r.Text, w)
                                                   : IconWords(r.Text);
    parts_.push_back(MessagePart{false, text});
  }
  Reply("200 OK SPEAKING");
  state_ = State::Speaking;
  next_ = 0;
  begun_ = false;
  pauseWanted_ = false;
  output_.OpenAudio();
  Advance();
}

void Module::ApplySettings() {
  const std::vector<ModuleVoice>& voices = Voices();
  const int v = ChooseVoice(voices, settings_.Wish, config_.DefaultVoice);
  if (v < 0) return;
  Parlana& control = Control();
  const ModuleVoice& voice = voices[size_t(v)];
  if (v != applied_.Voice) {
    control.SetCurrentMode(voice.Mode);
    applied_ = Applied{v};
  }
  settings_.Words.English = voice.Language == "en" || voice.Language.starts_with("en-");
  Normals& normal = normals_[KindOfMode(voice.Name)];
  if (normal.Speed == INT32_MIN) normal.Speed = control.Speed();
  if (normal.Pitch == INT32_MIN) normal.Pitch = control.Pitch();
  const int32_t speed =
      ScaleProsody(settings_.Rate, {control.MinSpeed(), normal.Speed, control.MaxSpeed()});
  const int32_t pitch =
      ScaleProsody(settings_.Pitch, {control.MinPitch(), normal.Pitch, control.MaxPitch()});
  const int32_t volume = VolumeLevel(settings_.Volume);
  if (speed != applied_.Speed) control.SetSpeed(applied_.Speed = speed);
  if (pitch != applied_.Pitch) control.SetPitch(applied_.Pitch = pitch);
  if (volume != applied_.Volume) control.SetVolume(applied_.Volume = volume);
}

void Module::Begin() {
  if (begun_) return;
  begun_ = true;
  output_.Write("701 BEGIN\n");
}

void Module::OnAudioStart() {
  if (state_ == State::Speaking) Begin();
}

void Module::Advance() {
  while (next_ < parts_.size()) {
    const MessagePart& part = parts_[next_++];
    if (part.IsMark) {
      Begin();
      output_.Write("700-" + OneLine(part.Text) + "\n700 INDEX MARK\n");
      if (pauseWanted_ && part.Text.starts_with("__spd_")) {
        output_.CloseAudio("704 PAUSE\n");
        state_ = State::Idle;
        return;
      }
      continue;
    }
    std::u16string text = Utf16(part.Text);
    Control().Speak(text);
    if (!Control().WaitUntilDone(std::chrono::milliseconds(0))) return;  // Tick goes on
  }
  Begin();
  output_.CloseAudio("702 END\n");
  state_ = State::Idle;
}

void Module::Stop() {
  if (state_ != State::Speaking) return;
  output_.MuteAudio();
  state_ = State::Stopping;
  Control().AudioReset();
  if (Control().WaitUntilDone(std::chrono::milliseconds(0))) FinishStop();
}

void Module::FinishStop() {
  Control().WaitUntilDone(std::chrono::milliseconds(1000));
  Begin();
  output_.CloseAudio("703 STOP\n");
  state_ = State::Idle;
}

void Module::Tick() {
  if (!control_) return;
  if (state_ == State::Idle) return control_->DoEvents();
  if (!control_->WaitUntilDone(std::chrono::milliseconds(0))) return;
  if (state_ == State::Speaking) Advance();
  if (state_ == State::Stopping) FinishStop();
}

void Module::Shutdown() {
  output_.MuteAudio();
  if (control_ && state_ != State::Idle) {
    control_->AudioReset();
    control_->WaitUntilDone(std::chrono::milliseconds(500));
  }
  state_ = State::Idle;
}

}  // namespace parlan::speechd
