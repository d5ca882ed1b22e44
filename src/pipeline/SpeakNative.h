// The phrase loop of a native Speak: the text is cut into phrases, each phrase is prepared,
// converted to phonemes and handed to the engine the language speaks through.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>

#include "modes/ModeTable.h"
#include "pipeline/PipelineState.h"
#include "strings/ErrorRecord.h"

namespace parlan {

struct NativeSpeech {
  PipelineState& Pipeline;
  const ModeState& Modes;
  ErrorRecord& Error;
  std::filesystem::path Root;
  engines::DirectSS* ParlanSapiObj = nullptr;
  engines::Voice* Sapi5Obj = nullptr;
  // When set and true, the phrase loop ends before its next phrase and drops the rest.
  const std::atomic<bool>* Stop = nullptr;
};

// Output mode 1 sends the phoneme strings to the engine; any other value runs the pipeline
// without speaking. `Text` is consumed: it is empty when the call returns, also when a stop
// request ended it early.
void SpeakNative(NativeSpeech& speech, int32_t& OutputMode, std::u16string& Text);

// The language of the current native mode ("" when there is none).
std::u16string CurrentLanguage(const ModeState& modes);

}  // namespace parlan
