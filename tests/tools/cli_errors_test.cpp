// Every way the command line can be wrong: the tool ends with one line on standard error that
// names the problem, a non-zero exit status, no crash, and no file left behind.
#include <gtest/gtest.h>

#include <algorithm>

#include "TinyLanguage.h"
#include "ToolRunner.h"

namespace parlan::testkit {
namespace {

struct ErrorCase {
  const char* Name;
  std::vector<std::string> Args;  // "{root}", "{work}" and "{bad}" stand for the test's paths
  std::string Input;              // standard input
  int Status;
  const char* Message;  // part of the one line on standard error
};

[[maybe_unused]] void PrintTo(const ErrorCase& c, std::ostream* os) {
  *os << c.Name;
}

class CommandLineError : public ::testing::TestWithParam<ErrorCase> {
 protected:
  void SetUp() override {
    WriteLanguage(root.Path(), "Tiny", TinyLanguage());
    WriteBytes(work.Path() / "bad.txt", "caf\xC3");
    std::filesystem::create_directories(work.Path() / "folder.wav");
  }
  std::string Expand(std::string arg) const {
    for (auto [name, value] : {std::pair<std::string, std::string>{"{root}", root.Path()},
                               {"{work}", work.Path()},
                               {"{bad}", work.Path() / "bad.txt"}}) {
      if (size_t p = arg.find(name); p != std::string::npos) arg.replace(p, name.size(), value);
    }
    return arg;
  }
  TempDir root;
  TempDir work;
};

TEST_P(CommandLineError, EndsWithOneLineAndNoFileLeft) {
  const ErrorCase& c = GetParam();
  std::vector<std::string> args;
  for (const auto& a : c.Args) args.push_back(Expand(a));
  const auto before = FolderEntries(work.Path());
  ToolResult r = RunTool(args, c.Input);
  EXPECT_EQ(r.Status, c.Status) << r.Err;
  ASSERT_FALSE(r.Err.empty());
  EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
  EXPECT_TRUE(r.Err.starts_with("parlan: ")) << r.Err;
  EXPECT_NE(r.Err.find(Expand(c.Message)), std::string::npos) << r.Err;
  auto after = FolderEntries(work.Path());
  std::sort(after.begin(), after.end());
  auto expected = before;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(after, expected);
}

const ErrorCase kErrors[] = {
    {"UnknownOption", {"--bogus"}, "", 2, "unknown option --bogus"},
    {"UnknownOptionOfSubcommand", {"modes", "-v", "2"}, "", 2, "unknown option -v"},
    {"UnexpectedArgument", {"modes", "extra"}, "", 2, "unexpected argument extra"},
    {"MistypedSubcommand", {"mdoes"}, "", 2, "unknown command 'mdoes'; did you mean 'modes'?"},
    {"MistypedSubcommandWithArguments",
     {"chek", "{root}"},
     "",
     2,
     "unknown command 'chek'; did you mean 'check'?"},
    {"MistypedSubcommandBeforeText",
     {"-q", "spek", "Hello"},
     "",
     2,
     "unknown command 'spek'; did you mean 'speak'?"},
    {"HelpOfAMistypedSubcommand",
     {"help", "trcae"},
     "",
     2,
     "unknown command 'trcae'; did you mean 'trace'?"},
    {"HelpOfAnUnknownSubcommand", {"help", "nothing"}, "", 2, "unknown command 'nothing'"},
    {"OptionWithoutValue", {"-v"}, "", 2, "--mode"},
    {"VolumeAboveRange",
     {"--root", "{root}", "-q", "-a", "201", "hi"},
     "",
     2,
     "volume -a must be 0 to 200, not 201"},
    {"SpeedBelowRange",
     {"--root", "{root}", "-q", "-s", "79", "hi"},
     "",
     2,
     "speed -s must be 80 to 450 words per minute, not 79"},
    {"PitchAboveRange", {"--root", "{root}", "-q", "-p", "100", "hi"}, "", 2, "0 to 99, not 100"},
    {"StdoutAndWave",
     {"--root", "{root}", "--stdout", "-w", "{work}/x.wav", "hi"},
     "",
     2,
     "--stdout and -w cannot be used together"},
    {"SsmlNotWellFormed",
     {"--root", "{root}", "-q", "-m", "<speak>hello"},
     "",
     2,
     "the SSML is not well-formed (line 1)"},
    {"WordGapNegative", {"--root", "{root}", "-q", "-g", "-1", "hi"}, "", 2, "word gap -g"},
    {"ModesOfAnUnknownKind", {"modes", "--kind", "sapi6"}, "", 2, "--kind"},
    {"VariantNoModeHas",
     {"--root", "{root}", "-q", "-v", "en+whisper", "hi"},
     "",
     2,
     "no mode has the variant +whisper"},
    {"VolumeBelowRange", {"--root", "{root}", "-q", "-a", "-1", "hi"}, "", 2, "not -1"},
    {"VolumeNotANumber", {"-a", "loud", "hi"}, "", 2, "--volume"},
    {"ModeNumberTooHigh",
     {"--root", "{root}", "-q", "-v", "30000", "hi"},
     "",
     2,
     "unknown mode 30000"},
    {"ModeNumberZero", {"--root", "{root}", "-q", "-v", "0", "hi"}, "", 2, "unknown mode 0"},
    {"ModeNameUnknown",
     {"--root", "{root}", "-q", "-v", "Nobody Male (Parlan)", "hi"},
     "",
     2,
     "unknown mode \"Nobody Male (Parlan)\""},
    {"PhonemesOfUnknownMode",
     {"phonemes", "--root", "{root}", "-v", "30000", "hi"},
     "",
     2,
     "unknown mode 30000"},
    {"TextFileMissing",
     {"--root", "{root}", "-q", "-f", "{work}/none.txt"},
     "",
     2,
     "cannot read {work}/none.txt"},
    {"TextFileIsFolder", {"--root", "{root}", "-q", "-f", "{work}"}, "", 2, "it is a folder"},
    {"TextFileNotUtf8", {"--root", "{root}", "-q", "-f", "{bad}"}, "", 2, "is not valid UTF-8"},
    {"ArgumentNotUtf8",
     {"--root", "{root}", "-q", "caf\xC3"},
     "",
     2,
     "the text is not valid UTF-8"},
    {"InputNotUtf8",
     {"--root", "{root}", "-q"},
     "ok \xFF",
     2,
     "standard input is not valid UTF-8 (byte 4)"},
    {"NoText", {"--root", "{root}", "-q"}, "", 2, "no text to speak"},
    {"BlankText", {"phonemes", "--root", "{root}"}, " \n\t", 2, "no text to speak"},
    {"TextTwice", {"--root", "{root}", "-q", "-f", "{bad}", "--", "hi"}, "", 2, "not both"},
    {"OutputFolderMissing",
     {"--root", "{root}", "-w", "{work}/no/x.wav", "hi"},
     "",
     2,
     "no folder"},
    {"OutputFormatUnknown",
     {"--root", "{root}", "-w", "{work}/x.mp3", "hi"},
     "",
     2,
     "must end in .wav or .flac"},
    {"OutputIsFolder",
     {"--root", "{root}", "-w", "{work}/folder.wav", "hi"},
     "",
     2,
     "it is a folder"},
    {"OutputAndQuiet",
     {"--root", "{root}", "-q", "-w", "{work}/x.wav", "hi"},
     "",
     2,
     "cannot be used together"},
    {"TimeoutZero", {"--root", "{root}", "-q", "--timeout", "0", "hi"}, "", 2, "--timeout"},
    {"InstallRootMissing",
     {"--root", "{work}/none", "modes"},
     "",
     2,
     "install root {work}/none is not a folder"},
    {"SettingsUnreadable",
     {"--root", "{root}", "--settings", "{work}", "modes"},
     "",
     2,
     "cannot read settings file"},
    {"CheckFolderMissing",
     {"check", "{work}/none"},
     "",
     2,
     "cannot read folder {work}/none: No such file or directory"},
    {"CheckWithoutFolder", {"check"}, "", 2, "FOLDER"},
    {"TraceOfUnknownModeName",
     {"trace", "--root", "{root}", "-v", "Nobody", "hi"},
     "",
     2,
     "unknown mode \"Nobody\""},
};

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineError, ::testing::ValuesIn(kErrors),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(CommandLineErrorMessages, NamePathsAsGiven) {
  TempDir work;
  const std::string missing = (work.Path() / "none.txt").string();
  ToolResult r = RunTool({"-q", "-f", missing});
  EXPECT_EQ(r.Err, "parlan: cannot read " + missing + ": No such file or directory\n");
}

TEST(CommandLineErrorMessages, SpeechThatProducesNoAudioLeavesNoFile) {
  TempDir root;
  TempDir work;
  LanguageFiles broken = TinyLanguage();
  broken.Rules.clear();  // nothing converts, so nothing is spoken
  WriteLanguage(root.Path(), "Tiny", broken);
  const std::string target = (work.Path() / "out.wav").string();
  ToolResult r = RunTool({"--root", root.Path(), "-v", "1", "-w", target, "hello"});
  EXPECT_EQ(r.Status, 1) << r.Err;
  EXPECT_NE(r.Err.find("out.wav"), std::string::npos) << r.Err;
  EXPECT_TRUE(FolderEntries(work.Path()).empty());
}

TEST(CommandLineHelp, VersionAndHelpEndWell) {
  ToolResult version = RunTool({"--version"});
  EXPECT_EQ(version.Status, 0);
  EXPECT_NE(version.Out.find("1.01"), std::string::npos) << version.Out;
  for (const char* sub : {"speak", "modes", "phonemes", "trace", "check"}) {
    ToolResult help = RunTool({sub, "--help"});
    EXPECT_EQ(help.Status, 0) << sub;
    EXPECT_NE(help.Out.find(sub), std::string::npos) << help.Out;
    EXPECT_EQ(help.Err, "");
  }
}

}  // namespace
}  // namespace parlan::testkit
