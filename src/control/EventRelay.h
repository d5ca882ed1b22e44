// Turns the engines' notifications into the control's AudioStart, AudioStop and WordPosition.
#pragma once

#include <memory>
#include <vector>

#include "parlan/Engines.h"
#include "parlan/Events.h"

namespace parlan {

using EventSinks = std::vector<std::shared_ptr<ParlanaEvents>>;

class DirectSSRelay : public engines::DirectSSEvents {
 public:
  // `phonemeEngine`: this object speaks native modes, whose word events are raised only while
  // the native mode speaks through it.
  DirectSSRelay(const EventSinks& sinks, bool phonemeEngine)
      : sinks_(sinks), phonemeEngine_(phonemeEngine) {}
  void AudioStart(int32_t hi, int32_t lo) override;
  void AudioStop(int32_t hi, int32_t lo) override;
  void WordPosition(int32_t hi, int32_t lo, int32_t byteoffset) override;

 private:
  const EventSinks& sinks_;
  bool phonemeEngine_;
};

class VoiceRelay : public engines::VoiceEvents {
 public:
  explicit VoiceRelay(const EventSinks& sinks) : sinks_(sinks) {}
  void StartStream(int32_t StreamNumber, const Variant& StreamPosition) override;
  void EndStream(int32_t StreamNumber, const Variant& StreamPosition) override;
  void Word(int32_t StreamNumber, const Variant& StreamPosition, int32_t CharacterPosition,
            int32_t Length) override;

 private:
  const EventSinks& sinks_;
};

}  // namespace parlan
