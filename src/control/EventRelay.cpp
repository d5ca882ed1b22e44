#include "control/EventRelay.h"

#include "control/ModuleState.h"

namespace parlan {
namespace {

// Raises one event on every sink; a failure in a host's handler is suppressed so that the
// engine's notification returns normally and the other sinks still hear the event.
template <class Raise>
void RaiseAll(const EventSinks& sinks, Raise raise) {
  EventSinks snapshot = sinks;  // a handler may add or remove sinks
  for (const auto& sink : snapshot) {
    if (!sink) continue;
    try {
      raise(*sink);
    } catch (...) {
    }
  }
}

}  // namespace

void DirectSSRelay::AudioStart(int32_t hi, int32_t lo) {
  RaiseAll(sinks_, [&](ParlanaEvents& s) {
    int32_t h = hi, l = lo;
    s.AudioStart(h, l);
  });
}

void DirectSSRelay::AudioStop(int32_t hi, int32_t lo) {
  RaiseAll(sinks_, [&](ParlanaEvents& s) {
    int32_t h = hi, l = lo;
    s.AudioStop(h, l);
  });
}

void DirectSSRelay::WordPosition(int32_t hi, int32_t lo, int32_t byteoffset) {
  if (phonemeEngine_ && ThreadState().Modes.NativeEngineKind != 1) return;
  RaiseAll(sinks_, [&](ParlanaEvents& s) {
    int32_t h = hi, l = lo, b = byteoffset;
    s.WordPosition(h, l, b, 0, Variant(int16_t{0}), 0, 0);
  });
}

void VoiceRelay::StartStream(int32_t, const Variant&) {
  RaiseAll(sinks_, [](ParlanaEvents& s) {
    int32_t h = 0, l = 0;
    s.AudioStart(h, l);
  });
}

void VoiceRelay::EndStream(int32_t, const Variant&) {
  RaiseAll(sinks_, [](ParlanaEvents& s) {
    int32_t h = 0, l = 0;
    s.AudioStop(h, l);
  });
}

void VoiceRelay::Word(int32_t StreamNumber, const Variant& StreamPosition,
                      int32_t CharacterPosition, int32_t Length) {
  RaiseAll(sinks_, [&](ParlanaEvents& s) {
    int32_t h = 0, l = 0, b = 0;
    s.WordPosition(h, l, b, StreamNumber, StreamPosition, CharacterPosition, Length);
  });
}

}  // namespace parlan
