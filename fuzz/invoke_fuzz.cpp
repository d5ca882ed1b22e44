// Late binding with random identifiers, kinds and arguments of every Variant type: whatever
// comes in, Invoke answers with a status and never fails the host.
#include <fuzzer/FuzzedDataProvider.h>

#include "TinyRoot.h"
#include "parlan/Dispatch.h"

namespace {

namespace id = parlan::dispid;

constexpr int32_t kMembers[] = {
    id::kCountEngines, id::kCurrentMode, id::kPitch,        id::kSpeaker,   id::kSpeed,
    id::kVolume,       id::kAudioReset,  id::kSpeakPhoneme, id::kSel,       id::kSapi5String,
    id::kSpeak,        id::kModeName,    id::kLastError,    id::kMaxPitch,  id::kMinPitch,
    id::kMaxSpeed,     id::kMinSpeed,    id::kMaxVolume,    id::kMinVolume, id::kDebugging,
    id::kNeverDebug};

std::u16string Text(FuzzedDataProvider& input) {
  const std::string bytes = input.ConsumeRandomLengthString(256);
  std::u16string text;
  for (size_t k = 0; k + 1 < bytes.size(); k += 2)
    text.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[k]) |
                                         static_cast<uint8_t>(bytes[k + 1]) << 8));
  return text;
}

parlan::Variant RandomVariant(FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange<int>(0, 5)) {
    case 0:
      return parlan::Variant();
    case 1:
      return parlan::Variant(input.ConsumeBool());
    case 2:
      return parlan::Variant(input.ConsumeIntegral<int16_t>());
    case 3:
      return parlan::Variant(input.ConsumeIntegral<int32_t>());
    case 4:
      return parlan::Variant(input.ConsumeFloatingPoint<double>());
    default:
      return parlan::Variant(Text(input));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  auto control = parlan::fuzz::FreshControl();
  while (input.remaining_bytes() > 0) {
    const int32_t member =
        input.ConsumeBool() ? input.PickValueInArray(kMembers) : input.ConsumeIntegral<int32_t>();
    const auto kind = static_cast<parlan::DispatchKind>(input.ConsumeIntegralInRange<int>(0, 2));
    std::vector<parlan::Variant> args(input.ConsumeIntegralInRange<size_t>(0, 4));
    for (parlan::Variant& arg : args) arg = RandomVariant(input);
    parlan::Variant result;
    (void)control->Invoke(member, kind, args, result);
  }
  return 0;
}
