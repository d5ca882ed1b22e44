#include "Commands.h"

#include <algorithm>

#include "CliErrors.h"
#include "ControlHost.h"
#include "LanguageCheck.h"
#include "LanguageCommands.h"
#include "Output.h"
#include "PhonemeTap.h"
#include "Signals.h"
#include "TextInput.h"
#include "TraceRules.h"
#include "engines/RecordingEngines.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

// A native Speak without audio: the engines only record what they are given.
struct DryRun {
  std::shared_ptr<engines::RecordingEngineFactory> Recorder;
  std::shared_ptr<PhonemeTap> Tap;
  std::unique_ptr<ControlHost> Host;
};

// The native mode that -v names, found among all the modes that `parlan modes` lists, so that
// numbers and names mean the same in every command. The native modes come first: the mode's
// number is the same among the dry run's modes.
int32_t NativeModeNumber(const CliOptions& o) {
  ControlHost listing(o, MakeEngines(AudioChoice::None));
  listing.RequireNativeLanguages();
  const int32_t number = listing.ResolveMode(o.Speak.Mode);
  const std::vector<ModeEntry> modes = listing.Modes();
  const ModeEntry& mode = modes[static_cast<size_t>(number - 1)];
  if (mode.Kind != "native") {
    const auto natives = std::count_if(modes.begin(), modes.end(),
                                       [](const ModeEntry& m) { return m.Kind == "native"; });
    throw UsageError("mode " + std::to_string(mode.Number) + " (" + ToUtf8(mode.Name) +
                     ") is not a native mode; the native modes are 1 to " +
                     std::to_string(natives) + " (parlan modes --kind native)");
  }
  return number;
}

DryRun StartDry(const CliOptions& o, bool withDebug) {
  const int32_t number = NativeModeNumber(o);  // its control is gone before the dry one starts
  DryRun run;
  run.Recorder = std::make_shared<engines::RecordingEngineFactory>();
  run.Tap = std::make_shared<PhonemeTap>(run.Recorder);
  run.Host = std::make_unique<ControlHost>(o, run.Tap);
  run.Host->SelectMode(std::to_string(number));
  // phonemes shows no debug box: it does not fill them. trace prints them.
  run.Host->Control().SetNeverDebug(!withDebug);
  return run;
}

// The conversion error of the last Speak that had one, which only the debug boxes show.
void NoteConversionError(Parlana& control, std::u16string& warning) {
  std::u16string error;
  if (int16_t number = control.LastError(error); number >= 3 && number <= 7) warning = error;
}

void Warn(const std::u16string& warning, std::ostream& err) {
  if (!warning.empty()) err << "parlan: warning: " << ToUtf8(warning) << "\n";
}

DryRun SpeakDry(const CliOptions& o, std::istream& in, bool withDebug, std::ostream& err) {
  std::u16string text = GatherText(o.Text, in);
  DryRun run = StartDry(o, withDebug);
  Parlana& control = run.Host->Control();
  control.Speak(text);
  std::u16string warning;
  NoteConversionError(control, warning);
  Warn(warning, err);
  return run;
}

}  // namespace

int RunModes(const CliOptions& options, std::ostream& out) {
  ControlHost host(options, MakeEngines(AudioChoice::None));
  const ModeFilter& filter = options.Modes;
  std::vector<ModeEntry> shown;
  for (ModeEntry& m : host.Modes()) {
    std::string kind = m.Kind;
    std::erase(kind, ' ');
    std::transform(kind.begin(), kind.end(), kind.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!filter.Kind.empty() && kind != filter.Kind) continue;
    if (!filter.Language.empty() && !LanguageMatches(m.Language, filter.Language)) continue;
    shown.push_back(std::move(m));
  }
  PrintModes(shown, options.Json, out);
  return kExitOk;
}

// Piece by piece: each piece's phrases are printed before the next piece is read, and what the
// engines recorded is dropped, so that memory does not grow with the text.
int RunPhonemes(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  TextReader reader(options.Text, in);
  std::u16string piece;
  bool more = reader.Next(piece);  // text errors come before mode errors, as for a whole text
  DryRun run = StartDry(options, false);
  Parlana& control = run.Host->Control();
  std::u16string warning;
  while (more) {
    control.Speak(piece);
    NoteConversionError(control, warning);
    PrintPhonemeStrings(run.Tap->Take(), out);
    out.flush();
    run.Recorder->ClearCalls();
    more = reader.Next(piece);
  }
  Warn(warning, err);
  return kExitOk;
}

int RunTrace(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  DryRun run = SpeakDry(options, in, true, err);
  Parlana& control = run.Host->Control();
  if (options.Json || options.JsonLines)
    PrintDebugBoxes(control.DebugBoxes(),
                    options.JsonLines ? DebugFormat::JsonLines : DebugFormat::JsonDocument, out);
  else
    PrintDebugText(control.DebugWindowsText(), out);
  if (!options.Json && !options.JsonLines) out << FiredRulesSection(control);
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
      case Command::Learn:
        return learn::RunLearn(options.Learn, in, out, err);
      case Command::Speak:
        return RunSpeak(options, in, out, err);
      case Command::Test:
        return RunTest(options.Language.Folder, out);
      case Command::Convert:
        return RunConvert(options.Language, err);
      case Command::New:
        return RunNew(options, out);
      case Command::Help:
        return kExitOk;  // answered while the command line was read
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
