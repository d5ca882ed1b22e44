// Placeholder until the exception dictionary arrives.
#include "pipeline/Exceptions.h"

namespace parlan {

bool LoadExceptions(ExceptionTables&, const std::filesystem::path&) { return false; }

std::u16string ApplyExceptions(const ExceptionTables&, DebugWindows&, bool,
                               std::u16string& chunk) {
  std::u16string out = std::move(chunk);
  chunk.clear();
  return out;
}

void LogException(DebugWindows& debug, std::u16string_view line) { debug.LogException(line); }

}  // namespace parlan
