// `parlan speak`: speaks text in a mode to the sound server or to a sound file and waits until
// the speech is done.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "AudioTarget.h"
#include "CliErrors.h"
#include "Commands.h"
#include "ControlHost.h"
#include "Output.h"
#include "PhonemeTap.h"
#include "Prosody.h"
#include "Signals.h"
#include "Ssml.h"
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

void CheckRange(const char* what, const char* flag, const std::optional<int32_t>& value,
                int32_t min, int32_t max, const char* unit = "") {
  if (value && (*value < min || *value > max))
    throw UsageError(std::string(what) + " " + flag + " must be " + std::to_string(min) + " to " +
                     std::to_string(max) + unit + ", not " + std::to_string(*value));
}

void CheckOptions(const SpeakOptions& s) {
  CheckRange("speed", "-s", s.Speed, prosody::kMinWordsPerMinute, prosody::kMaxWordsPerMinute,
             " words per minute");
  CheckRange("pitch", "-p", s.Pitch, 0, prosody::kMaxPitch);
  CheckRange("volume", "-a", s.Volume, 0, prosody::kMaxAmplitude);
  if (s.TimeoutSeconds && !(*s.TimeoutSeconds > 0))
    throw UsageError("--timeout must be more than 0 seconds");
  if (!s.OutputFile.empty() && s.NoAudio) throw UsageError("-w and -q cannot be used together");
  if (s.ToStdout && s.NoAudio) throw UsageError("--stdout and -q cannot be used together");
  if (s.ToStdout && !s.OutputFile.empty())
    throw UsageError("--stdout and -w cannot be used together");
  CheckRange("word gap", "-g", s.WordGap, 0, 1000);
  CheckRange("capitals", "-k", s.Capitals, 0, 100);
  if (s.ToStdout && (s.PrintPhonemes || s.PrintTrace || s.PrintEvents || s.Ipa))
    throw UsageError("--stdout carries the audio alone; -x, -X, --ipa and --events cannot join it");
}

// The same units in every mode; each engine gets them in its own.
void ApplyProsody(ControlHost& host, const SpeakOptions& s, std::ostream& err) {
  Parlana& control = host.Control();
  if (s.Speed && control.MinSpeed() < control.MaxSpeed())
    control.SetSpeed(prosody::SpeedToEngine(*s.Speed, control.MinSpeed(), control.MaxSpeed()));
  if (s.Pitch && control.MinPitch() < control.MaxPitch())
    control.SetPitch(prosody::PitchToEngine(*s.Pitch, control.MinPitch(), control.MaxPitch()));
  if (s.Volume) {
    if (*s.Volume > prosody::kNormalAmplitude)
      err << "parlan: warning: volume -a " << *s.Volume
          << " is played as 100, the loudest the control plays\n";
    control.SetVolume(prosody::AmplitudeToLevel(*s.Volume));
  } else if (host.HasSettings()) {
    control.Volume();  // reading the volume hands the saved level to the engine
  }
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

engines::ReadingStyle StyleOf(const SpeakOptions& s) {
  engines::ReadingStyle style;
  style.WordGap = s.WordGap.value_or(0);
  style.Capitals = s.Capitals.value_or(0);
  if (s.Ipa) style.Ipa = std::make_shared<engines::IpaTrace>();
  style.Punctuation = !s.Punctuation.empty();
  if (style.Punctuation && s.Punctuation != kAllPunctuation &&
      !Utf8ToUtf16(s.Punctuation, style.PunctuationList))
    throw UsageError("the characters of --punct are not valid UTF-8");
  return style;
}

// The sound file of -w, or for --stdout one in the temporary folder that is copied out at the end.
void OpenTarget(const SpeakOptions& s, std::optional<AudioTarget>& target) {
  if (s.ToStdout)
    target.emplace(std::filesystem::temp_directory_path() /
                   ("parlan-" + std::to_string(::getpid()) + ".wav"));
  else if (!s.OutputFile.empty())
    target.emplace(s.OutputFile);
  if (target && !AudioAvailable())
    throw RunError("cannot write " + (s.ToStdout ? "the audio" : s.OutputFile) +
                   ": the library was built without a speech engine");
  if (!target && !s.NoAudio && AudioAvailable() && !engines::SoundServerReachable())
    throw RunError(
        "no sound server could be reached, so nothing would be heard; write the audio "
        "with -w FILE, or use -q");
}

// What -x cannot show: only native modes hand phoneme strings to the engine.
void WarnWithoutPhonemes(const ModeEntry& mode, std::ostream& err) {
  if (mode.Kind == "native") return;
  err << "parlan: warning: -x shows nothing in mode " << mode.Number << " (" << ToUtf8(mode.Name)
      << "): a " << mode.Kind << " mode speaks the text itself, without phoneme strings\n";
}

// Speaks the pieces of an SSML document, each at its rate, pitch and volume, and ends each
// piece that a pause follows with the mark of a short pause (",") or a long one ("."), which
// every kind of mode hears as a pause and none reads.
void SpeakSsml(const std::vector<SsmlPiece>& pieces, ControlHost& host, const SpeakOptions& s,
               std::ostream& err) {
  Parlana& control = host.Control();
  const int32_t speed = s.Speed.value_or(prosody::kNormalWordsPerMinute);
  const int32_t pitch = s.Pitch.value_or(50);
  const int32_t volume = s.Volume.value_or(prosody::kNormalAmplitude);
  std::optional<SsmlPiece> last;
  for (const SsmlPiece& piece : pieces) {
    if (piece.Text.empty()) continue;
    if (!last || last->Rate != piece.Rate || last->Pitch != piece.Pitch ||
        last->Volume != piece.Volume) {
      SpeakOptions styled = s;
      styled.Speed = std::clamp(static_cast<int32_t>(std::lround(speed * piece.Rate)),
                                prosody::kMinWordsPerMinute, prosody::kMaxWordsPerMinute);
      styled.Pitch = std::clamp(pitch + piece.Pitch, 0, prosody::kMaxPitch);
      styled.Volume = std::clamp(static_cast<int32_t>(std::lround(volume * piece.Volume)), 0,
                                 prosody::kNormalAmplitude);
      ApplyProsody(host, styled, err);
    }
    last = piece;
    std::u16string text = piece.Text;
    if (piece.PauseMs > 0) text += piece.PauseMs <= 300 ? u" ," : u" .";
    control.Speak(text);
  }
}

std::shared_ptr<engines::EngineFactory> EnginesFor(const SpeakOptions& s,
                                                   const std::optional<AudioTarget>& target,
                                                   std::shared_ptr<engines::OutputFailure> failure,
                                                   const engines::ReadingStyle& style) {
  return MakeEngines(target      ? AudioChoice::File
                     : s.NoAudio ? AudioChoice::None
                                 : AudioChoice::SoundServer,
                     target ? target->Temporary() : std::filesystem::path(), std::move(failure),
                     style);
}

// What selecting the mode and the pitch made the engines say is over before the events are
// followed, so that each AudioStart that follows belongs to an utterance of the text.
std::shared_ptr<EventPrinter> FollowEvents(Parlana& control, PhonemeTap& tap, bool print,
                                           std::ostream& out) {
  control.WaitUntilDone(std::chrono::seconds(5));
  auto events = std::make_shared<EventPrinter>(print ? &out : nullptr);
  tap.SetUtteranceListener([events](const std::u16string& text) { events->Expect(text); });
  control.AddEventSink(events);
  tap.Take();  // what selecting the mode sent is no phrase
  return events;
}

// A sound file that lost audio is thrown away with its temporary file: a truncated file whose
// header matches the cut would pass for complete speech.
void Deliver(std::optional<AudioTarget>& target, const SpeakOptions& s,
             const engines::OutputFailure& failure, std::ostream& out) {
  if (const std::string reason = failure.Reason(); !reason.empty())
    throw RunError(target ? "cannot write " + target->Target().string() + ": " + reason : reason);
  if (target && s.ToStdout) {
    target->CopyTo(out);
  } else if (target) {
    target->Commit();
    out << "wrote " << target->Target().string() << "\n";
  }
}

}  // namespace

int RunSpeak(const CliOptions& o, std::istream& in, std::ostream& out, std::ostream& err) {
  const SpeakOptions& s = o.Speak;
  CheckOptions(s);
  // Read piece by piece so that speech starts with the first piece; --trace prints the debug
  // boxes of one Speak, so it reads the whole text first.
  TextReader reader(o.Text, in);
  std::u16string text;
  bool more = reader.Next(text);
  for (std::u16string piece; (s.PrintTrace || s.Ssml) && reader.Next(piece);) text += piece;
  const std::vector<SsmlPiece> ssml = s.Ssml ? ParseSsml(ToUtf8(text)) : std::vector<SsmlPiece>();
  size_t characters = text.size();
  // From here on an interruption ends the run through the clean-up below, so that no
  // temporary sound file is left behind.
  InterruptGuard guard;
  std::optional<AudioTarget> target;
  OpenTarget(s, target);
  auto failure = std::make_shared<engines::OutputFailure>();
  const engines::ReadingStyle style = StyleOf(s);
  auto tap = std::make_shared<PhonemeTap>(EnginesFor(s, target, failure, style));

  ControlHost host(o, tap);
  Parlana& control = host.Control();
  if (s.PrintPhonemes) host.RequireNativeLanguages();  // only native modes hand phonemes over
  StopOnSignal stopOnSignal(control);
  const ModeEntry mode = host.SelectMode(s.Mode);
  if (s.PrintPhonemes) WarnWithoutPhonemes(mode, err);
  ApplyProsody(host, s, err);
  // Only --trace reads the debug boxes: without it, filling them would cost time and memory
  // in proportion to the text and show nothing.
  const bool neverDebug = control.NeverDebug();
  if (neverDebug == s.PrintTrace) control.SetNeverDebug(!s.PrintTrace);
  const auto events = FollowEvents(control, *tap, s.PrintEvents, out);
  size_t phrases = 0;
  // A long text is mostly spoken while it is handed over, as the engine takes only so much
  // ahead: the progress shows from then on.
  bool shown = false;
  auto lastShown = Clock::now();
  while (more) {
    if (s.Ssml)
      SpeakSsml(ssml, host, s, err);
    else
      control.Speak(text);
    // The notifications of what has been spoken so far, so that they do not pile up.
    control.DoEvents();
    const std::vector<std::u16string> taken = tap->Take();
    phrases += taken.size();
    if (s.PrintPhonemes) PrintPhonemeStrings(taken, out);
    // Typed lines are heard one by one, each before the next is read.
    if (reader.LineByLine()) {
      WaitForSpeech(control, guard, *events, 0, Timeout(s, text.size()), nullptr, false);
      if (style.Ipa) out << style.Ipa->Take() << std::flush;
    }
    // After a signal the rest of the input is not even read: the run ends at once.
    more = !s.PrintTrace && !s.Ssml && !guard.Interrupted() && reader.Next(text);
    characters += more ? text.size() : 0;
    if (more && target && characters >= kLongText && ::isatty(STDERR_FILENO) == 1 &&
        Clock::now() - lastShown >= kWaitSlice) {
      ShowProgress(err, *events, phrases);
      shown = true;
      lastShown = Clock::now();
    }
  }
  if (s.PrintTrace) PrintDebugText(control.DebugWindowsText(), out);
  WarnAboutConversion(control, err);
  // Progress lines are written over each other, which only a terminal shows as meant.
  const bool showProgress = target && characters >= kLongText && ::isatty(STDERR_FILENO) == 1;
  WaitForSpeech(control, guard, *events, phrases, Timeout(s, characters),
                showProgress ? &err : nullptr, shown);
  if (style.Ipa) out << style.Ipa->Take();

  if (control.NeverDebug() != neverDebug) control.SetNeverDebug(neverDebug);  // as saved
  if (!s.Mode.empty() || s.Pitch || s.Volume) host.SaveSettings();
  host.Close();
  Deliver(target, s, *failure, out);
  return kExitOk;
}

}  // namespace parlan::cli
