// The normalisation loader.
#include "FuzzFile.h"
#include "normalisation/Normalisation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path file = parlan::fuzz::ScratchFolder() / "Fuzzn.ttg";
  parlan::fuzz::WriteInput(file, data, size);
  parlan::NormalisationTables tables;
  parlan::DebugWindows debug;
  parlan::NormContext ctx{tables, debug, false};
  (void)parlan::LoadNormalisationRules(ctx, file);
  return 0;
}
