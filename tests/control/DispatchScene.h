// The scene of the late-binding tests: a native language, two direct-engine modes and two
// voices, each call run on a fresh control on a fresh thread (so with fresh module state), and
// everything a host or an engine can observe of the call.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engines/RecordingEngines.h"
#include "parlan/Parlana.h"
#include "strings/Unicode.h"
#include "testkit/TestKit.h"

namespace parlan::dispatchtest {

namespace ss = engines::ss;
using Args = std::vector<Variant>;
using Kind = DispatchKind;
using Status = DispatchStatus;

// Mode numbers of the scene: 1 Demo Male, 2 Demo Female (native, spoken on the direct
// engine), 3 Sam, 4 Mary (direct engine), 5 Alice, 6 Bob (voice).
constexpr int32_t kNative = 1, kDirect = 3, kVoice = 5;

// The install root of the scene: one native language on the direct engine.
class Scene {
 public:
  Scene() {
    testkit::LanguageFiles files;
    files.Config = {"GENDER=Both", "SAPINO=4", "UID=demo-uid", "LANGID=1033",
                    "SPACE=0",     "MALE=Bob", "FEMALE=Alice"};
    testkit::WriteLanguage(root_.Path(), "Demo", files);
  }
  const std::filesystem::path& Root() const { return root_.Path(); }

 private:
  testkit::TempDir root_;
};

inline std::shared_ptr<engines::RecordingEngineFactory> ScriptedEngines() {
  auto e = std::make_shared<engines::RecordingEngineFactory>();
  e->Sapi4->ModeNames = {u"Sam", u"Mary"};
  e->Sapi5->Voices = {u"Alice", u"Bob"};
  e->Sapi5->Rate = 2;
  e->ParlanSapi->Criteria[u"EngineID=demo-uid;Gender= 2;LanguageID=1033"] = 7;
  e->ParlanSapi->Criteria[u"EngineID=demo-uid;Gender= 1;LanguageID=1033"] = 8;
  for (auto* record : {e->ParlanSapi.get(), e->Sapi4.get()}) {
    record->Values = {
        {ss::kPitch, Variant(int32_t{120})},    {ss::kMaxPitch, Variant(int32_t{200})},
        {ss::kMinPitch, Variant(int32_t{50})},  {ss::kSpeed, Variant(int32_t{150})},
        {ss::kMaxSpeed, Variant(int32_t{300})}, {ss::kMinSpeed, Variant(int32_t{60})},
        {ss::kMinVolume1, Variant(int32_t{0})}, {ss::kMaxVolume1, Variant(int32_t{100})},
        {ss::kMinVolume2, Variant(int32_t{0})}, {ss::kMaxVolume2, Variant(int32_t{65535})}};
  }
  return e;
}

// Everything a host or an engine can observe of one call.
struct Outcome {
  Status Result = Status::Ok;
  Variant Value;
  Args After;
  std::vector<std::string> Journal;
  std::vector<std::string> Notified;
  std::vector<std::string> State;
};

// The state a host can read afterwards (read after the journal was taken).
inline std::vector<std::string> ReadState(Parlana& c) {
  std::u16string error;
  int16_t number = c.LastError(error);
  std::string speaker = "<out of range>";
  try {
    speaker = ToUtf8(c.Speaker());
  } catch (const std::out_of_range&) {
  }
  return {std::to_string(c.CurrentMode()),
          c.Debugging() ? "debugging" : "-",
          c.NeverDebug() ? "never" : "-",
          std::to_string(number) + " " + ToUtf8(error),
          speaker,
          ToUtf8(c.DebugWindowsText())};
}

// Runs `action` on a fresh control on a fresh thread (so with fresh module state) after
// selecting `mode` (0: none).
inline Outcome OnFreshControl(const Scene& scene, int32_t mode,
                              const std::function<void(Parlana&, Outcome&)>& action) {
  Outcome out;
  std::thread([&] {
    auto engines = ScriptedEngines();
    Parlana control(ParlanaSettings{scene.Root(), engines});
    if (mode != 0) control.SetCurrentMode(mode);
    control.SetPropertyChangedCallback(
        [&](const std::u16string& name) { out.Notified.push_back(ToUtf8(name)); });
    engines->ClearCalls();
    action(control, out);
    out.Journal = *engines->Journal;
    out.State = ReadState(control);
  }).join();
  return out;
}

// Arguments as text (a NaN reads the same as a NaN, unlike with ==).
inline std::string Describe(const Args& args) {
  std::string out;
  for (const Variant& v : args) out += engines::DescribeVariant(v) + "; ";
  return out;
}

inline Outcome ThroughInvoke(const Scene& scene, int32_t mode, int32_t id, Kind kind, Args args) {
  return OnFreshControl(scene, mode, [&](Parlana& c, Outcome& out) {
    out.Value = Variant(u"untouched");
    out.Result = c.Invoke(id, kind, args, out.Value);
    out.After = args;
  });
}

// The direct member call: takes the arguments, writes by-reference ones back, returns the
// result. A std::out_of_range stands for the Failed status.
using Direct = std::function<Variant(Parlana&, Args&)>;

inline Outcome ThroughMember(const Scene& scene, int32_t mode, Args args, const Direct& direct) {
  return OnFreshControl(scene, mode, [&](Parlana& c, Outcome& out) {
    try {
      out.Value = direct(c, args);
    } catch (const std::out_of_range&) {
      out.Result = Status::Failed;
      out.Value = Variant();
    }
    out.After = args;
  });
}

// Every member of the control's interface by name, with its identifier.
struct NamedMember {
  const char16_t* Name;
  int32_t Id;
};

inline const std::vector<NamedMember>& AllMembers() {
  static const std::vector<NamedMember> members = {{u"CountEngines", dispid::kCountEngines},
                                                   {u"CurrentMode", dispid::kCurrentMode},
                                                   {u"Pitch", dispid::kPitch},
                                                   {u"Speaker", dispid::kSpeaker},
                                                   {u"Speed", dispid::kSpeed},
                                                   {u"Volume", dispid::kVolume},
                                                   {u"AudioReset", dispid::kAudioReset},
                                                   {u"SpeakPhoneme", dispid::kSpeakPhoneme},
                                                   {u"Sel", dispid::kSel},
                                                   {u"Sapi5String", dispid::kSapi5String},
                                                   {u"Speak", dispid::kSpeak},
                                                   {u"ModeName", dispid::kModeName},
                                                   {u"LastError", dispid::kLastError},
                                                   {u"MaxPitch", dispid::kMaxPitch},
                                                   {u"MinPitch", dispid::kMinPitch},
                                                   {u"MaxSpeed", dispid::kMaxSpeed},
                                                   {u"MinSpeed", dispid::kMinSpeed},
                                                   {u"MaxVolume", dispid::kMaxVolume},
                                                   {u"MinVolume", dispid::kMinVolume},
                                                   {u"Debugging", dispid::kDebugging},
                                                   {u"NeverDebug", dispid::kNeverDebug}};
  return members;
}

}  // namespace parlan::dispatchtest
