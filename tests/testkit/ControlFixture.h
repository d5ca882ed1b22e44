// A control on a temporary install root with recording engines, and fresh module state for
// every test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engines/RecordingEngines.h"
#include "parlan/Parlana.h"
#include "testkit/TestKit.h"

namespace parlan::testkit {

// Records every event the control raises, as text.
class EventLog : public ParlanaEvents {
 public:
  std::vector<std::string> Lines;
  void AudioStart(int32_t& hi, int32_t& lo) override {
    Lines.push_back("AudioStart(" + std::to_string(hi) + ", " + std::to_string(lo) + ")");
    hi = 99;  // writes into by-reference arguments must not reach anyone
  }
  void AudioStop(int32_t& hi, int32_t& lo) override {
    Lines.push_back("AudioStop(" + std::to_string(hi) + ", " + std::to_string(lo) + ")");
  }
  void WordPosition(int32_t& hi, int32_t& low, int32_t& byteoffset, int32_t StreamNumber,
                    Variant StreamPosition, int32_t CharacterPosition, int32_t Length) override {
    Lines.push_back("WordPosition(" + std::to_string(hi) + ", " + std::to_string(low) + ", " +
                    std::to_string(byteoffset) + ", " + std::to_string(StreamNumber) + ", " +
                    engines::DescribeVariant(StreamPosition) + ", " +
                    std::to_string(CharacterPosition) + ", " + std::to_string(Length) + ")");
    byteoffset = -1;
  }
};

// The standard scene: language "Demo" (both genders, spoken through the direct engine), two
// modes on the direct engine and two voices. Mode numbers: 1 Demo Male, 2 Demo Female,
// 3 Sam, 4 Mary, 5 Alice, 6 Bob.
class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetThreadState();
    engines = std::make_shared<engines::RecordingEngineFactory>();
    engines->Sapi4->ModeNames = {u"Sam", u"Mary"};
    engines->Sapi5->Voices = {u"Alice", u"Bob"};
    engines->ParlanSapi->Criteria[u"EngineID=demo-uid;Gender= 2;LanguageID=1033"] = 7;
    engines->ParlanSapi->Criteria[u"EngineID=demo-uid;Gender= 1;LanguageID=1033"] = 8;
  }
  void TearDown() override { ResetThreadState(); }

  // Writes a language's configuration (and optionally its rule files) under the root.
  void AddLanguage(const std::string& name, std::vector<std::string> config,
                   LanguageFiles files = {}) {
    files.Config = std::move(config);
    WriteLanguage(root.Path(), name, files);
  }
  void AddDemo() {
    AddLanguage("Demo", {"GENDER=Both", "SAPINO=4", "UID=demo-uid", "LANGID=1033", "SPACE=0",
                         "MALE=Bob", "FEMALE=Alice"});
  }

  Parlana& Create() {
    controls.push_back(std::make_unique<Parlana>(ParlanaSettings{root.Path(), engines}));
    events = std::make_shared<EventLog>();
    controls.back()->AddEventSink(events);
    return *controls.back();
  }

  TempDir root;
  std::shared_ptr<engines::RecordingEngineFactory> engines;
  std::vector<std::unique_ptr<Parlana>> controls;
  std::shared_ptr<EventLog> events;
};

}  // namespace parlan::testkit
