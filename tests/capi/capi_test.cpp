// The C interface over a real control: recording engines where the calls matter, eSpeak NG
// writing a sound file where the events and the default install root matter.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "parlan/EspeakEngines.h"
#include "parlan/Parlana.h"
#include "parlan/parlan.h"
#include "testkit/TestKit.h"

namespace parlan::testkit {
namespace {

const std::string kDemoRoot = std::string(PARLAN_TEST_DATA) + "/root";

struct Handle {
  explicit Handle(parlan_options o) { status = parlan_create(&o, &h); }
  ~Handle() { parlan_destroy(h); }
  parlan_control* h = nullptr;
  int status = PARLAN_ERROR_FAILED;
};

parlan_options Recording(const std::string& root = kDemoRoot) {
  return {root.c_str(), PARLAN_ENGINES_RECORDING, nullptr};
}

std::vector<std::string> Modes(parlan_control* h) {
  std::vector<std::string> names;
  for (int i = 1; i <= parlan_mode_count(h); ++i) names.push_back(parlan_mode_name(h, i));
  return names;
}

TEST(CInterface, ListsAndSelectsModesByNumberAndName) {
  Handle c(Recording());
  ASSERT_EQ(c.status, PARLAN_OK);
  EXPECT_EQ(std::string(parlan_install_root(c.h)), kDemoRoot);
  const std::vector<std::string> modes = Modes(c.h);
  ASSERT_EQ(modes, (std::vector<std::string>{"Demo Male (Parlan)", "Demo Female (Parlan)"}));
  EXPECT_EQ(parlan_mode_name(c.h, 0), nullptr);
  EXPECT_EQ(parlan_mode_name(c.h, 3), nullptr);
  EXPECT_EQ(parlan_select(c.h, 3), PARLAN_ERROR_RANGE);
  EXPECT_EQ(parlan_select_name(c.h, "demo female (parlan)"), PARLAN_OK);
  int32_t mode = 0;
  ASSERT_EQ(parlan_get(c.h, PARLAN_CURRENT_MODE, &mode), PARLAN_OK);
  EXPECT_EQ(mode, 2);
  EXPECT_EQ(parlan_select_name(c.h, "Klingon (Parlan)"), PARLAN_ERROR_NOT_FOUND);
  EXPECT_EQ(parlan_select(c.h, 1), PARLAN_OK);
  ASSERT_EQ(parlan_get(c.h, PARLAN_CURRENT_MODE, &mode), PARLAN_OK);
  EXPECT_EQ(mode, 1);
}

// Every entry point refuses a missing handle or pointer instead of crashing.
TEST(CInterface, RefusesNullHandlesAndPointers) {
  const std::vector<std::pair<const char*, std::function<int()>>> calls = {
      {"create", [] { return parlan_create(nullptr, nullptr); }},
      {"mode_count", [] { return parlan_mode_count(nullptr); }},
      {"select", [] { return parlan_select(nullptr, 1); }},
      {"select_name", [] { return parlan_select_name(nullptr, "x"); }},
      {"speak", [] { return parlan_speak(nullptr, "x"); }},
      {"speak_phonemes", [] { return parlan_speak_phonemes(nullptr, "x"); }},
      {"audio_reset", [] { return parlan_audio_reset(nullptr); }},
      {"set", [] { return parlan_set(nullptr, PARLAN_PITCH, 1); }},
      {"pump", [] { return parlan_pump(nullptr); }},
      {"wait", [] { return parlan_wait(nullptr, 0); }},
      {"last_error", [] { return parlan_last_error(nullptr, nullptr); }},
      {"save", [] { return parlan_save_settings(nullptr, "/tmp/x"); }},
      {"dispatch_id", [] { return parlan_dispatch_id(nullptr, nullptr); }},
      {"invoke", [] { return parlan_invoke(nullptr, 0, PARLAN_CALL_GET, nullptr, 0, nullptr); }},
  };
  for (const auto& [name, call] : calls) EXPECT_EQ(call(), PARLAN_ERROR_ARGUMENT) << name;
  EXPECT_EQ(parlan_mode_name(nullptr, 1), nullptr);
  EXPECT_EQ(parlan_install_root(nullptr), nullptr);
  parlan_destroy(nullptr);

  Handle c(Recording());
  ASSERT_EQ(c.status, PARLAN_OK);
  EXPECT_EQ(parlan_speak(c.h, nullptr), PARLAN_ERROR_ARGUMENT);
  EXPECT_EQ(parlan_speak(c.h, "caf\xC3"), PARLAN_ERROR_ARGUMENT);
  EXPECT_EQ(parlan_get(c.h, PARLAN_PITCH, nullptr), PARLAN_ERROR_ARGUMENT);
  // Values outside the enumerations, as C callers may pass them.
  int32_t lo = 0, hi = 0;
  EXPECT_EQ(parlan_range(c.h, 99, &lo, &hi), PARLAN_ERROR_ARGUMENT);
  EXPECT_EQ(parlan_set(c.h, -1, 0), PARLAN_ERROR_ARGUMENT);
  EXPECT_EQ(parlan_invoke(c.h, 0, 7, nullptr, 0, nullptr), PARLAN_ERROR_ARGUMENT);
  parlan_value odd{42, 0, 0.0, nullptr};
  EXPECT_EQ(parlan_invoke(c.h, 0, PARLAN_CALL_GET, &odd, 1, nullptr), PARLAN_ERROR_ARGUMENT);
  parlan_options unknown{nullptr, 42, nullptr};
  parlan_control* none = nullptr;
  EXPECT_EQ(parlan_create(&unknown, &none), PARLAN_ERROR_ARGUMENT);
  EXPECT_EQ(none, nullptr);
  parlan_options file{nullptr, PARLAN_ENGINES_FILE, nullptr};
  EXPECT_EQ(parlan_create(&file, &none), PARLAN_ERROR_ARGUMENT);
  EXPECT_EQ(none, nullptr);
}

TEST(CInterface, SettingsOutsideTheirRangesChangeNothing) {
  Handle c(Recording());
  ASSERT_EQ(c.status, PARLAN_OK);
  ASSERT_EQ(parlan_select(c.h, 1), PARLAN_OK);
  for (int s : {PARLAN_PITCH, PARLAN_SPEED, PARLAN_VOLUME, PARLAN_CURRENT_MODE, PARLAN_DEBUGGING,
                PARLAN_NEVER_DEBUG}) {
    int32_t lo = 0, hi = 0, before = 0, after = 0;
    ASSERT_EQ(parlan_range(c.h, s, &lo, &hi), PARLAN_OK) << s;
    ASSERT_LE(lo, hi) << s;
    ASSERT_EQ(parlan_get(c.h, s, &before), PARLAN_OK) << s;
    EXPECT_EQ(parlan_set(c.h, s, hi + 1), PARLAN_ERROR_RANGE) << s;
    EXPECT_EQ(parlan_set(c.h, s, lo - 1), PARLAN_ERROR_RANGE) << s;
    ASSERT_EQ(parlan_get(c.h, s, &after), PARLAN_OK) << s;
    EXPECT_EQ(after, before) << s;
  }
  int32_t value = 0;
  ASSERT_EQ(parlan_set(c.h, PARLAN_NEVER_DEBUG, 1), PARLAN_OK);
  ASSERT_EQ(parlan_get(c.h, PARLAN_NEVER_DEBUG, &value), PARLAN_OK);
  EXPECT_EQ(value, 1);
}

TEST(CInterface, SavesAndRestoresSettingsThroughAFile) {
  TempDir dir;
  const std::string file = (dir.Path() / "settings.txt").string();
  {
    Handle c(Recording());
    ASSERT_EQ(parlan_select(c.h, 2), PARLAN_OK);
    ASSERT_EQ(parlan_set(c.h, PARLAN_NEVER_DEBUG, 1), PARLAN_OK);
    ASSERT_EQ(parlan_save_settings(c.h, file.c_str()), PARLAN_OK);
  }
  ResetThreadState();  // as a new process would start
  Handle c(Recording());
  EXPECT_EQ(parlan_load_settings(c.h, (dir.Path() / "missing.txt").c_str()), PARLAN_ERROR_FILE);
  ASSERT_EQ(parlan_load_settings(c.h, file.c_str()), PARLAN_OK);
  int32_t mode = 0, never = 0;
  ASSERT_EQ(parlan_get(c.h, PARLAN_CURRENT_MODE, &mode), PARLAN_OK);
  ASSERT_EQ(parlan_get(c.h, PARLAN_NEVER_DEBUG, &never), PARLAN_OK);
  EXPECT_EQ(mode, 2);
  EXPECT_EQ(never, 1);
  EXPECT_EQ(parlan_save_settings(c.h, dir.Path().c_str()), PARLAN_ERROR_FILE);
}

TEST(CInterface, InvokesMembersByDispatchIdentifier) {
  Handle c(Recording());
  int32_t count = 0, mode_name = 0, last_error = 0;
  ASSERT_EQ(parlan_dispatch_id("countengines", &count), PARLAN_OK);
  ASSERT_EQ(parlan_dispatch_id("ModeName", &mode_name), PARLAN_OK);
  ASSERT_EQ(parlan_dispatch_id("LastError", &last_error), PARLAN_OK);
  int32_t unknown = 0;
  EXPECT_EQ(parlan_dispatch_id("NoSuchMember", &unknown), PARLAN_ERROR_NOT_FOUND);

  parlan_value result{};
  ASSERT_EQ(parlan_invoke(c.h, count, PARLAN_CALL_GET, nullptr, 0, &result), PARLAN_OK);
  EXPECT_EQ(result.type, PARLAN_VALUE_LONG);
  EXPECT_EQ(result.integer, parlan_mode_count(c.h));

  parlan_value index{PARLAN_VALUE_INTEGER, 2, 0.0, nullptr};
  ASSERT_EQ(parlan_invoke(c.h, mode_name, PARLAN_CALL_METHOD, &index, 1, &result), PARLAN_OK);
  ASSERT_EQ(result.type, PARLAN_VALUE_STRING);
  EXPECT_STREQ(result.text, "Demo Female (Parlan)");

  // LastError writes its message back into the by-reference argument.
  parlan_select(c.h, 1);
  parlan_speak(c.h, "");
  const char* message = nullptr;
  const int number = parlan_last_error(c.h, &message);
  const std::string expected = message;
  parlan_value text{PARLAN_VALUE_STRING, 0, 0.0, "old"};
  ASSERT_EQ(parlan_invoke(c.h, last_error, PARLAN_CALL_METHOD, &text, 1, &result), PARLAN_OK);
  EXPECT_EQ(result.integer, number);
  ASSERT_EQ(text.type, PARLAN_VALUE_STRING);
  EXPECT_EQ(std::string(text.text), expected);

  parlan_value bad{PARLAN_VALUE_STRING, 0, 0.0, "caf\xC3"};
  EXPECT_EQ(parlan_invoke(c.h, mode_name, PARLAN_CALL_METHOD, &bad, 1, &result),
            PARLAN_ERROR_ARGUMENT);
  EXPECT_EQ(parlan_invoke(c.h, 12345, PARLAN_CALL_GET, nullptr, 0, &result),
            PARLAN_ERROR_NOT_FOUND);
}

TEST(CInterface, KeepsAJournalOnRecordingEnginesOnly) {
  Handle c(Recording());
  ASSERT_EQ(parlan_select(c.h, 1), PARLAN_OK);
  const int before = parlan_journal_size(c.h);
  ASSERT_GE(before, 0);
  ASSERT_EQ(parlan_speak(c.h, "Hello."), PARLAN_OK);
  ASSERT_GT(parlan_journal_size(c.h), before);
  bool phonemes = false;
  for (int i = before; i < parlan_journal_size(c.h); ++i)
    phonemes |= std::string(parlan_journal_line(c.h, i)).find("42") != std::string::npos;
  EXPECT_TRUE(phonemes) << "a native Speak hands phonemes to the engine (dispatch 42)";
  EXPECT_EQ(parlan_journal_line(c.h, -1), nullptr);

  Handle n({kDemoRoot.c_str(), PARLAN_ENGINES_NULL, nullptr});
  EXPECT_EQ(parlan_journal_size(n.h), PARLAN_ERROR_WRONG_ENGINES);
}

struct Received {
  std::vector<parlan_event> Events;
  static void Add(void* user, const parlan_event* e) {
    static_cast<Received*>(user)->Events.push_back(*e);
  }
};

// The default install root of a library in its build tree is the source tree's languages/.
TEST(CInterface, SpeaksNativeEnglishIntoASoundFileWithEvents) {
  if (!engines::EspeakAvailable()) GTEST_SKIP() << "eSpeak NG could not be started";
  TempDir dir;
  const std::string wav = (dir.Path() / "out.wav").string();
  Handle c({nullptr, PARLAN_ENGINES_FILE, wav.c_str()});
  ASSERT_EQ(c.status, PARLAN_OK);
  EXPECT_EQ(std::string(parlan_install_root(c.h)), std::string(PARLAN_SOURCE_DIR) + "/languages");
  Received got;
  ASSERT_EQ(parlan_set_event_callback(c.h, &Received::Add, &got), PARLAN_OK);
  ASSERT_EQ(parlan_select_name(c.h, "English Female (Parlan)"), PARLAN_OK);
  const std::string text = "Good morning to you.";
  ASSERT_EQ(parlan_speak(c.h, text.c_str()), PARLAN_OK);
  ASSERT_EQ(parlan_wait(c.h, 60000), PARLAN_OK);
  ASSERT_FALSE(got.Events.empty());
  EXPECT_EQ(got.Events.front().kind, PARLAN_EVENT_AUDIO_START);
  EXPECT_EQ(got.Events.back().kind, PARLAN_EVENT_AUDIO_STOP);
  // A native mode speaks on the direct engine, whose word positions are byte offsets into the
  // phoneme string it was given.
  std::vector<int32_t> offsets;
  for (const parlan_event& e : got.Events)
    if (e.kind == PARLAN_EVENT_WORD_POSITION) offsets.push_back(e.byte_offset);
  ASSERT_GE(offsets.size(), 4u);
  for (size_t i = 1; i < offsets.size(); ++i) EXPECT_LT(offsets[i - 1], offsets[i]);
  EXPECT_GT(std::filesystem::file_size(wav), 22050u);  // more than half a second of audio
  // After the callback is removed nothing more arrives.
  ASSERT_EQ(parlan_set_event_callback(c.h, nullptr, nullptr), PARLAN_OK);
  const size_t seen = got.Events.size();
  ASSERT_EQ(parlan_speak(c.h, "Again."), PARLAN_OK);
  ASSERT_EQ(parlan_wait(c.h, 60000), PARLAN_OK);
  EXPECT_EQ(got.Events.size(), seen);
}

}  // namespace
}  // namespace parlan::testkit
