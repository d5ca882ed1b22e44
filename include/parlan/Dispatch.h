// Late binding: the dispatch identifiers of the control's members and events, and the status a
// dispatch call returns.
#pragma once

#include <cstdint>

namespace parlan {

namespace dispid {
inline constexpr int32_t kCountEngines = 0x6803000D;
inline constexpr int32_t kCurrentMode = 0x6803000C;
inline constexpr int32_t kPitch = 0x6803000B;
inline constexpr int32_t kSpeaker = 0x6803000A;
inline constexpr int32_t kSpeed = 0x68030009;
inline constexpr int32_t kVolume = 0x68030008;
inline constexpr int32_t kAudioReset = 0x6003000E;
inline constexpr int32_t kSpeakPhoneme = 0x6003000F;
inline constexpr int32_t kSel = 0x60030010;
inline constexpr int32_t kSapi5String = 0x60030011;
inline constexpr int32_t kSpeak = 0x60030012;
inline constexpr int32_t kModeName = 0x60030013;
inline constexpr int32_t kLastError = 0x60030014;
inline constexpr int32_t kMaxPitch = 0x68030007;
inline constexpr int32_t kMinPitch = 0x68030006;
inline constexpr int32_t kMaxSpeed = 0x68030005;
inline constexpr int32_t kMinSpeed = 0x68030004;
inline constexpr int32_t kMaxVolume = 0x68030003;
inline constexpr int32_t kMinVolume = 0x68030002;
inline constexpr int32_t kDebugging = 0x68030001;
inline constexpr int32_t kNeverDebug = 0x68030000;

// Events of the event interface.
inline constexpr int32_t kAudioStart = 1;
inline constexpr int32_t kAudioStop = 2;
inline constexpr int32_t kWordPosition = 3;
}  // namespace dispid

enum class DispatchKind { Method, PropertyGet, PropertyPut };

enum class DispatchStatus {
  Ok,
  UnknownName,    // no member of that name
  UnknownMember,  // no member with that identifier, or not with that kind of call
  BadArgumentCount,
  BadArgumentType,  // an argument that cannot be converted to the member's type
  Failed,           // the member failed (the Speaker getter's subscript failure)
};

}  // namespace parlan
