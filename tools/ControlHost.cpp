#include "ControlHost.h"

#include <charconv>
#include <system_error>

#include "CliErrors.h"
#include "parlan/EspeakEngines.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

bool EndsWith(const std::u16string& text, std::u16string_view suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(),
                                                      suffix.data(), suffix.size()) == 0;
}

bool ParseModeNumber(const std::string& text, int64_t& number) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, number);
  return ec == std::errc() && ptr == end;
}

}  // namespace

std::shared_ptr<engines::EngineFactory> MakeEngines(
    AudioChoice choice, const std::filesystem::path& file,
    std::shared_ptr<engines::OutputFailure> failure) {
  engines::AudioOutput output;
  output.kind = choice == AudioChoice::File   ? engines::AudioOutput::Kind::File
                : choice == AudioChoice::None ? engines::AudioOutput::Kind::None
                                              : engines::AudioOutput::Kind::SoundServer;
  output.file = file;
  return engines::EspeakEngineFactory(output, std::move(failure));
}

bool AudioAvailable() {
  return engines::EspeakAvailable();
}

std::string KindOfMode(const std::u16string& displayName) {
  if (EndsWith(displayName, u" (Parlan)")) return "native";
  if (EndsWith(displayName, u"  (SAPI 4)")) return "SAPI 4";
  if (EndsWith(displayName, u" (SAPI 5)")) return "SAPI 5";
  return "unknown";
}

ControlHost::ControlHost(const CliOptions& options,
                         std::shared_ptr<engines::EngineFactory> engines) {
  std::error_code ec;
  if (!options.Root.empty() && !std::filesystem::is_directory(options.Root, ec))
    throw UsageError("install root " + options.Root + " is not a folder");
  if (!options.Settings.empty()) {
    store_ = std::make_unique<FilePropertyStore>(options.Settings);
    if (std::filesystem::is_directory(options.Settings, ec) || !store_->Load())
      throw UsageError("cannot read settings file " + options.Settings);
  }
  control_ = std::make_unique<Parlana>(ParlanaSettings{options.Root, std::move(engines)});
  if (store_) control_->ReadProperties(*store_);
}

ControlHost::~ControlHost() = default;

std::vector<ModeEntry> ControlHost::Modes() {
  std::vector<ModeEntry> modes;
  const int32_t count = control_->CountEngines();
  for (int32_t i = 1; i <= count && i <= INT16_MAX; ++i) {
    std::u16string name = control_->ModeName(static_cast<int16_t>(i));
    modes.push_back({i, name, KindOfMode(name)});
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
  std::u16string name;
  if (!Utf8ToUtf16(mode, name)) throw UsageError("the mode name is not valid UTF-8");
  for (const ModeEntry& m : modes)
    if (m.Name == name) return m.Number;
  for (const ModeEntry& m : modes)
    if (EqualsIgnoreCase(m.Name, name)) return m.Number;
  throw UsageError("unknown mode \"" + mode + "\" (parlan modes lists them)");
}

ModeEntry ControlHost::SelectMode(const std::string& mode) {
  const int32_t number = ResolveMode(mode);
  control_->SetCurrentMode(number);
  std::u16string name = control_->ModeName(static_cast<int16_t>(number));
  return {number, name, KindOfMode(name)};
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
