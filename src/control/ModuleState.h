// The control's module state: one copy per thread, shared by every Parlana on that thread.
// The engines are not here; they belong to each control.
#pragma once

#include <cstdint>

#include "modes/ModeTable.h"
#include "pipeline/PipelineState.h"
#include "strings/ErrorRecord.h"

namespace parlan {

struct ModuleState {
  ModeState Modes;
  PipelineState Pipeline;
  ErrorRecord LastError;
  int32_t VolumeLevel = 0;  // the control's volume, 0..10
  int16_t Sapi5Pitch = 0;   // pitch sent to the voice as markup
};

// The calling thread's module state.
ModuleState& ThreadState();

}  // namespace parlan
