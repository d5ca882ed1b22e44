// The module's main loop: requests read from `in`, replies and events written to `out`, the
// speech moved on between requests. Returns when QUIT was handled or the input ended.
#pragma once

#include "Module.h"

namespace parlan::speechd {

int RunModule(int in, int out, const ModuleConfig& config);

}  // namespace parlan::speechd
