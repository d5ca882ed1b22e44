#include "parlan/Engines.h"

namespace parlan::engines {

// Replaced by the eSpeak NG engines where the library is built with them.
std::shared_ptr<EngineFactory> DefaultEngineFactory() { return NullEngineFactory(); }

}  // namespace parlan::engines
