#include "ControlHost.h"

#include <charconv>
#include <system_error>

#include "CliErrors.h"
#include "modes/ParlanFileManagement.h"
#include "parlan/EspeakEngines.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

bool ParseModeNumber(const std::string& text, int64_t& number) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, number);
  return ec == std::errc() && ptr == end;
}

std::string LanguageOfVoice(const std::vector<engines::EngineVoice>& voices,
                            const std::u16string& name) {
  for (const engines::EngineVoice& v : voices)
    if (v.Name == name) return v.Language;
  return "";
}

// The engine's name of a mode: its display name without the suffix of its kind.
std::u16string VoiceName(const std::u16string& displayName, const std::string& kind) {
  const size_t suffix = kind == "SAPI 4" ? 10 : kind == "SAPI 5" ? 9 : 0;
  return suffix && displayName.size() > suffix ? displayName.substr(0, displayName.size() - suffix)
                                               : std::u16string();
}

std::string NativeLanguage(const std::filesystem::path& root,
                           const std::vector<engines::EngineVoice>& voices,
                           const std::u16string& displayName) {
  const std::filesystem::path config =
      LanguageFilePath(root, LanguageOfMode(displayName), LanguageFile::Configuration);
  ErrorRecord ignored;
  const bool female = IsFemaleMode(displayName);
  for (std::u16string_view key : {female ? u"FEMALE" : u"MALE", female ? u"MALE" : u"FEMALE"})
    if (std::string code = LanguageOfVoice(voices, ReadConfigValue(config, key, ignored));
        !code.empty())
      return code;
  return "";
}

}  // namespace

std::shared_ptr<engines::EngineFactory> MakeEngines(AudioChoice choice,
                                                    const std::filesystem::path& file,
                                                    std::shared_ptr<engines::OutputFailure> failure,
                                                    const engines::ReadingStyle& style) {
  engines::AudioOutput output;
  output.kind = choice == AudioChoice::File   ? engines::AudioOutput::Kind::File
                : choice == AudioChoice::None ? engines::AudioOutput::Kind::None
                                              : engines::AudioOutput::Kind::SoundServer;
  output.file = file;
  return engines::EspeakEngineFactory(output, std::move(failure), style);
}

bool AudioAvailable() {
  return engines::EspeakAvailable();
}

ControlHost::ControlHost(const CliOptions& options,
                         std::shared_ptr<engines::EngineFactory> engines) {
  std::error_code ec;
  if (!options.Root.empty() && !std::filesystem::is_directory(options.Root, ec))
    throw UsageError("install root " + options.Root + " is not a folder");
  if (!options.Settings.empty()) {
    store_ = std::make_unique<FilePropertyStore>(options.Settings);
    if (std::filesystem::is_directory(options.Settings, ec))
      throw UsageError("cannot read settings file " + options.Settings + ": it is a folder");
    errno = 0;
    if (!store_->Load()) throw UsageError(CannotRead("settings file " + options.Settings));
  }
  control_ = std::make_unique<Parlana>(ParlanaSettings{options.Root, std::move(engines)});
  if (store_) control_->ReadProperties(*store_);
}

ControlHost::~ControlHost() = default;

std::vector<ModeEntry> ControlHost::Modes() {
  std::vector<ModeEntry> modes;
  const std::vector<engines::EngineVoice> voices = engines::EspeakVoiceList();
  const int32_t count = control_->CountEngines();
  for (int32_t i = 1; i <= count && i <= INT16_MAX; ++i) {
    std::u16string name = control_->ModeName(static_cast<int16_t>(i));
    const std::string kind = KindOfMode(name);
    const std::string language = kind == "native"
                                     ? NativeLanguage(control_->InstallRoot(), voices, name)
                                     : LanguageOfVoice(voices, VoiceName(name, kind));
    modes.push_back({i, name, kind, language, IsFemaleMode(name)});
  }
  return modes;
}

void ControlHost::RequireNativeLanguages() {
  for (const ModeEntry& m : Modes())
    if (m.Kind == "native") return;
  throw UsageError("no native languages under " + control_->InstallRoot().string());
}

int32_t ControlHost::ResolveMode(const std::string& mode) {
  // A native mode's name asked for where the root holds none: say why it is missing.
  if (std::u16string name; Utf8ToUtf16(mode, name) && KindOfMode(name) == "native")
    RequireNativeLanguages();
  const std::vector<ModeEntry> modes = Modes();
  const auto count = static_cast<int64_t>(modes.size());
  if (count == 0)
    throw UsageError("no modes: no language under " + control_->InstallRoot().string() +
                     " and no speech engine");
  const std::string range = " (the modes are numbered 1 to " + std::to_string(count) + ")";
  int64_t number = 0;
  if (mode.empty()) {
    number = store_ ? control_->CurrentMode() : 1;
    return number >= 1 && number <= count ? static_cast<int32_t>(number) : 1;
  }
  if (ParseModeNumber(mode, number)) {
    if (number < 1 || number > count) throw UsageError("unknown mode " + mode + range);
    return static_cast<int32_t>(number);
  }
  if (int32_t found = FindMode(modes, mode)) return found;
  throw UsageError("unknown mode \"" + mode + "\" (parlan modes lists them)");
}

ModeEntry ControlHost::SelectMode(const std::string& mode) {
  const int32_t number = ResolveMode(mode);
  control_->SetCurrentMode(number);
  std::u16string name = control_->ModeName(static_cast<int16_t>(number));
  for (ModeEntry& m : Modes())
    if (m.Number == number) return m;
  return {number, name, KindOfMode(name), "", IsFemaleMode(name)};
}

void ControlHost::SaveSettings() {
  if (!store_) return;
  control_->WriteProperties(*store_);
  if (!store_->Save()) throw RunError("cannot write settings file " + store_->Path().string());
}

void ControlHost::Close() {
  control_.reset();
}

}  // namespace parlan::cli
