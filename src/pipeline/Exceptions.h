// The exception dictionary: words whose pronunciation the letter rules get wrong, replaced by
// their phoneme strings before the letter rules run.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "debug_ui/DebugWindows.h"

namespace parlan {

struct ExceptionTables {
  std::vector<std::u16string> ExceptWords;  // ExceptWords[n - 1] is entry n
  std::vector<std::u16string> ExceptReplacements;
  std::u16string ExceptInitials;
  std::vector<int16_t> ExceptGroupFirst;  // ExceptGroupFirst[g - 1] is group g
  std::vector<int16_t> ExceptGroupLast;
  // Entry numbers by word, in file order: of each word only the entries that the lookup in the
  // first group of the word's initial reaches. Built by the loader; without it the groups are
  // searched.
  std::unordered_map<std::u16string, std::vector<int32_t>> EntriesByWord;
  bool Indexed = false;
};

bool LoadExceptions(ExceptionTables& tables, const std::filesystem::path& exceptFile);

// Lower-cases every token and replaces dictionary words by "[" phonemes "]". `chunk` is
// consumed.
std::u16string ApplyExceptions(const ExceptionTables& tables, DebugWindows& debug, bool neverDebug,
                               std::u16string& chunk);

void LogException(DebugWindows& debug, std::u16string_view line);

}  // namespace parlan
