// The two speech engine contracts the control drives, and the factory that gives a control its
// engines. Every call reports success or failure; a failed call is a skipped step for the
// caller and its outputs are left untouched.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "parlan/Variant.h"

namespace parlan::engines {

// ----- The direct text-to-speech object (late-bound by dispatch identifier) -----

enum class CallKind { Get, Put, Method };

// Dispatch identifiers of the direct text-to-speech object.
namespace ss {
inline constexpr int32_t kPitch = 7;
inline constexpr int32_t kMaxPitch = 8;
inline constexpr int32_t kMinPitch = 9;
inline constexpr int32_t kSpeed = 10;
inline constexpr int32_t kMaxSpeed = 11;
inline constexpr int32_t kMinSpeed = 12;
inline constexpr int32_t kVolume2 = 13;
inline constexpr int32_t kMinVolume2 = 14;
inline constexpr int32_t kMaxVolume2 = 15;
inline constexpr int32_t kSelect = 16;       // method, Long mode number
inline constexpr int32_t kCountModes = 18;   // get
inline constexpr int32_t kModeName = 19;     // get, Long mode number (1-based)
inline constexpr int32_t kStop = 36;         // method
inline constexpr int32_t kSpeak = 42;        // method: Long code, Long 1, text
inline constexpr int32_t kCurrentMode = 69;  // put, Long mode number
inline constexpr int32_t kFind = 71;         // get, criteria text
inline constexpr int32_t kVolume1 = 72;
inline constexpr int32_t kMinVolume1 = 73;
inline constexpr int32_t kMaxVolume1 = 74;
inline constexpr int32_t kSpeakText = 0;      // code of DISPID 42: plain text
inline constexpr int32_t kSpeakPhonemes = 2;  // code of DISPID 42: a phoneme string
}  // namespace ss

// The three notifications of a direct text-to-speech object.
class DirectSSEvents {
 public:
  virtual ~DirectSSEvents() = default;
  virtual void AudioStart(int32_t hi, int32_t lo) = 0;
  virtual void AudioStop(int32_t hi, int32_t lo) = 0;
  virtual void WordPosition(int32_t hi, int32_t lo, int32_t byteoffset) = 0;
};

class DirectSS {
 public:
  virtual ~DirectSS() = default;
  // One late-bound call: false on failure (unknown identifier, wrong arguments, engine error).
  virtual bool Invoke(int32_t dispid, CallKind kind, const std::vector<Variant>& args,
                      Variant& result) = 0;
  // Where notifications go; nullptr detaches.
  virtual void SetEvents(DirectSSEvents* events) = 0;
  // Delivers queued notifications on the calling thread.
  virtual void PumpEvents() {}
  // True while speech is queued or playing.
  virtual bool Busy() { return false; }
  // Called from any thread whenever notifications start waiting or speech ends, so that a host
  // can sleep until then instead of polling; an empty function detaches, and once this returns
  // the function given before is no longer called. Engines that raise their notifications on
  // the caller's thread need no wake-up and ignore it.
  virtual void SetWakeup(std::function<void()> wakeup) { (void)wakeup; }
  // The host's stop request, a flag it may set from any thread or a signal handler: while it is
  // set the engine drops its queued speech, ends the utterance it is synthesising at its next
  // piece of audio and returns from a Speak waiting for room in its queue. Until the host
  // clears it, what is spoken is dropped too. Engines that queue nothing ignore it.
  virtual void WatchStop(std::shared_ptr<const std::atomic<bool>> stop) { (void)stop; }
};

// ----- The voice -----

namespace voiceflags {
inline constexpr int32_t kAsync = 1;
inline constexpr int32_t kPurgeBeforeSpeak = 2;
inline constexpr int32_t kPersistXml = 32;
}  // namespace voiceflags

class VoiceToken {
 public:
  virtual ~VoiceToken() = default;
  virtual bool GetDescription(int32_t locale, std::u16string& description) = 0;
};

class VoiceTokens {
 public:
  virtual ~VoiceTokens() = default;
  virtual int32_t Count() = 0;
  // 0-based; false outside the list.
  virtual bool Item(int32_t index, std::shared_ptr<VoiceToken>& token) = 0;
};

class VoiceEvents {
 public:
  virtual ~VoiceEvents() = default;
  virtual void StartStream(int32_t StreamNumber, const Variant& StreamPosition) = 0;
  virtual void EndStream(int32_t StreamNumber, const Variant& StreamPosition) = 0;
  virtual void Word(int32_t StreamNumber, const Variant& StreamPosition, int32_t CharacterPosition,
                    int32_t Length) = 0;
};

class Voice {
 public:
  virtual ~Voice() = default;
  // text == nullptr is the null text (with flag 2 it purges queued and playing speech).
  virtual bool Speak(const std::u16string* text, int32_t flags, int32_t& streamNumber) = 0;
  virtual bool GetRate(int32_t& rate) = 0;
  virtual bool SetRate(int32_t rate) = 0;
  virtual bool SetVolume(int32_t volume) = 0;
  virtual bool GetVoices(const std::u16string& required, const std::u16string& optional,
                         std::shared_ptr<VoiceTokens>& tokens) = 0;
  virtual bool SetVoice(const std::shared_ptr<VoiceToken>& token) = 0;
  virtual void SetEvents(VoiceEvents* events) = 0;
  virtual void PumpEvents() {}
  virtual bool Busy() { return false; }
  // As DirectSS::SetWakeup and DirectSS::WatchStop.
  virtual void SetWakeup(std::function<void()> wakeup) { (void)wakeup; }
  virtual void WatchStop(std::shared_ptr<const std::atomic<bool>> stop) { (void)stop; }
};

// ----- Factory -----

// Which of the control's two direct text-to-speech objects is being created.
enum class DirectSSRole { ParlanSapi, Sapi4 };

class EngineFactory {
 public:
  virtual ~EngineFactory() = default;
  virtual std::unique_ptr<DirectSS> CreateDirectSS(DirectSSRole role) = 0;
  virtual std::unique_ptr<Voice> CreateVoice() = 0;
};

// Engines that fail every call, as on a machine without them.
std::shared_ptr<EngineFactory> NullEngineFactory();

// The eSpeak NG engines where the library was built with them, otherwise the null engines.
std::shared_ptr<EngineFactory> DefaultEngineFactory();

}  // namespace parlan::engines
