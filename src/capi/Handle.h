// What a C handle holds: the control, the engines it was given, the host's callback, and the
// strings handed back to the host (they live until the next call on the handle).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engines/RecordingEngines.h"
#include "parlan/Parlana.h"
#include "parlan/parlan.h"

struct parlan_control {
  std::unique_ptr<parlan::Parlana> Control;
  std::shared_ptr<parlan::engines::RecordingEngineFactory> Recording;
  std::shared_ptr<parlan::ParlanaEvents> Sink;
  std::string Text;
  std::vector<std::string> Written;
};

namespace parlan::capi {

// Runs a C function's body so that no exception crosses into C.
template <class F>
int Guard(parlan_control* h, F&& body) noexcept {
  if (!h) return PARLAN_ERROR_ARGUMENT;
  try {
    return body(*h);
  } catch (...) {
    return PARLAN_ERROR_FAILED;
  }
}

// Keeps text in the handle and answers the pointer the host reads.
const char* Hand(parlan_control& h, std::string text);

}  // namespace parlan::capi
