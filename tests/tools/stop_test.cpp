// A signal stops the tool soon whatever the length of the text and the kind of mode: the phrase
// loop and the engine's worker both give up their work, the queued speech is dropped, and no
// file is left behind.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "ToolProcess.h"
#include "ToolRunner.h"

namespace parlan::testkit {
namespace {

using namespace std::chrono_literals;

struct StopCase {
  const char* Label;
  const char* Mode;  // display name; empty for the first (native) mode
  bool ToFile;       // -w, else -q
};

[[maybe_unused]] void PrintTo(const StopCase& c, std::ostream* os) {
  *os << c.Label;
}

bool HasMode(const std::string& name) {
  const ToolResult modes = RunTool({"modes"});
  return modes.Out.find(name) != std::string::npos;
}

// Some 20 MB: hours of speech, far more than the tool could work through before the signal.
std::string LongText() {
  const std::string line =
      "The quick brown fox jumps over the lazy dog. It was a bright cold day in April.\n";
  std::string text;
  for (size_t i = 0; i < 250000; ++i) text += line;
  return text;
}

class StopWhileSpeaking : public ::testing::TestWithParam<StopCase> {};

TEST_P(StopWhileSpeaking, EndsSoonAfterSigterm) {
  const StopCase& c = GetParam();
  if (*c.Mode && !HasMode(c.Mode)) GTEST_SKIP() << "no mode " << c.Mode << " on this machine";
  TempDir work;
  std::vector<std::string> args{"speak", "--events"};
  if (*c.Mode) args.insert(args.end(), {"-v", c.Mode});
  if (c.ToFile)
    args.insert(args.end(), {"-w", (work.Path() / "out.wav").string()});
  else
    args.push_back("-q");
  const auto events = work.Path() / "events";
  ToolProcess tool(args, LongText(), -1, events);
  ASSERT_TRUE(tool.Started());
  // Speaking for a while, so that much is queued and the text is still being handed over.
  std::this_thread::sleep_for(1500ms);
  const auto signalled = std::chrono::steady_clock::now();
  tool.Signal(SIGTERM);
  const int status = tool.Wait(30s);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - signalled);
  EXPECT_EQ(status, 1) << tool.Err();
  EXPECT_LT(took, 2s) << "the tool went on for " << took.count() << " ms after the signal";
  RecordProperty("stop_ms", std::to_string(took.count()));
  EXPECT_EQ(Lines(tool.Err()).back(), "parlan: interrupted");
  EXPECT_EQ(FolderEntries(work.Path()), std::vector<std::string>{"events"});
}

INSTANTIATE_TEST_SUITE_P(
    Modes, StopWhileSpeaking,
    ::testing::Values(StopCase{"NativeToFile", "", true}, StopCase{"NativeQuiet", "", false},
                      StopCase{"Sapi4ToFile", "English (America)  (SAPI 4)", true},
                      StopCase{"Sapi4Quiet", "English (America)  (SAPI 4)", false},
                      StopCase{"Sapi5ToFile", "English (America) (SAPI 5)", true},
                      StopCase{"Sapi5Quiet", "English (America) (SAPI 5)", false}),
    [](const auto& info) { return std::string(info.param.Label); });

}  // namespace
}  // namespace parlan::testkit
