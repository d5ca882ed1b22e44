// `parlan speak`: speaks text in a mode to the sound server or to a sound file and waits until
// the speech is done.
#include <algorithm>
#include <optional>

#include "AudioTarget.h"
#include "CliErrors.h"
#include "Commands.h"
#include "ControlHost.h"
#include "Output.h"
#include "PhonemeTap.h"
#include "Signals.h"
#include "TextInput.h"
#include "parlan/EspeakEngines.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kLongText = 1000;  // characters from which a file write shows its progress
constexpr std::chrono::milliseconds kWaitSlice{50};  // how soon a signal is noticed

// Generous: room for the slowest speech to the sound server, which plays in real time.
std::chrono::milliseconds Timeout(const SpeakOptions& s, size_t characters) {
  double seconds = s.TimeoutSeconds ? *s.TimeoutSeconds : 60.0 + 0.25 * double(characters);
  return std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000.0));
}

void CheckRange(const char* what, const char* flag, int32_t value, int32_t min, int32_t max) {
  if (min < max && (value < min || value > max))
    throw UsageError(std::string(what) + " " + flag + " must be " + std::to_string(min) + " to " +
                     std::to_string(max) + " in this mode, not " + std::to_string(value));
}

void ApplyProsody(ControlHost& host, const SpeakOptions& s) {
  Parlana& control = host.Control();
  if (s.Speed) {
    CheckRange("speed", "-s", *s.Speed, control.MinSpeed(), control.MaxSpeed());
    control.SetSpeed(*s.Speed);
  }
  if (s.Pitch) {
    CheckRange("pitch", "-p", *s.Pitch, control.MinPitch(), control.MaxPitch());
    control.SetPitch(*s.Pitch);
  }
  if (s.Volume)
    control.SetVolume(*s.Volume);
  else if (host.HasSettings())
    control.Volume();  // reading the volume hands the saved level to the engine
}

// One progress line, written over the previous one. `phrases` is the number of phoneme
// strings a native Speak handed over (0 in other modes).
void ShowProgress(std::ostream& progress, const EventPrinter& events, size_t phrases) {
  progress << "\rparlan: ";
  if (phrases > 0)
    progress << std::min<int64_t>(events.Finished(), static_cast<int64_t>(phrases)) << " of "
             << phrases << " phrases spoken";
  else
    progress << events.Words() << " words spoken";
  progress << std::flush;
}

// Stops the speech and ends the run the way the signal that interrupted it asks for.
[[noreturn]] void Interrupted(Parlana& control, const InterruptGuard& guard) {
  control.AudioReset();
  if (SignalStop stop(guard.Signal()); stop.Quiet()) throw stop;
  throw RunError("interrupted");
}

// `shown`: a progress line was written while the text was handed over.
void WaitForSpeech(Parlana& control, const InterruptGuard& guard, const EventPrinter& events,
                   size_t phrases, std::chrono::milliseconds timeout, std::ostream* progress,
                   bool shown) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (guard.Interrupted()) {
      if (shown) *progress << "\n";
      Interrupted(control, guard);
    }
    if (control.WaitUntilDone(kWaitSlice) && !guard.Interrupted()) break;
    if (Clock::now() >= deadline) {
      control.AudioReset();
      if (shown) *progress << "\n";
      throw RunError("the speech did not finish within " + std::to_string(timeout.count() / 1000) +
                     " s");
    }
    if (progress) ShowProgress(*progress, events, phrases);
    shown = progress != nullptr;
  }
  if (shown) {
    ShowProgress(*progress, events, phrases);
    *progress << "\n";
  }
}

// The conversion errors of a native Speak, which otherwise only the debug boxes show.
void WarnAboutConversion(Parlana& control, std::ostream& err) {
  std::u16string text;
  const int16_t number = control.LastError(text);
  if (number >= 3 && number <= 7) err << "parlan: warning: " << ToUtf8(text) << "\n";
}

}  // namespace

int RunSpeak(const CliOptions& o, std::istream& in, std::ostream& out, std::ostream& err) {
  const SpeakOptions& s = o.Speak;
  if (s.Volume && (*s.Volume < 0 || *s.Volume > 10))
    throw UsageError("volume -a must be 0 to 10, not " + std::to_string(*s.Volume));
  if (s.TimeoutSeconds && !(*s.TimeoutSeconds > 0))
    throw UsageError("--timeout must be more than 0 seconds");
  if (!s.OutputFile.empty() && s.NoAudio) throw UsageError("-w and -q cannot be used together");
  // Read piece by piece so that speech starts with the first piece; --trace prints the debug
  // boxes of one Speak, so it reads the whole text first.
  TextReader reader(o.Text, in);
  std::u16string text;
  bool more = reader.Next(text);
  for (std::u16string piece; s.PrintTrace && reader.Next(piece);) text += piece;
  size_t characters = text.size();
  // From here on an interruption ends the run through the clean-up below, so that no
  // temporary sound file is left behind.
  InterruptGuard guard;

  std::optional<AudioTarget> target;
  if (!s.OutputFile.empty()) {
    target.emplace(s.OutputFile);
    if (!AudioAvailable())
      throw RunError("cannot write " + s.OutputFile +
                     ": the library was built without a speech engine");
  }
  if (!target && !s.NoAudio && AudioAvailable() && !engines::SoundServerReachable())
    throw RunError(
        "no sound server could be reached, so nothing would be heard; write the audio "
        "with -w FILE, or use -q");
  auto failure = std::make_shared<engines::OutputFailure>();
  std::shared_ptr<engines::EngineFactory> engines =
      MakeEngines(target      ? AudioChoice::File
                  : s.NoAudio ? AudioChoice::None
                              : AudioChoice::SoundServer,
                  target ? target->Temporary() : std::filesystem::path(), failure);
  auto tap = std::make_shared<PhonemeTap>(engines);

  ControlHost host(o, tap);
  Parlana& control = host.Control();
  if (s.PrintPhonemes) host.RequireNativeLanguages();  // only native modes hand phonemes over
  StopOnSignal stopOnSignal(control);
  host.SelectMode(s.Mode);
  ApplyProsody(host, s);
  // Only --trace reads the debug boxes: without it, filling them would cost time and memory
  // in proportion to the text and show nothing.
  const bool neverDebug = control.NeverDebug();
  if (neverDebug == s.PrintTrace) control.SetNeverDebug(!s.PrintTrace);
  auto events = std::make_shared<EventPrinter>(s.PrintEvents ? &out : nullptr);
  control.AddEventSink(events);

  tap->Take();  // what selecting the mode sent is no phrase
  size_t phrases = 0;
  // A long text is mostly spoken while it is handed over, as the engine takes only so much
  // ahead: the progress shows from then on.
  bool shown = false;
  auto lastShown = Clock::now();
  while (more) {
    control.Speak(text);
    // The notifications of what has been spoken so far, so that they do not pile up.
    control.DoEvents();
    const std::vector<std::u16string> taken = tap->Take();
    phrases += taken.size();
    if (s.PrintPhonemes) PrintPhonemeStrings(taken, out);
    // After a signal the rest of the input is not even read: the run ends at once.
    more = !s.PrintTrace && !guard.Interrupted() && reader.Next(text);
    characters += more ? text.size() : 0;
    if (more && target && characters >= kLongText && Clock::now() - lastShown >= kWaitSlice) {
      ShowProgress(err, *events, phrases);
      shown = true;
      lastShown = Clock::now();
    }
  }
  if (s.PrintTrace) PrintDebugText(control.DebugWindowsText(), out);
  WarnAboutConversion(control, err);
  const bool showProgress = target && characters >= kLongText;
  WaitForSpeech(control, guard, *events, phrases, Timeout(s, characters),
                showProgress ? &err : nullptr, shown);

  if (control.NeverDebug() != neverDebug) control.SetNeverDebug(neverDebug);  // as saved
  if (!s.Mode.empty() || s.Pitch || s.Volume) host.SaveSettings();
  host.Close();
  // A sound file that lost audio is thrown away with its temporary file: a truncated file whose
  // header matches the cut would pass for complete speech.
  if (const std::string reason = failure->Reason(); !reason.empty())
    throw RunError(target ? "cannot write " + target->Target().string() + ": " + reason : reason);
  if (target) {
    target->Commit();
    out << "wrote " << target->Target().string() << "\n";
  }
  return kExitOk;
}

}  // namespace parlan::cli
