// What a host receives from the control: speech progress events and property-change notices.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "parlan/Variant.h"

namespace parlan {

// A host implements this and registers it with Parlana::AddEventSink. By-reference parameters
// are the control's own copies: whatever a handler writes into them is dropped.
class ParlanaEvents {
 public:
  virtual ~ParlanaEvents() = default;
  virtual void AudioStart(int32_t& hi, int32_t& lo) = 0;
  virtual void AudioStop(int32_t& hi, int32_t& lo) = 0;
  virtual void WordPosition(int32_t& hi, int32_t& low, int32_t& byteoffset, int32_t StreamNumber,
                            Variant StreamPosition, int32_t CharacterPosition, int32_t Length) = 0;
};

// Receives the name of a property that changed ("CurrentMode", "Pitch", "Debugging",
// "NeverDebug") so that the host can mark its saved settings as out of date.
using PropertyChangedCallback = std::function<void(const std::u16string& propertyName)>;

}  // namespace parlan
