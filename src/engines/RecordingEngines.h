// Engines for tests and dry runs: they record every call with its arguments, in order, answer
// from a script the test gives, and raise events when told.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "parlan/Engines.h"

namespace parlan::engines {

struct DirectSSCall {
  int32_t Dispid = 0;
  CallKind Kind = CallKind::Method;
  std::vector<Variant> Args;
  bool operator==(const DirectSSCall&) const = default;
};

// One direct text-to-speech object's script and record, shared by the engine and the test.
struct DirectSSRecord {
  std::string Name;  // "ParlanSapiObj" or "Sapi4Obj", for the journal
  std::vector<DirectSSCall> Calls;
  // Script: a get of a dispid answers Values[dispid] (fails when absent); a put stores there.
  std::map<int32_t, Variant> Values;
  std::vector<std::u16string> ModeNames;       // DISPID 18 (count) and 19 (name of mode i)
  std::map<std::u16string, int32_t> Criteria;  // DISPID 71: criteria text -> mode number
  std::set<int32_t> Failing;                   // dispids whose calls fail
  bool FailAll = false;
  DirectSSEvents* Events = nullptr;

  void RaiseAudioStart(int32_t hi, int32_t lo) {
    if (Events) Events->AudioStart(hi, lo);
  }
  void RaiseAudioStop(int32_t hi, int32_t lo) {
    if (Events) Events->AudioStop(hi, lo);
  }
  void RaiseWordPosition(int32_t hi, int32_t lo, int32_t byteoffset) {
    if (Events) Events->WordPosition(hi, lo, byteoffset);
  }
  // The calls with one dispid, in order.
  std::vector<DirectSSCall> CallsTo(int32_t dispid) const;
};

struct VoiceCall {
  std::string Name;  // "Speak", "Rate.get", "Rate.put", "Volume.put", "GetVoices", "Voice.putref"
  std::vector<Variant> Args;
  bool operator==(const VoiceCall&) const = default;
};

struct VoiceRecord {
  std::vector<VoiceCall> Calls;
  std::vector<std::u16string> Voices;  // descriptions, in listing order
  int32_t Rate = 0;
  std::set<std::string> Failing;  // call names that fail
  bool FailAll = false;
  int32_t NextStream = 1;
  bool RaiseOnSpeak = false;  // each Speak of a text raises StartStream then EndStream
  std::u16string CurrentVoice;
  VoiceEvents* Events = nullptr;

  void RaiseStartStream(int32_t stream, const Variant& position) {
    if (Events) Events->StartStream(stream, position);
  }
  void RaiseEndStream(int32_t stream, const Variant& position) {
    if (Events) Events->EndStream(stream, position);
  }
  void RaiseWord(int32_t stream, const Variant& position, int32_t character, int32_t length) {
    if (Events) Events->Word(stream, position, character, length);
  }
  // The texts of the Speak calls with their flags, in order.
  std::vector<std::pair<std::u16string, int32_t>> Spoken() const;
};

// Gives every control it serves engines that share these records.
class RecordingEngineFactory : public EngineFactory {
 public:
  RecordingEngineFactory();
  std::unique_ptr<DirectSS> CreateDirectSS(DirectSSRole role) override;
  std::unique_ptr<engines::Voice> CreateVoice() override;

  std::shared_ptr<DirectSSRecord> ParlanSapi;
  std::shared_ptr<DirectSSRecord> Sapi4;
  std::shared_ptr<VoiceRecord> Sapi5;
  // Every call on the three engines as readable text, in the order made.
  std::shared_ptr<std::vector<std::string>> Journal;
  void ClearCalls();
};

std::string DescribeVariant(const Variant& v);

}  // namespace parlan::engines
