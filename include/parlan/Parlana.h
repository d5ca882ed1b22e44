// Parlana: the text-to-speech control. A host creates it, lists the voice modes, picks one,
// sets pitch, speed and volume, calls Speak, and receives AudioStart, AudioStop and
// WordPosition through its event sinks while the speech plays.
//
// No member lets an exception out, except the Speaker getter when the current mode number has
// no entry in its table (std::out_of_range). Problems are recorded and read with LastError.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "parlan/Dispatch.h"
#include "parlan/Engines.h"
#include "parlan/Events.h"
#include "parlan/PropertyStore.h"
#include "parlan/Variant.h"

namespace parlan {

// Chosen when a control is created.
struct ParlanaSettings {
  // The folder holding the "Parlan <language>" folders; empty means the library's default.
  std::filesystem::path InstallRoot;
  // Where the control's three engines come from; null means the default engines.
  std::shared_ptr<engines::EngineFactory> Engines;
};

// The text of one debug box, for viewers.
struct DebugBox {
  std::string Window;           // "frmDebug" or "frmAdvanced"
  std::string Control;          // e.g. "rtbTextIn"
  std::u16string FrameCaption;  // e.g. "Text Sent To Parlan"
  std::u16string Text;
};

class Parlana {
 public:
  explicit Parlana(ParlanaSettings settings = {});
  ~Parlana();
  Parlana(const Parlana&) = delete;
  Parlana& operator=(const Parlana&) = delete;

  // ----- Properties (setters marked "ignored" accept any value and do nothing) -----
  int32_t CountEngines();
  void SetCountEngines(int32_t value);  // ignored
  int32_t CurrentMode();
  void SetCurrentMode(int32_t value);
  int32_t Pitch();
  void SetPitch(int32_t value);
  std::u16string Speaker();                      // may throw std::out_of_range
  void SetSpeaker(const std::u16string& value);  // ignored
  int32_t Speed();
  void SetSpeed(int32_t value);
  int32_t Volume();
  void SetVolume(int32_t value);
  int32_t MaxPitch();
  void SetMaxPitch(int32_t value);  // ignored
  int32_t MinPitch();
  void SetMinPitch(int32_t value);  // ignored
  int32_t MaxSpeed();
  void SetMaxSpeed(int32_t value);  // ignored
  int32_t MinSpeed();
  void SetMinSpeed(int32_t value);  // ignored
  int32_t MaxVolume();
  void SetMaxVolume(int32_t value);  // ignored
  int32_t MinVolume();
  void SetMinVolume(int32_t value);  // ignored
  bool Debugging();
  void SetDebugging(bool value);
  bool NeverDebug();
  void SetNeverDebug(bool value);

  // ----- Methods -----
  // Drops the speech queued and playing; also clears a stop request.
  void AudioReset();
  // Asks a Speak in progress to end at its next phrase, dropping the text not yet spoken, and
  // makes later Speak calls return at once until AudioReset; the engines drop their queued
  // speech and end the utterance they are synthesising at its next piece of audio. Safe from
  // any thread and from a signal handler; the host then calls AudioReset on its own thread.
  void RequestStop() noexcept;
  Variant SpeakPhoneme(std::u16string& Text);
  void Sel(int32_t& Index);
  void Sapi5String(std::u16string& Text);
  // Speaks Text; in a native mode the text is consumed and comes back empty.
  void Speak(std::u16string& Text);
  std::u16string ModeName(int16_t Index);
  int16_t LastError(std::u16string& ErrorStr);

  // ----- Host integration -----
  void AddEventSink(std::shared_ptr<ParlanaEvents> sink);
  void RemoveEventSink(const std::shared_ptr<ParlanaEvents>& sink);
  void SetPropertyChangedCallback(PropertyChangedCallback callback);
  // Restores saved settings from the host's store / saves them into it.
  void ReadProperties(PropertyStore& store);
  void WriteProperties(PropertyStore& store);

  // Delivers the engine events queued so far on the calling thread.
  void DoEvents();
  // Delivers events until every engine is idle; false when the timeout passed first.
  bool WaitUntilDone(std::chrono::milliseconds timeout);
  // Called from any thread when engine events are waiting for DoEvents or speech has ended, so
  // that an event loop can sleep until then; it must only wake the control's thread, which then
  // calls DoEvents. Empty detaches; once this returns the earlier function is not called again.
  void SetEventsWaiting(std::function<void()> wakeup);

  // ----- Late binding -----
  // Serves every member by dispatch identifier. Arguments are in declaration order; for a
  // property put the value is the one argument. By-reference arguments are written back into
  // `args`. Booleans follow the automation convention (true is all bits set).
  DispatchStatus Invoke(int32_t dispid, DispatchKind kind, std::vector<Variant>& args,
                        Variant& result);
  static DispatchStatus GetIdOfName(const std::u16string& name, int32_t& dispid);

  // ----- Viewers of the debug windows (observe only) -----
  std::vector<DebugBox> DebugBoxes() const;
  std::u16string DebugWindowsText() const;
  bool DebugWindowVisible(const std::string& window) const;

  // The install root this control reads its languages from.
  const std::filesystem::path& InstallRoot() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// Gives the calling thread fresh module state (no modes, flags cleared), as a new thread has.
void ResetThreadState();

}  // namespace parlan
