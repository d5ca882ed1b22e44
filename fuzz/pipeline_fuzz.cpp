// Random text (UTF-16 code units, any of them) through a native Speak of the tiny language on the
// recording engines, with debugging on so that the debug boxes are written too.
#include <fuzzer/FuzzedDataProvider.h>

#include "TinyRoot.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  auto control = parlan::fuzz::FreshControl();
  control->SetNeverDebug(false);
  control->SetDebugging(true);
  control->SetCurrentMode(input.ConsumeIntegralInRange<int32_t>(1, 2));  // male, female
  const int32_t outputs = input.ConsumeIntegralInRange<int32_t>(1, 3);
  for (int32_t i = 0; i < outputs && input.remaining_bytes() > 0; ++i) {
    const std::string bytes = input.ConsumeRandomLengthString(4096);
    std::u16string text(bytes.size() / 2, u'\0');
    for (size_t k = 0; k < text.size(); ++k)
      text[k] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * k]) |
                                      static_cast<uint8_t>(bytes[2 * k + 1]) << 8);
    control->Speak(text);
  }
  (void)control->DebugWindowsText();
  return 0;
}
