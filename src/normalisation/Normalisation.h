// Text normalisation: the tables a language's normalisation file is loaded into, the loader,
// the cutting of text into phrases and the per-word passes.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "debug_ui/DebugWindows.h"
#include "strings/RemainingText.h"
#include "strings/StringFunctions.h"

namespace parlan {

// The loaded normalisation file of the current language, shared by the controls of one thread.
struct NormalisationTables {
  int16_t NormLocale = 0;
  int16_t NormCharset = 0;
  std::array<std::u16string, 10> NumberWords;
  DigitSet Digits;  // DigitStrings and OwnDigits
  std::vector<std::u16string> AbbrKeys;        // AbbrKeys[b - 1] is entry b
  std::vector<std::u16string> AbbrExpansions;
  int16_t AbbrCount = 0;
  std::u16string AbbrInitials;
  std::vector<int16_t> AbbrGroupFirst;         // AbbrGroupFirst[g - 1] is group g
  std::vector<int16_t> AbbrGroupLast;
  std::vector<std::u16string> AlwaysKeys;
  std::vector<std::u16string> AlwaysReplacements;
  int16_t AlwaysCount = 0;
  std::u16string PhraseEndChars;
  std::u16string SymbolChars;
  std::u16string IgnoreChars;
  std::u16string DecimalPoint;
  std::u16string DotWord;
  std::u16string DecimalPointWord;
  bool DecimalPointNotDot = false;
  bool DecimalPointIgnored = false;
};

struct NormContext {
  NormalisationTables& Tables;
  DebugWindows& Debug;
  bool NeverDebug = false;
};

bool LoadNormalisationRules(NormContext& ctx, const std::filesystem::path& normFile);

// Makes the text end in a phrase end: trailing spaces removed, "." appended (and DotAdded set)
// unless the last character is "." or a phrase-end character.
void EnsureFinalStop(const NormalisationTables& tables, RemainingText& text, bool& dotAdded);

}  // namespace parlan
