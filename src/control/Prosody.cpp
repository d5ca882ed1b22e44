// Pitch, speed and volume: passed to the engine of the current mode in its own units, except
// the voice's pitch, which the control keeps and sends as markup, and the volume, which is the
// control's own 0..10 scale mapped onto each engine's range.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "control/ParlanaImpl.h"
#include "engines/EngineCalls.h"
#include "strings/NumberText.h"

namespace parlan {

namespace ss = engines::ss;

namespace {

constexpr int32_t kMaxLevel = 10;

int32_t ReadLong(engines::DirectSS* engine, int32_t dispid, int32_t fallback = 0) {
  int32_t value = fallback;
  engines::GetLong(engine, dispid, value);
  return value;
}

// A member served by the direct object (targets A and B), by a fixed value for the voice
// (target C), or by a default when no mode is selected.
int32_t RangeValue(Parlana::Impl& d, int32_t dispid, int32_t voiceValue) {
  if (engines::DirectSS* direct = d.DirectTarget()) return ReadLong(direct, dispid);
  return d.Target() == EngineTarget::Sapi5 ? voiceValue : 0;
}

}  // namespace

std::u16string PitchMarkup(int32_t p) {
  return u"<pitch absmiddle = \"" + FormatSigned(p) + u"\"/>";
}

// The engine's range is lo..hi; level 0..10 maps onto it linearly, rounded half to even.
// When the range is so wide that its width or the scaled width leaves 32 bits, the value is
// computed in double precision and kept inside the engine's range, so that the engine is
// never handed a wrapped-around number.
int32_t ScaleVolume(int32_t level, int32_t lo, int32_t hi) {
  const int64_t w = static_cast<int64_t>(hi) - lo;
  const int64_t m = static_cast<int64_t>(level) * w;
  const bool overflow = w < INT32_MIN || w > INT32_MAX || m < INT32_MIN || m > INT32_MAX;
  double r = RoundHalfEven(static_cast<double>(m) / 10.0 + lo);
  if (overflow)
    r = std::clamp(r, static_cast<double>(std::min(lo, hi)), static_cast<double>(std::max(lo, hi)));
  return static_cast<int32_t>(std::clamp(r, double{INT32_MIN}, double{INT32_MAX}));
}

void Parlana::Impl::SpeakPitchMarkup(int32_t p) {
  std::u16string markup = PitchMarkup(p);
  VoiceSpeak(&markup, engines::voiceflags::kPersistXml);
}

void Parlana::Impl::ApplyVolume() {
  const int32_t level = ThreadState().VolumeLevel;
  if (engines::DirectSS* direct = DirectTarget()) {
    int32_t lo = ReadLong(direct, ss::kMinVolume1), hi = ReadLong(direct, ss::kMaxVolume1);
    engines::PutLong(direct, ss::kVolume1, ScaleVolume(level, lo, hi));
    lo = ReadLong(direct, ss::kMinVolume2);
    hi = ReadLong(direct, ss::kMaxVolume2);
    engines::PutLong(direct, ss::kVolume2, ScaleVolume(level, lo, hi));
  } else if (Target() == EngineTarget::Sapi5 && Sapi5Obj) {
    Sapi5Obj->SetVolume(ScaleVolume(level, 0, 100));
  }
}

int32_t Parlana::Pitch() {
  return Guarded([&] {
    if (engines::DirectSS* direct = impl_->DirectTarget()) return ReadLong(direct, ss::kPitch);
    return static_cast<int32_t>(ThreadState().Sapi5Pitch);
  });
}

void Parlana::SetPitch(int32_t value) {
  Guarded([&] {
    if (engines::DirectSS* direct = impl_->DirectTarget()) {
      engines::PutLong(direct, ss::kPitch, value);
    } else if (impl_->Target() == EngineTarget::Sapi5) {
      if (auto narrowed = NarrowTo16(static_cast<int64_t>(value)))
        ThreadState().Sapi5Pitch = *narrowed;
      impl_->SpeakPitchMarkup(value);
    }
    impl_->NotifyPropertyChanged(u"Pitch");
  });
}

int32_t Parlana::MaxPitch() {
  return Guarded([&] { return RangeValue(*impl_, ss::kMaxPitch, 10); });
}
int32_t Parlana::MinPitch() {
  return Guarded([&] { return RangeValue(*impl_, ss::kMinPitch, -10); });
}
int32_t Parlana::MaxSpeed() {
  return Guarded([&] { return RangeValue(*impl_, ss::kMaxSpeed, 10); });
}
int32_t Parlana::MinSpeed() {
  return Guarded([&] { return RangeValue(*impl_, ss::kMinSpeed, -10); });
}
int32_t Parlana::MaxVolume() {
  return kMaxLevel;
}
int32_t Parlana::MinVolume() {
  return 0;
}
void Parlana::SetMaxPitch(int32_t) {}
void Parlana::SetMinPitch(int32_t) {}
void Parlana::SetMaxSpeed(int32_t) {}
void Parlana::SetMinSpeed(int32_t) {}
void Parlana::SetMaxVolume(int32_t) {}
void Parlana::SetMinVolume(int32_t) {}

int32_t Parlana::Speed() {
  return Guarded([&] {
    if (engines::DirectSS* direct = impl_->DirectTarget()) return ReadLong(direct, ss::kSpeed);
    int32_t rate = 0;
    if (impl_->Target() == EngineTarget::Sapi5 && impl_->Sapi5Obj) impl_->Sapi5Obj->GetRate(rate);
    return rate;
  });
}

void Parlana::SetSpeed(int32_t value) {
  Guarded([&] {
    if (engines::DirectSS* direct = impl_->DirectTarget())
      engines::PutLong(direct, ss::kSpeed, value);
    else if (impl_->Target() == EngineTarget::Sapi5 && impl_->Sapi5Obj)
      impl_->Sapi5Obj->SetRate(value);
  });
}

int32_t Parlana::Volume() {
  return Guarded([&] {
    impl_->ApplyVolume();
    return ThreadState().VolumeLevel;
  });
}

void Parlana::SetVolume(int32_t value) {
  Guarded([&] {
    if (value >= 0 && value <= kMaxLevel) ThreadState().VolumeLevel = value;
    impl_->ApplyVolume();
  });
}

}  // namespace parlan
