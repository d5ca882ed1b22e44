#include "Commands.h"

#include "CliErrors.h"
#include "ControlHost.h"
#include "LanguageCheck.h"
#include "Output.h"
#include "PhonemeTap.h"
#include "Signals.h"
#include "TextInput.h"
#include "engines/RecordingEngines.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

// A native Speak without audio: the engines only record what they are given.
struct DryRun {
  std::shared_ptr<PhonemeTap> Tap;
  std::unique_ptr<ControlHost> Host;
};

DryRun SpeakDry(const CliOptions& o, std::istream& in, bool withDebug, std::ostream& err) {
  std::u16string text = GatherText(o.Text, in);
  DryRun run;
  run.Tap = std::make_shared<PhonemeTap>(std::make_shared<engines::RecordingEngineFactory>());
  run.Host = std::make_unique<ControlHost>(o, run.Tap);
  ModeEntry mode = run.Host->SelectMode(o.Speak.Mode);
  if (mode.Kind != "native")
    throw UsageError("mode " + std::to_string(mode.Number) + " (" + ToUtf8(mode.Name) +
                     ") is not a native mode");
  Parlana& control = run.Host->Control();
  if (withDebug) control.SetNeverDebug(false);
  control.Speak(text);
  std::u16string error;
  if (int16_t number = control.LastError(error); number >= 3 && number <= 7)
    err << "parlan: warning: " << ToUtf8(error) << "\n";
  return run;
}

}  // namespace

int RunModes(const CliOptions& options, std::ostream& out) {
  ControlHost host(options, MakeEngines(AudioChoice::None));
  PrintModes(host.Modes(), options.Json, out);
  return kExitOk;
}

int RunPhonemes(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  DryRun run = SpeakDry(options, in, false, err);
  PrintPhonemeStrings(run.Tap->Take(), out);
  return kExitOk;
}

int RunTrace(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  DryRun run = SpeakDry(options, in, true, err);
  Parlana& control = run.Host->Control();
  if (options.Json)
    PrintDebugBoxes(control.DebugBoxes(), true, out);
  else
    PrintDebugText(control.DebugWindowsText(), out);
  return kExitOk;
}

int RunCommand(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  try {
    switch (options.Cmd) {
      case Command::Modes:
        return RunModes(options, out);
      case Command::Phonemes:
        return RunPhonemes(options, in, out, err);
      case Command::Trace:
        return RunTrace(options, in, out, err);
      case Command::Check:
        return RunCheck(options.CheckFolder, out);
      case Command::Speak:
        return RunSpeak(options, in, out, err);
    }
  } catch (const SignalStop& stop) {
    DieBySignal(stop.Signal());
    return kExitFailure;
  } catch (const UsageError& e) {
    err << "parlan: " << e.what() << "\n";
    return kExitUsage;
  } catch (const RunError& e) {
    err << "parlan: " << e.what() << "\n";
    return kExitFailure;
  } catch (const std::exception& e) {
    err << "parlan: " << e.what() << "\n";
    return kExitFailure;
  }
  return kExitUsage;
}

}  // namespace parlan::cli
