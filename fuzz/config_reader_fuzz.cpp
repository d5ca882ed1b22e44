// The configuration reader: key lookups (every key takes the same path, so two suffice) and
// the whole-file reader.
#include "FuzzFile.h"
#include "modes/ParlanFileManagement.h"
#include "strings/TextFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path file = parlan::fuzz::ScratchFolder() / "Fuzzc.ttg";
  parlan::fuzz::WriteInput(file, data, size);
  parlan::ErrorRecord error;
  for (const char16_t* key : {u"GENDER", u"LANGID"})
    (void)parlan::ReadConfigValue(file, key, error);
  std::vector<std::u16string> lines;
  (void)parlan::ReadConfigLines(file, lines);
  return 0;
}
