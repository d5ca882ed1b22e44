#include "pipeline/SpeakNative.h"

#include "engines/EngineCalls.h"
#include "modes/ParlanFileManagement.h"
#include "pipeline/PrepareText.h"
#include "strings/RemainingText.h"
#include "strings/StringFunctions.h"

namespace parlan {
namespace {

constexpr char16_t kCrLf[] = u"\r\n";
constexpr int kMaxStalledPhrases = 64;

// Loads both windows without showing them, and shows them at the first native Speak when the
// host asked for debugging.
void OpenDebugWindows(DebugWindows& debug, DebugSettings& flags) {
  if (!flags.NeverDebug) {
    debug.Debug().Load();
    debug.Advanced().Load();
  }
  if (flags.Debugging && !flags.DebugWindowsShown && !flags.NeverDebug) {
    debug.Debug().Show();
    debug.Advanced().Show();
  }
  flags.DebugWindowsShown = true;
}

void EchoInput(PipelineState& p, const RemainingText& text, bool dotAdded) {
  DebugControl& box = p.Debug.Box(p.Debug.Debug(), "rtbTextIn");
  std::u16string echo;
  if (dotAdded) {
    // The stop the pipeline added is not the user's: leave it out of the echo.
    std::u16string_view view = text.View();
    echo.assign(view.substr(0, view.empty() ? 0 : view.size() - 1));
  } else {
    echo = box.Text;
    echo.append(text.View());
  }
  echo.append(kCrLf);
  p.Debug.TextExy(box, p.Norm.NormLocale, echo);
}

void SendPhrase(NativeSpeech& speech, std::u16string phonemes) {
  PipelineState& p = speech.Pipeline;
  if (!speech.Modes.KeepPhonemeSpaces) phonemes = RemoveSpaces(phonemes);
  if (!p.DebugFlags.NeverDebug) {
    p.Debug.AppendText(p.Debug.Debug(), "rtbPhonemes", phonemes + u"#" + kCrLf);
  }
  if (speech.Modes.NativeEngineKind == kNativeOnSapi4) {
    engines::CallMethod(
        speech.ParlanSapiObj, engines::ss::kSpeak,
        {Variant(engines::ss::kSpeakPhonemes), Variant(int32_t{1}), Variant(phonemes + u"#")});
  } else if (speech.Modes.NativeEngineKind == kNativeOnSapi5 && speech.Sapi5Obj) {
    std::u16string pron = u"<pron sym=\"" + phonemes + u" !\"/>";
    int32_t stream = 0;
    speech.Sapi5Obj->Speak(&pron, engines::voiceflags::kAsync, stream);
  }
}

}  // namespace

std::u16string CurrentLanguage(const ModeState& modes) {
  if (modes.ModeIndex < 1 || static_cast<size_t>(modes.ModeIndex) > modes.NativeModeNames.size())
    return {};
  return LanguageOfMode(modes.NativeModeNames[static_cast<size_t>(modes.ModeIndex - 1)]);
}

void SpeakNative(NativeSpeech& speech, int32_t& OutputMode, std::u16string& Text) {
  PipelineState& p = speech.Pipeline;
  const bool neverDebug = p.DebugFlags.NeverDebug;
  const std::u16string language = CurrentLanguage(speech.Modes);
  RemainingText text(std::move(Text));
  Text.clear();
  bool dotAdded = false;

  OpenDebugWindows(p.Debug, p.DebugFlags);
  NormContext norm{p.Norm, p.Debug, neverDebug};
  if (!p.NormRulesRead) {
    p.NormRulesOk = LoadNormalisationRules(
        norm, LanguageFilePath(speech.Root, language, LanguageFile::Normalisation));
    p.NormRulesRead = true;
    EnsureFinalStop(p.Norm, text, dotAdded);
  }
  if (!neverDebug) EchoInput(p, text, dotAdded);
  if (text.Empty()) return;

  PrepareContext prepare{
      norm,         p.NormRulesOk,
      p.Exceptions, p.ExceptRead,
      p.ExceptOk,   LanguageFilePath(speech.Root, language, LanguageFile::Exceptions)};
  LetterRuleContext letters{p.Letters, speech.Error, p.Debug, neverDebug,
                            speech.Modes.NativeEngineKind};
  const auto ruleFile = LanguageFilePath(speech.Root, language, LanguageFile::Rules);
  // Every phrase normally takes at least one word off the text. A leftover put back may be
  // longer than the word it came from, so one phrase may not shrink the text, but many in a
  // row that do not shrink it would repeat for ever: the call ends there.
  int stalled = 0;
  while (true) {
    if (speech.Stop && speech.Stop->load(std::memory_order_relaxed)) return;
    EnsureFinalStop(p.Norm, text, dotAdded);
    // A text of spaces only trims to nothing: there is no phrase left to speak.
    if (text.Empty()) break;
    const size_t before = text.Size();
    std::u16string chunk = PrepareText(prepare, text, dotAdded);
    std::u16string phonemes = TextToPhonemes(letters, chunk, ruleFile);
    if (OutputMode == 1 && p.Letters.RulesLoadOk && p.Letters.ConversionOk)
      SendPhrase(speech, std::move(phonemes));
    stalled = text.Size() < before ? 0 : stalled + 1;
    if (text.Empty() || stalled > kMaxStalledPhrases) break;
  }
  Text = text.Str();
}

}  // namespace parlan
