#include "control/ModuleState.h"

#include "parlan/Parlana.h"

namespace parlan {

ModuleState& ThreadState() {
  thread_local ModuleState state;
  return state;
}

void ResetThreadState() {
  ThreadState() = ModuleState{};
}

}  // namespace parlan
