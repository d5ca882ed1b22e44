// The exception loader, then a chunk through the dictionary it loaded.
#include "FuzzFile.h"
#include "pipeline/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path file = parlan::fuzz::ScratchFolder() / "Fuzze.ttg";
  parlan::fuzz::WriteInput(file, data, size);
  parlan::ExceptionTables tables;
  if (parlan::LoadExceptions(tables, file)) {
    parlan::DebugWindows debug;
    std::u16string chunk = u"one two the hello";
    (void)parlan::ApplyExceptions(tables, debug, true, chunk);
  }
  return 0;
}
