// The native pipeline's share of the per-thread module state: the three language tables with
// their loaded flags, the debug windows and the debug settings.
#pragma once

#include "debug_ui/DebugWindows.h"
#include "letter_rules/LetterRules.h"
#include "normalisation/Normalisation.h"
#include "pipeline/Exceptions.h"

namespace parlan {

struct DebugSettings {
  bool Debugging = false;          // show the debug windows when native speech runs
  bool NeverDebug = false;         // never load, show or fill the debug windows
  bool DebugWindowsShown = false;  // a native Speak has run; windows no longer open by themselves
};

struct PipelineState {
  bool NormRulesRead = false;
  bool NormRulesOk = false;
  bool ExceptRead = false;
  bool ExceptOk = false;
  LetterRuleTables Letters;
  NormalisationTables Norm;
  ExceptionTables Exceptions;
  DebugWindows Debug;
  DebugSettings DebugFlags;

  // Makes the next native Speak read the current language's files again.
  void ForgetLanguageFiles() {
    Letters.RulesLoaded = false;
    NormRulesRead = false;
    ExceptRead = false;
  }
};

}  // namespace parlan
