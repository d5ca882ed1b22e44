// The tool under faults from outside: a disk that fills up, language files that are no regular
// files, standard output that cannot be written or whose reader went away, and signals while
// it speaks. Nothing may be lost silently, nothing may hang, and no temporary file may stay.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "TinyLanguage.h"
#include "ToolProcess.h"
#include "ToolRunner.h"

namespace parlan::testkit {
namespace {

using namespace std::chrono_literals;

std::string Repeat(const std::string& words, size_t times) {
  std::string text;
  text.reserve(words.size() * times);
  for (size_t i = 0; i < times; ++i) text += words;
  return text;
}

class ToolFaults : public ::testing::Test {
 protected:
  void SetUp() override { folder = WriteLanguage(root.Path(), "Tiny", TinyLanguage()); }
  std::string Root() const { return root.Path().string(); }
  TempDir root;
  TempDir work;
  std::filesystem::path folder;
};

// ----- A disk that fills up -----

// A file system of 64 KiB, far too small for the speech: mounting one needs root.
class FullDisk : public ToolFaults, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    ToolFaults::SetUp();
    small = work.Path() / "small";
    std::filesystem::create_directory(small);
    if (::mount("parlan-test", small.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") != 0)
      GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);
    mounted = true;
  }
  void TearDown() override {
    if (mounted) ::umount2(small.c_str(), MNT_DETACH);
  }
  std::filesystem::path small;
  bool mounted = false;
};

TEST_P(FullDisk, FailsNamingTheFileAndTheReasonAndLeavesNothing) {
  const std::string target = (small / ("out." + std::string(GetParam()))).string();
  ToolResult r = RunTool({"--root", Root(), "-w", target}, Repeat("hello one two the ", 40));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "parlan: cannot write " + target + ": No space left on device\n");
  EXPECT_EQ(r.Out, "");
  EXPECT_EQ(FolderEntries(small), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Formats, FullDisk, ::testing::Values("wav", "flac"));

// ----- Language files that are no regular files -----

struct OddFile {
  const char* Suffix;  // the language file replaced
  bool Fifo;           // by a FIFO; else by a folder
};

[[maybe_unused]] void PrintTo(const OddFile& c, std::ostream* os) {
  *os << c.Suffix << (c.Fifo ? " as a FIFO" : " as a folder");
}

class CheckOddFile : public ToolFaults, public ::testing::WithParamInterface<OddFile> {};

TEST_P(CheckOddFile, IsOneProblemAndTheOtherFilesAreStillChecked) {
  const auto odd = folder / ("Tiny" + std::string(GetParam().Suffix));
  std::filesystem::remove(odd);
  if (GetParam().Fifo)
    ASSERT_EQ(::mkfifo(odd.c_str(), 0644), 0);
  else
    std::filesystem::create_directory(odd);
  // Another file with a problem of its own, which must still be found.
  const auto other =
      folder / (std::string(GetParam().Suffix) == "r.ttg" ? "Tinye.ttg" : "Tinyr.ttg");
  std::filesystem::remove(other);

  const auto out = work.Path() / "out";
  ToolProcess tool({"check", folder.string()}, "", -1, out);
  ASSERT_TRUE(tool.Started());
  ASSERT_EQ(tool.Wait(60s), 1) << "the check hung or did not fail\n" << tool.Err();
  const std::vector<std::string> lines = Lines(ReadBytes(out));
  auto count = [&](const std::string& line) {
    return std::count(lines.begin(), lines.end(), line);
  };
  EXPECT_EQ(count(odd.string() + ": not a regular file"), 1) << ReadBytes(out);
  EXPECT_EQ(count(other.string() + ": missing"), 1) << ReadBytes(out);
  EXPECT_EQ(tool.Err(), "");
}

INSTANTIATE_TEST_SUITE_P(Files, CheckOddFile,
                         ::testing::Values(OddFile{"c.ttg", true}, OddFile{"n.ttg", true},
                                           OddFile{"e.ttg", true}, OddFile{"r.ttg", true},
                                           OddFile{"c.ttg", false}, OddFile{"n.ttg", false},
                                           OddFile{"e.ttg", false}, OddFile{"r.ttg", false}));

// ----- Standard output -----

struct OutputCommand {
  const char* Label;
  std::vector<std::string> Args;  // after --root
};

[[maybe_unused]] void PrintTo(const OutputCommand& c, std::ostream* os) {
  *os << c.Label;
}

class FullStandardOutput : public ToolFaults,
                           public ::testing::WithParamInterface<OutputCommand> {};

TEST_P(FullStandardOutput, IsReportedAsAFailure) {
  std::vector<std::string> args = GetParam().Args;
  if (args[0] == "check") {
    std::filesystem::remove(folder / "Tinyr.ttg");  // a problem line to print
    args.push_back(folder.string());
  } else {
    args.insert(args.begin() + 1, {"--root", Root()});
  }
  ToolProcess tool(args, "", -1, "/dev/full");
  ASSERT_TRUE(tool.Started());
  EXPECT_EQ(tool.Wait(60s), 1);
  EXPECT_EQ(tool.Err(), "parlan: cannot write to standard output: No space left on device\n");
}

INSTANTIATE_TEST_SUITE_P(Commands, FullStandardOutput,
                         ::testing::Values(OutputCommand{"modes", {"modes"}},
                                           OutputCommand{"phonemes", {"phonemes", "hello one"}},
                                           OutputCommand{"trace", {"trace", "hello one"}},
                                           OutputCommand{"speakEvents",
                                                         {"speak", "-q", "--events", "hello one"}},
                                           OutputCommand{"check", {"check"}}),
                         [](const auto& info) { return std::string(info.param.Label); });

// A pipe whose reader is gone before the tool writes: the tool ends by SIGPIPE, as any filter.
class ClosedPipe : public ToolFaults {
 protected:
  void SetUp() override {
    ToolFaults::SetUp();
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[0]);
  }
  void TearDown() override { ::close(ends[1]); }
  int ends[2] = {-1, -1};
};

TEST_F(ClosedPipe, EndsATraceQuietlyBySigpipe) {
  ToolProcess tool({"trace", "--root", Root()}, Repeat("hello one two the ", 2000), ends[1]);
  ASSERT_TRUE(tool.Started());
  EXPECT_EQ(tool.Wait(60s), 128 + SIGPIPE);
  EXPECT_EQ(tool.Err(), "");
}

TEST_F(ClosedPipe, EndsASoundFileWriteQuietlyWithoutTheTemporaryFile) {
  const std::string target = (work.Path() / "out.wav").string();
  ToolProcess tool({"--root", Root(), "--events", "-w", target}, "hello one two the", ends[1]);
  ASSERT_TRUE(tool.Started());
  EXPECT_EQ(tool.Wait(60s), 128 + SIGPIPE);
  EXPECT_EQ(tool.Err(), "");
  EXPECT_EQ(FolderEntries(work.Path()), std::vector<std::string>{});
}

// ----- Signals while speaking into a file -----

struct StopSignal {
  int Signal;
  int Status;         // the tool's exit status
  const char* Error;  // its last line on standard error
};

[[maybe_unused]] void PrintTo(const StopSignal& c, std::ostream* os) {
  *os << strsignal(c.Signal);
}

class SignalWhileSpeaking : public ToolFaults, public ::testing::WithParamInterface<StopSignal> {};

// The text (2 MB, in the shipped English) takes many seconds to prepare alone; the signal comes
// as soon as audio is written, and the tool must be gone well before the text could have been
// worked through.
TEST_P(SignalWhileSpeaking, StopsSoonAndLeavesNoFile) {
  const std::string target = (work.Path() / "out.wav").string();
  ToolProcess tool({"-w", target}, Repeat("The quick brown fox jumps over the lazy dog. ", 45000),
                   -1);
  ASSERT_TRUE(tool.Started());
  ASSERT_TRUE(WaitFor([&] { return AudioStarted(work.Path()); })) << tool.Err();
  const auto signalled = std::chrono::steady_clock::now();
  tool.Signal(GetParam().Signal);
  const int status = tool.Wait(30s);
  const auto took = std::chrono::steady_clock::now() - signalled;
  EXPECT_EQ(status, GetParam().Status) << tool.Err();
  EXPECT_LT(took, 2s) << "the tool went on for "
                      << std::chrono::duration_cast<std::chrono::milliseconds>(took).count()
                      << " ms after the signal";
  const std::vector<std::string> err = Lines(tool.Err());
  if (*GetParam().Error) {
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.back(), GetParam().Error);
  }
  EXPECT_EQ(FolderEntries(work.Path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalWhileSpeaking,
                         ::testing::Values(StopSignal{SIGTERM, 1, "parlan: interrupted"},
                                           StopSignal{SIGINT, 1, "parlan: interrupted"},
                                           StopSignal{SIGHUP, 128 + SIGHUP, ""},
                                           StopSignal{SIGPIPE, 128 + SIGPIPE, ""}),
                         [](const auto& info) {
                           return std::string(sigabbrev_np(info.param.Signal));
                         });

}  // namespace
}  // namespace parlan::testkit
