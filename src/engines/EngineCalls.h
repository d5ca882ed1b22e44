// Short forms of the late-bound calls the control makes on a direct text-to-speech object.
// Each returns false when the call failed; outputs are then left as they were.
#pragma once

#include <string>
#include <vector>

#include "parlan/Engines.h"

namespace parlan::engines {

bool GetLong(DirectSS* engine, int32_t dispid, int32_t& out);
bool GetLong(DirectSS* engine, int32_t dispid, const Variant& arg, int32_t& out);
bool GetText(DirectSS* engine, int32_t dispid, const Variant& arg, std::u16string& out);
bool PutLong(DirectSS* engine, int32_t dispid, int32_t value);
bool CallMethod(DirectSS* engine, int32_t dispid, const std::vector<Variant>& args);

}  // namespace parlan::engines
