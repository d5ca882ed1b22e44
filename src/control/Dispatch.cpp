// Late binding: every member of the control served by its dispatch identifier, and the
// name-to-identifier lookup that scripting bridges and the C interface use.
//
// Rules of this entry point:
// - A property get takes no arguments and a property put exactly one, the new value.
// - A method call on a property with no arguments reads the property: scripting hosts ask for
//   a property with a combined "method or get" call, which a single call kind cannot express.
//   A get or a put on a method is UnknownMember.
// - A Boolean property reads as a Variant Boolean (its numeric value, ToInt64, is -1 for true,
//   0 for false). A put takes a Boolean or a whole number; any number but 0 is true.
// - A number parameter takes an Integer, a Long, a Boolean (-1 or 0) or a Double with a whole
//   value, within the parameter's range; anything else is BadArgumentType. A String parameter
//   takes a String, or Empty as the empty text (a fresh variable passed to receive a text).
// - Arguments are converted before the member runs, so a call refused for its arguments has no
//   effect. By-reference arguments are written back with the parameter's own type (String or
//   Long) once the member has run.
// - `result` is emptied first and holds the member's result afterwards (empty for puts and for
//   members without a result).
// - Nothing is thrown out of Invoke: the Speaker getter's subscript failure, and any other
//   failure of a member, becomes Failed.
#include <array>
#include <limits>
#include <string_view>

#include "parlan/Parlana.h"
#include "strings/Unicode.h"

namespace parlan {
namespace {

using Getter = DispatchStatus (*)(Parlana&, Variant&);
using Putter = DispatchStatus (*)(Parlana&, const Variant&);
using Caller = DispatchStatus (*)(Parlana&, std::vector<Variant>&, Variant&);

// One member of the control's interface: a property has Get and Put, a method has Call and the
// number of its parameters.
struct Member {
  std::u16string_view Name;
  int32_t Dispid;
  Getter Get;
  Putter Put;
  Caller Call;
  size_t ArgCount;
};

// ----- Argument conversion -----

bool ToNumber(const Variant& v, int64_t lo, int64_t hi, int64_t& out) {
  return v.ToInt64(out) && out >= lo && out <= hi;
}

bool ToLong(const Variant& v, int32_t& out) {
  int64_t n = 0;
  if (!ToNumber(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), n))
    return false;
  out = static_cast<int32_t>(n);
  return true;
}

bool ToInteger(const Variant& v, int16_t& out) {
  int64_t n = 0;
  if (!ToNumber(v, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max(), n))
    return false;
  out = static_cast<int16_t>(n);
  return true;
}

bool ToBoolean(const Variant& v, bool& out) {
  int64_t n = 0;
  if (!v.ToInt64(n)) return false;
  out = n != 0;
  return true;
}

bool ToText(const Variant& v, std::u16string& out) {
  if (v.IsEmpty()) {
    out.clear();
    return true;
  }
  if (v.type() != Variant::Type::String) return false;
  out = v.AsString();
  return true;
}

// ----- Properties -----

template <int32_t (Parlana::*Read)()>
DispatchStatus GetLong(Parlana& control, Variant& result) {
  result = Variant((control.*Read)());
  return DispatchStatus::Ok;
}

template <void (Parlana::*Write)(int32_t)>
DispatchStatus PutLong(Parlana& control, const Variant& value) {
  int32_t n = 0;
  if (!ToLong(value, n)) return DispatchStatus::BadArgumentType;
  (control.*Write)(n);
  return DispatchStatus::Ok;
}

template <bool (Parlana::*Read)()>
DispatchStatus GetBoolean(Parlana& control, Variant& result) {
  result = Variant((control.*Read)());
  return DispatchStatus::Ok;
}

template <void (Parlana::*Write)(bool)>
DispatchStatus PutBoolean(Parlana& control, const Variant& value) {
  bool b = false;
  if (!ToBoolean(value, b)) return DispatchStatus::BadArgumentType;
  (control.*Write)(b);
  return DispatchStatus::Ok;
}

DispatchStatus GetSpeaker(Parlana& control, Variant& result) {
  result = Variant(control.Speaker());
  return DispatchStatus::Ok;
}

DispatchStatus PutSpeaker(Parlana& control, const Variant& value) {
  std::u16string text;
  if (!ToText(value, text)) return DispatchStatus::BadArgumentType;
  control.SetSpeaker(text);
  return DispatchStatus::Ok;
}

// ----- Methods (the argument count is checked before these run) -----

DispatchStatus CallAudioReset(Parlana& control, std::vector<Variant>&, Variant&) {
  control.AudioReset();
  return DispatchStatus::Ok;
}

DispatchStatus CallSpeakPhoneme(Parlana& control, std::vector<Variant>& args, Variant& result) {
  std::u16string text;
  if (!ToText(args[0], text)) return DispatchStatus::BadArgumentType;
  result = control.SpeakPhoneme(text);
  args[0] = Variant(std::move(text));
  return DispatchStatus::Ok;
}

// Sapi5String and Speak: one String by reference, no result.
template <void (Parlana::*Method)(std::u16string&)>
DispatchStatus CallWithText(Parlana& control, std::vector<Variant>& args, Variant&) {
  std::u16string text;
  if (!ToText(args[0], text)) return DispatchStatus::BadArgumentType;
  (control.*Method)(text);
  args[0] = Variant(std::move(text));
  return DispatchStatus::Ok;
}

DispatchStatus CallSel(Parlana& control, std::vector<Variant>& args, Variant&) {
  int32_t index = 0;
  if (!ToLong(args[0], index)) return DispatchStatus::BadArgumentType;
  control.Sel(index);
  args[0] = Variant(index);
  return DispatchStatus::Ok;
}

DispatchStatus CallModeName(Parlana& control, std::vector<Variant>& args, Variant& result) {
  int16_t index = 0;
  if (!ToInteger(args[0], index)) return DispatchStatus::BadArgumentType;
  result = Variant(control.ModeName(index));
  return DispatchStatus::Ok;
}

DispatchStatus CallLastError(Parlana& control, std::vector<Variant>& args, Variant& result) {
  std::u16string text;
  if (!ToText(args[0], text)) return DispatchStatus::BadArgumentType;
  result = Variant(control.LastError(text));
  args[0] = Variant(std::move(text));
  return DispatchStatus::Ok;
}

// ----- The member table of _Parlana -----

constexpr Member Property(std::u16string_view name, int32_t dispid, Getter get, Putter put) {
  return Member{name, dispid, get, put, nullptr, 0};
}

constexpr Member Method(std::u16string_view name, int32_t dispid, Caller call, size_t args) {
  return Member{name, dispid, nullptr, nullptr, call, args};
}

using P = Parlana;

constexpr std::array<Member, 21> kMembers = {
    Property(u"CountEngines", dispid::kCountEngines, GetLong<&P::CountEngines>,
             PutLong<&P::SetCountEngines>),
    Property(u"CurrentMode", dispid::kCurrentMode, GetLong<&P::CurrentMode>,
             PutLong<&P::SetCurrentMode>),
    Property(u"Pitch", dispid::kPitch, GetLong<&P::Pitch>, PutLong<&P::SetPitch>),
    Property(u"Speaker", dispid::kSpeaker, GetSpeaker, PutSpeaker),
    Property(u"Speed", dispid::kSpeed, GetLong<&P::Speed>, PutLong<&P::SetSpeed>),
    Property(u"Volume", dispid::kVolume, GetLong<&P::Volume>, PutLong<&P::SetVolume>),
    Method(u"AudioReset", dispid::kAudioReset, CallAudioReset, 0),
    Method(u"SpeakPhoneme", dispid::kSpeakPhoneme, CallSpeakPhoneme, 1),
    Method(u"Sel", dispid::kSel, CallSel, 1),
    Method(u"Sapi5String", dispid::kSapi5String, CallWithText<&P::Sapi5String>, 1),
    Method(u"Speak", dispid::kSpeak, CallWithText<&P::Speak>, 1),
    Method(u"ModeName", dispid::kModeName, CallModeName, 1),
    Method(u"LastError", dispid::kLastError, CallLastError, 1),
    Property(u"MaxPitch", dispid::kMaxPitch, GetLong<&P::MaxPitch>, PutLong<&P::SetMaxPitch>),
    Property(u"MinPitch", dispid::kMinPitch, GetLong<&P::MinPitch>, PutLong<&P::SetMinPitch>),
    Property(u"MaxSpeed", dispid::kMaxSpeed, GetLong<&P::MaxSpeed>, PutLong<&P::SetMaxSpeed>),
    Property(u"MinSpeed", dispid::kMinSpeed, GetLong<&P::MinSpeed>, PutLong<&P::SetMinSpeed>),
    Property(u"MaxVolume", dispid::kMaxVolume, GetLong<&P::MaxVolume>, PutLong<&P::SetMaxVolume>),
    Property(u"MinVolume", dispid::kMinVolume, GetLong<&P::MinVolume>, PutLong<&P::SetMinVolume>),
    Property(u"Debugging", dispid::kDebugging, GetBoolean<&P::Debugging>,
             PutBoolean<&P::SetDebugging>),
    Property(u"NeverDebug", dispid::kNeverDebug, GetBoolean<&P::NeverDebug>,
             PutBoolean<&P::SetNeverDebug>),
};

const Member* FindMember(int32_t dispid) {
  for (const Member& member : kMembers)
    if (member.Dispid == dispid) return &member;
  return nullptr;
}

DispatchStatus InvokeProperty(Parlana& control, const Member& member, DispatchKind kind,
                              std::vector<Variant>& args, Variant& result) {
  if (kind == DispatchKind::PropertyPut) {
    if (args.size() != 1) return DispatchStatus::BadArgumentCount;
    return member.Put(control, args[0]);
  }
  // A get, or a method call that reads the property.
  if (!args.empty()) return DispatchStatus::BadArgumentCount;
  return member.Get(control, result);
}

DispatchStatus InvokeMethod(Parlana& control, const Member& member, DispatchKind kind,
                            std::vector<Variant>& args, Variant& result) {
  if (kind != DispatchKind::Method) return DispatchStatus::UnknownMember;
  if (args.size() != member.ArgCount) return DispatchStatus::BadArgumentCount;
  return member.Call(control, args, result);
}

}  // namespace

DispatchStatus Parlana::Invoke(int32_t dispid, DispatchKind kind, std::vector<Variant>& args,
                               Variant& result) {
  try {
    const Member* member = FindMember(dispid);
    if (member == nullptr) return DispatchStatus::UnknownMember;
    result = Variant();
    if (member->Call != nullptr) return InvokeMethod(*this, *member, kind, args, result);
    return InvokeProperty(*this, *member, kind, args, result);
  } catch (...) {
    return DispatchStatus::Failed;
  }
}

// Names are matched without regard to case, as automation does. An unknown name leaves -1 (the
// automation "unknown" identifier) in `dispid`.
DispatchStatus Parlana::GetIdOfName(const std::u16string& name, int32_t& dispid) {
  dispid = -1;
  try {
    for (const Member& member : kMembers) {
      if (EqualsIgnoreCase(member.Name, name)) {
        dispid = member.Dispid;
        return DispatchStatus::Ok;
      }
    }
    return DispatchStatus::UnknownName;
  } catch (...) {
    return DispatchStatus::Failed;
  }
}

}  // namespace parlan
