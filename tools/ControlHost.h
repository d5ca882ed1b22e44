// The control as the tool hosts it: created on the chosen install root with the chosen engines,
// its saved settings read from and written to the settings file, and modes found by number or
// as -v names them (see ModeChoice.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ModeChoice.h"
#include "Options.h"
#include "parlan/EspeakEngines.h"
#include "parlan/Parlana.h"

namespace parlan::cli {

enum class AudioChoice { None, File, SoundServer };

// The speech engines for a command: eSpeak NG with its audio sent to the sound server, to the
// file `file` or nowhere; `failure` receives the first failure of the output.
std::shared_ptr<engines::EngineFactory> MakeEngines(
    AudioChoice choice, const std::filesystem::path& file = {},
    std::shared_ptr<engines::OutputFailure> failure = nullptr,
    const engines::ReadingStyle& style = {});
// True when MakeEngines gives engines that make sound.
bool AudioAvailable();

class ControlHost {
 public:
  // Creates the control; reads the settings file when one was named. Throws UsageError for a
  // missing install root or an unreadable settings file.
  ControlHost(const CliOptions& options, std::shared_ptr<engines::EngineFactory> engines);
  ~ControlHost();

  Parlana& Control() { return *control_; }
  bool HasSettings() const { return store_ != nullptr; }

  // Every mode, with its language: a voice's own, and for a native mode that of the voice its
  // configuration names (MALE or FEMALE).
  std::vector<ModeEntry> Modes();
  // The mode number that `mode` names (a number, or as FindMode takes it; empty: the saved mode,
  // or mode 1). Throws UsageError when there is no such mode.
  int32_t ResolveMode(const std::string& mode);
  // Throws UsageError ("no native languages under ROOT") when the install root gave no mode.
  void RequireNativeLanguages();
  // Selects the mode `mode` names and returns its entry.
  ModeEntry SelectMode(const std::string& mode);
  // Writes the control's settings back to the settings file, if one was named.
  void SaveSettings();
  // Ends the control and its engines (their output files are complete afterwards).
  void Close();

 private:
  std::unique_ptr<FilePropertyStore> store_;
  std::unique_ptr<Parlana> control_;
};

}  // namespace parlan::cli
