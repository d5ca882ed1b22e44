#include "engines/RecordingEngines.h"

#include "engines/VoiceTokenList.h"

#include "strings/Unicode.h"

namespace parlan::engines {

std::string DescribeVariant(const Variant& v) {
  switch (v.type()) {
    case Variant::Type::Empty:
      return "Empty";
    case Variant::Type::Boolean:
      return v.AsBool() ? "True" : "False";
    case Variant::Type::Integer:
      return std::to_string(v.AsInteger()) + "%";
    case Variant::Type::Long:
      return std::to_string(v.AsLong());
    case Variant::Type::Double:
      return std::to_string(v.AsDouble());
    case Variant::Type::String:
      return "\"" + ToUtf8(v.AsString()) + "\"";
  }
  return "?";
}

namespace {

std::string DescribeArgs(const std::vector<Variant>& args) {
  std::string out = "(";
  for (size_t i = 0; i < args.size(); ++i) out += (i ? ", " : "") + DescribeVariant(args[i]);
  return out + ")";
}

const char* KindName(CallKind kind) {
  switch (kind) {
    case CallKind::Get:
      return "get";
    case CallKind::Put:
      return "put";
    case CallKind::Method:
      return "call";
  }
  return "?";
}

bool AsMode(const std::vector<Variant>& args, int64_t& n) {
  return args.size() == 1 && args[0].ToInt64(n);
}

class RecordingDirectSS : public DirectSS {
 public:
  RecordingDirectSS(std::shared_ptr<DirectSSRecord> record,
                    std::shared_ptr<std::vector<std::string>> journal)
      : record_(std::move(record)), journal_(std::move(journal)) {}
  ~RecordingDirectSS() override { record_->Events = nullptr; }

  bool Invoke(int32_t dispid, CallKind kind, const std::vector<Variant>& args,
              Variant& result) override {
    record_->Calls.push_back({dispid, kind, args});
    journal_->push_back(record_->Name + " " + KindName(kind) + " " + std::to_string(dispid) + " " +
                        DescribeArgs(args));
    if (record_->FailAll || record_->Failing.count(dispid)) return false;
    return Answer(dispid, kind, args, result);
  }
  void SetEvents(DirectSSEvents* events) override { record_->Events = events; }

 private:
  bool Answer(int32_t dispid, CallKind kind, const std::vector<Variant>& args, Variant& result) {
    int64_t n = 0;
    if (dispid == ss::kCountModes && kind == CallKind::Get && !record_->ModeNames.empty()) {
      result = static_cast<int32_t>(record_->ModeNames.size());
      return true;
    }
    if (dispid == ss::kModeName && kind == CallKind::Get) {
      if (!AsMode(args, n) || n < 1 || n > static_cast<int64_t>(record_->ModeNames.size()))
        return false;
      result = record_->ModeNames[static_cast<size_t>(n - 1)];
      return true;
    }
    if (dispid == ss::kFind && kind == CallKind::Get) {
      if (args.size() != 1 || args[0].type() != Variant::Type::String) return false;
      auto it = record_->Criteria.find(args[0].AsString());
      if (it == record_->Criteria.end()) return false;
      result = it->second;
      return true;
    }
    if (kind == CallKind::Put) {
      if (args.size() != 1) return false;
      record_->Values[dispid] = args[0];
      return true;
    }
    if (kind == CallKind::Method) return true;
    auto it = record_->Values.find(dispid);
    if (it == record_->Values.end()) return false;
    result = it->second;
    return true;
  }

  std::shared_ptr<DirectSSRecord> record_;
  std::shared_ptr<std::vector<std::string>> journal_;
};

class RecordingToken : public VoiceToken {
 public:
  explicit RecordingToken(std::u16string description) : description_(std::move(description)) {}
  bool GetDescription(int32_t, std::u16string& description) override {
    description = description_;
    return true;
  }
  const std::u16string& Description() const { return description_; }

 private:
  std::u16string description_;
};

class RecordingVoice : public Voice {
 public:
  RecordingVoice(std::shared_ptr<VoiceRecord> record,
                 std::shared_ptr<std::vector<std::string>> journal)
      : record_(std::move(record)), journal_(std::move(journal)) {}
  ~RecordingVoice() override { record_->Events = nullptr; }

  bool Speak(const std::u16string* text, int32_t flags, int32_t& streamNumber) override {
    if (!Record("Speak", {text ? Variant(*text) : Variant(), Variant(flags)})) return false;
    streamNumber = record_->NextStream++;
    if (text && record_->RaiseOnSpeak) {
      record_->RaiseStartStream(streamNumber, Variant(int32_t{0}));
      record_->RaiseEndStream(streamNumber, Variant(int32_t{0}));
    }
    return true;
  }
  bool GetRate(int32_t& rate) override {
    if (!Record("Rate.get", {})) return false;
    rate = record_->Rate;
    return true;
  }
  bool SetRate(int32_t rate) override {
    if (!Record("Rate.put", {Variant(rate)})) return false;
    record_->Rate = rate;
    return true;
  }
  bool SetVolume(int32_t volume) override { return Record("Volume.put", {Variant(volume)}); }
  bool GetVoices(const std::u16string& required, const std::u16string& optional,
                 std::shared_ptr<VoiceTokens>& tokens) override {
    if (!Record("GetVoices", {Variant(required), Variant(optional)})) return false;
    std::vector<std::u16string> names;
    const std::u16string prefix = u"Name=";
    for (const auto& v : record_->Voices)
      if (required.empty() || (required.rfind(prefix, 0) == 0 && required.substr(5) == v))
        names.push_back(v);
    std::vector<std::shared_ptr<VoiceToken>> list;
    for (auto& n : names) list.push_back(std::make_shared<RecordingToken>(n));
    tokens = std::make_shared<VoiceTokenList>(std::move(list));
    return true;
  }
  bool SetVoice(const std::shared_ptr<VoiceToken>& token) override {
    std::u16string description;
    if (token) token->GetDescription(0, description);
    if (!Record("Voice.putref", {Variant(description)})) return false;
    record_->CurrentVoice = description;
    return true;
  }
  void SetEvents(VoiceEvents* events) override { record_->Events = events; }

 private:
  bool Record(const std::string& name, std::vector<Variant> args) {
    journal_->push_back("Sapi5Obj " + name + " " + DescribeArgs(args));
    record_->Calls.push_back({name, std::move(args)});
    return !(record_->FailAll || record_->Failing.count(name));
  }

  std::shared_ptr<VoiceRecord> record_;
  std::shared_ptr<std::vector<std::string>> journal_;
};

}  // namespace

std::vector<DirectSSCall> DirectSSRecord::CallsTo(int32_t dispid) const {
  std::vector<DirectSSCall> out;
  for (const auto& c : Calls)
    if (c.Dispid == dispid) out.push_back(c);
  return out;
}

std::vector<std::pair<std::u16string, int32_t>> VoiceRecord::Spoken() const {
  std::vector<std::pair<std::u16string, int32_t>> out;
  for (const auto& c : Calls) {
    if (c.Name != "Speak") continue;
    std::u16string text = c.Args[0].IsEmpty() ? u"" : c.Args[0].AsString();
    out.emplace_back(text, c.Args[1].AsLong());
  }
  return out;
}

RecordingEngineFactory::RecordingEngineFactory()
    : ParlanSapi(std::make_shared<DirectSSRecord>()),
      Sapi4(std::make_shared<DirectSSRecord>()),
      Sapi5(std::make_shared<VoiceRecord>()),
      Journal(std::make_shared<std::vector<std::string>>()) {
  ParlanSapi->Name = "ParlanSapiObj";
  Sapi4->Name = "Sapi4Obj";
}

std::unique_ptr<DirectSS> RecordingEngineFactory::CreateDirectSS(DirectSSRole role) {
  return std::make_unique<RecordingDirectSS>(role == DirectSSRole::ParlanSapi ? ParlanSapi : Sapi4,
                                             Journal);
}

std::unique_ptr<engines::Voice> RecordingEngineFactory::CreateVoice() {
  return std::make_unique<RecordingVoice>(Sapi5, Journal);
}

void RecordingEngineFactory::ClearCalls() {
  ParlanSapi->Calls.clear();
  Sapi4->Calls.clear();
  Sapi5->Calls.clear();
  Journal->clear();
}

}  // namespace parlan::engines
