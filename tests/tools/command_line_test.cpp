// The command line as eSpeak NG and spd-say users know it: help in every spelling, slips of a
// command's name, a terminal read line by line, voices by language and by name, prosody in the
// same units in every mode, audio on standard output and the words of the events.
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>
#include <map>

#include "Options.h"
#include "TinyLanguage.h"
#include "ToolProcess.h"
#include "ToolRunner.h"

namespace parlan::testkit {
namespace {

struct HelpCase {
  const char* Name;
  std::vector<std::vector<std::string>> Spellings;  // each gives the same help
  const char* Usage;
};

[[maybe_unused]] void PrintTo(const HelpCase& c, std::ostream* os) {
  *os << c.Name;
}

class Help : public ::testing::TestWithParam<HelpCase> {};

TEST_P(Help, EverySpellingGivesTheSameHelp) {
  const HelpCase& c = GetParam();
  const ToolResult first = RunTool(c.Spellings.front());
  ASSERT_EQ(first.Status, 0) << first.Err;
  EXPECT_EQ(first.Err, "");
  EXPECT_NE(first.Out.find(c.Usage), std::string::npos) << first.Out;
  for (const auto& spelling : c.Spellings) {
    const ToolResult r = RunTool(spelling);
    EXPECT_EQ(r.Status, 0) << spelling.front();
    EXPECT_EQ(r.Out, first.Out) << spelling.front() << " " << spelling.back();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, Help,
    ::testing::Values(
        HelpCase{"Tool", {{"help"}, {"--help"}, {"-h"}}, "Usage: parlan [OPTIONS]"},
        HelpCase{"Speak",
                 {{"help", "speak"}, {"speak", "--help"}, {"speak", "-h"}},
                 "Usage: parlan speak [OPTIONS]"},
        HelpCase{"Modes", {{"help", "modes"}, {"modes", "-h"}}, "Usage: parlan modes [OPTIONS]"},
        HelpCase{"Trace", {{"help", "trace"}, {"trace", "--help"}}, "--json-lines"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(HelpOfEachCommand, NamesTheToolInItsUsageLine) {
  for (const std::string& name : cli::SubcommandNames()) {
    const ToolResult r = RunTool({"help", name});
    EXPECT_EQ(r.Status, 0) << name << ": " << r.Err;
    EXPECT_NE(r.Out.find("Usage: parlan " + name), std::string::npos) << r.Out;
  }
}

TEST(HelpOfEachCommand, TheToolsHelpListsEveryCommand) {
  const ToolResult r = RunTool({"help"});
  for (const std::string& name : cli::SubcommandNames())
    EXPECT_NE(r.Out.find("  " + name + " "), std::string::npos) << name;
}

// The tool with a pseudo-terminal as its standard input and its standard output in a file.
class TerminalRun {
 public:
  explicit TerminalRun(const std::vector<std::string>& args) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    const std::string slave = ::ptsname(master_);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, slave.c_str(), O_RDWR | O_NOCTTY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, Out().c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, (io_.Path() / "err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> all{PARLAN_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, PARLAN_CLI_PATH, &actions, nullptr, argv.data(), environ) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~TerminalRun() {
    if (pid_ > 0 && status_ < 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) ::close(master_);
  }
  bool Started() const { return pid_ > 0; }
  void Type(const std::string& keys) const {
    ASSERT_EQ(::write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }
  std::filesystem::path Out() const { return io_.Path() / "out"; }
  std::string Err() const { return ReadBytes(io_.Path() / "err"); }
  int Wait() {
    int raw = 0;
    if (::waitpid(pid_, &raw, 0) == pid_) status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128;
    return status_;
  }

 private:
  TempDir io_;
  int master_ = -1;
  pid_t pid_ = -1;
  int status_ = -1;
};

struct TerminalCase {
  const char* Name;
  std::vector<std::string> Args;  // "{root}" stands for the install root
  const char* FirstLineDone;      // what the output holds once the first line is handled
};

[[maybe_unused]] void PrintTo(const TerminalCase& c, std::ostream* os) {
  *os << c.Name;
}

class Terminal : public ::testing::TestWithParam<TerminalCase> {
 protected:
  void SetUp() override { WriteLanguage(root.Path(), "Tiny", TinyLanguage()); }
  TempDir root;
};

TEST_P(Terminal, EachTypedLineIsHandledBeforeTheNextIsTyped) {
  std::vector<std::string> args;
  for (const std::string& a : GetParam().Args)
    args.push_back(a == "{root}" ? root.Path().string() : a);
  TerminalRun run(args);
  ASSERT_TRUE(run.Started());
  run.Type("one\n");
  const std::string done = GetParam().FirstLineDone;
  EXPECT_TRUE(WaitFor([&] { return ReadBytes(run.Out()).find(done) != std::string::npos; }))
      << "nothing for the first line before the second was typed: " << ReadBytes(run.Out())
      << run.Err();
  const size_t before = ReadBytes(run.Out()).size();
  run.Type("two\n\x04");  // the second line, then the end of input
  EXPECT_EQ(run.Wait(), 0) << run.Err();
  EXPECT_GT(ReadBytes(run.Out()).size(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Terminal,
    ::testing::Values(TerminalCase{"Phonemes", {"phonemes", "--root", "{root}"}, "\n"}
#if PARLAN_HAVE_ESPEAK
                      ,
                      TerminalCase{"Speak", {"--root", "{root}", "-q", "--events"}, "AudioStop"}
#endif
                      ),
    [](const auto& info) { return std::string(info.param.Name); });

#if PARLAN_HAVE_ESPEAK

class Voices : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteLanguage(root.Path(), "Tiny", TinyLanguage());
    const ToolResult r = RunTool({"modes", "--json", "--root", root.Path()});
    ASSERT_EQ(r.Status, 0) << r.Err;
    for (const std::string& line : Lines(r.Out)) {
      const auto record = nlohmann::json::parse(line);
      numbers[record["name"]] = record["number"];
      languages[record["name"]] = record["language"];
      kinds[record["name"]] = record["kind"];
    }
  }
  // The mode the tool spoke in, from the settings it saved.
  int ChosenMode(const std::string& wanted) {
    const std::string settings = (work.Path() / "settings.txt").string();
    std::filesystem::remove(settings);
    const ToolResult r =
        RunTool({"--root", root.Path(), "--settings", settings, "-q", "-v", wanted, "hello"});
    EXPECT_EQ(r.Status, 0) << wanted << ": " << r.Err;
    const std::string saved = ReadBytes(settings);
    const size_t at = saved.find("CurrentMode=");
    return at == std::string::npos ? 0 : std::stoi(saved.substr(at + 12));
  }
  TempDir root;
  TempDir work;
  std::map<std::string, int> numbers;
  std::map<std::string, std::string> languages;
  std::map<std::string, std::string> kinds;
};

TEST_F(Voices, ByLanguageCodeVariantNameAndWordsOfTheName) {
  const std::pair<const char*, const char*> cases[] = {
      {"en-us", "Tiny Male (Parlan)"},  // the native language of that code comes first
      {"en-US+f3", "Tiny Female (Parlan)"},
      {"en-gb", "English (Great Britain)  (SAPI 4)"},
      {"en-gb+f2", "English (Great Britain) Female  (SAPI 4)"},
      {"English (Great Britain) (SAPI 4)", "English (Great Britain)  (SAPI 4)"},  // as it reads
      {"English (Great Britain)  (SAPI 4)", "English (Great Britain)  (SAPI 4)"},
      {"scotland female", "English (Scotland) Female  (SAPI 4)"},
      {"English (America) (SAPI 5)", "English (America) (SAPI 5)"},
      {"Tiny Female", "Tiny Female (Parlan)"},
  };
  for (auto [wanted, name] : cases) {
    ASSERT_TRUE(numbers.contains(name)) << name;
    EXPECT_EQ(ChosenMode(wanted), numbers[name]) << wanted;
  }
}

TEST_F(Voices, ModesAreFilteredByLanguageAndKind) {
  struct Filter {
    std::vector<std::string> Args;
    const char* Language;  // every listed mode's language is this or begins with it and "-"
    const char* Kind;      // and of this kind; "" any
    size_t AtLeast;
  };
  const Filter filters[] = {
      {{"--lang", "en-us"}, "en-us", "", 6},  // 2 native, 2 SAPI 4, 2 SAPI 5 at least
      {{"--lang", "EN"}, "en", "", 10},
      {{"--kind", "native"}, "", "native", 2},
      {{"--kind", "sapi4", "--lang", "de"}, "de", "SAPI 4", 2},
      {{"--kind", "sapi5"}, "", "SAPI 5", 4},
      {{"--lang", "xx-none"}, "xx-none", "", 0},
  };
  for (const Filter& f : filters) {
    std::vector<std::string> args{"modes", "--json", "--root", root.Path()};
    args.insert(args.end(), f.Args.begin(), f.Args.end());
    const ToolResult r = RunTool(args);
    ASSERT_EQ(r.Status, 0) << r.Err;
    const auto lines = Lines(r.Out);
    EXPECT_GE(lines.size(), f.AtLeast) << f.Args.back();
    size_t expected = 0;  // as many as the full listing has of that language and kind
    for (const auto& [name, language] : languages) {
      std::string lower = language;
      std::string wanted = f.Language;
      std::transform(wanted.begin(), wanted.end(), wanted.begin(), ::tolower);
      const bool languageFits =
          wanted.empty() || lower == wanted || lower.starts_with(wanted + "-");
      expected += languageFits && (std::string(f.Kind).empty() || kinds[name] == f.Kind);
    }
    EXPECT_EQ(lines.size(), expected) << f.Args.back();
  }
  // The text listing shows the language beside the name.
  const ToolResult text = RunTool({"modes", "--kind", "native", "--root", root.Path()});
  EXPECT_NE(text.Out.find("native  en-us"), std::string::npos) << text.Out;
}

TEST_F(Voices, EspeakNgsVoicesOptionListsTheModes) {
  const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
      {{"--voices"}, {"modes"}},
      {{"--voices=en-gb"}, {"modes", "--lang", "en-gb"}},
  };
  for (const auto& [given, same] : cases) {
    std::vector<std::string> a = given;
    std::vector<std::string> b = same;
    a.insert(a.begin(), {"--root", root.Path()});
    b.insert(b.end(), {"--root", root.Path()});
    const ToolResult listed = RunTool(a);
    const ToolResult modes = RunTool(b);
    ASSERT_EQ(listed.Status, 0) << listed.Err;
    EXPECT_FALSE(listed.Out.empty());
    EXPECT_EQ(listed.Out, modes.Out) << given.front();
  }
}

TEST_F(Voices, ANonNativeModeForTraceIsNumberedAsModesNumbersIt) {
  const std::string sapi5 = "English (America) (SAPI 5)";
  const std::string number = std::to_string(numbers[sapi5]);
  const ToolResult r = RunTool({"trace", "--root", root.Path(), "-v", number, "hi"});
  EXPECT_EQ(r.Status, 2);
  EXPECT_EQ(r.Err, "parlan: mode " + number + " (" + sapi5 +
                       ") is not a native mode; the native modes are 1 to 2 (parlan modes "
                       "--kind native)\n");
  const ToolResult beyond =
      RunTool({"trace", "--root", root.Path(), "-v", std::to_string(numbers.size() + 1), "hi"});
  EXPECT_NE(beyond.Err.find("numbered 1 to " + std::to_string(numbers.size())), std::string::npos)
      << beyond.Err;
}

// The 16-bit samples of a WAV file written by the tool.
std::vector<int16_t> Samples(const std::string& wav) {
  const size_t data = wav.find("data");
  std::vector<int16_t> samples;
  if (data == std::string::npos) return samples;
  samples.resize((wav.size() - data - 8) / 2);
  std::memcpy(samples.data(), wav.data() + data + 8, samples.size() * 2);
  return samples;
}

class Prosody : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { WriteLanguage(root.Path(), "Tiny", TinyLanguage()); }
  std::vector<int16_t> Spoken(const std::vector<std::string>& options) {
    const std::string file = (work.Path() / "out.wav").string();
    std::vector<std::string> args{"--root", root.Path(), "-v", GetParam(), "-w", file};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back("one two three four five six");
    const ToolResult r = RunTool(args);
    EXPECT_EQ(r.Status, 0) << r.Err;
    return Samples(ReadBytes(file));
  }
  static int Peak(const std::vector<int16_t>& samples) {
    int peak = 0;
    for (int16_t s : samples) peak = std::max(peak, std::abs(int(s)));
    return peak;
  }
  TempDir root;
  TempDir work;
};

TEST_P(Prosody, WordsPerMinuteAndVolumeMeanTheSameInEveryKindOfMode) {
  const auto slow = Spoken({"-s", "80"});
  const auto fast = Spoken({"-s", "400"});
  ASSERT_FALSE(fast.empty());
  // 400 words per minute is five times 80; pauses do not shrink as much as words.
  EXPECT_GT(double(slow.size()) / double(fast.size()), 2.5) << slow.size() << " " << fast.size();
  const auto loud = Spoken({"-a", "100"});
  const auto quiet = Spoken({"-a", "30"});
  EXPECT_LT(Peak(quiet), Peak(loud) * 6 / 10) << Peak(quiet) << " " << Peak(loud);
}

INSTANTIATE_TEST_SUITE_P(Kinds, Prosody,
                         ::testing::Values("Tiny Male (Parlan)", "English (America)  (SAPI 4)",
                                           "English (America) (SAPI 5)"),
                         [](const auto& info) {
                           return std::string(info.index == 0   ? "Native"
                                              : info.index == 1 ? "Sapi4"
                                                                : "Sapi5");
                         });

struct StyleCase {
  const char* Mode;
  std::vector<std::string> Option;
};

[[maybe_unused]] void PrintTo(const StyleCase& c, std::ostream* os) {
  *os << c.Mode << " " << c.Option.front();
}

class ReadingStyle : public ::testing::TestWithParam<StyleCase> {
 protected:
  void SetUp() override { WriteLanguage(root.Path(), "Tiny", TinyLanguage()); }
  size_t SpokenSamples(const std::vector<std::string>& options) {
    const std::string file = (work.Path() / "out.wav").string();
    std::vector<std::string> args{"--root", root.Path(), "-v", GetParam().Mode, "-w", file};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back("Hello, Anna. Yes!");
    const ToolResult r = RunTool(args);
    EXPECT_EQ(r.Status, 0) << r.Err;
    return Samples(ReadBytes(file)).size();
  }
  TempDir root;
  TempDir work;
};

// Gaps between words, names of punctuation and the word "capital" each lengthen the speech.
TEST_P(ReadingStyle, EachOptionIsHeard) {
  const size_t plain = SpokenSamples({});
  const size_t styled = SpokenSamples(GetParam().Option);
  ASSERT_GT(plain, 0u);
  EXPECT_GT(double(styled) / double(plain), 1.1) << plain << " " << styled;
}

INSTANTIATE_TEST_SUITE_P(Options, ReadingStyle,
                         ::testing::Values(StyleCase{"Tiny Male (Parlan)", {"-g", "30"}},
                                           StyleCase{"English (America)  (SAPI 4)", {"-g", "30"}},
                                           StyleCase{"English (America)  (SAPI 4)", {"--punct"}},
                                           StyleCase{"English (America)  (SAPI 4)", {"--punct=,!"}},
                                           StyleCase{"English (America)  (SAPI 4)", {"-k", "2"}},
                                           StyleCase{"English (America) (SAPI 5)", {"-g", "30"}},
                                           StyleCase{"English (America) (SAPI 5)", {"--punct"}},
                                           StyleCase{"English (America) (SAPI 5)", {"-k", "2"}}),
                         [](const auto& info) {
                           std::string name = std::string(info.param.Mode).substr(0, 4) + "_" +
                                              info.param.Option[0];
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name + "_" + std::to_string(info.index);
                         });

class Output : public ::testing::Test {
 protected:
  void SetUp() override { WriteLanguage(root.Path(), "Tiny", TinyLanguage()); }
  TempDir root;
};

TEST_F(Output, StdoutCarriesTheWaveAlone) {
  const ToolResult r = RunTool({"--root", root.Path(), "-v", "1", "--stdout", "hello there"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(r.Out.starts_with("RIFF")) << r.Out.substr(0, 16);
  EXPECT_EQ(r.Out.substr(8, 4), "WAVE");
  EXPECT_GT(Samples(r.Out).size(), 22050u / 4);
  EXPECT_EQ(r.Out.find("wrote"), std::string::npos);
}

// The phoneme words of a native phrase, as `parlan phonemes` prints them.
std::vector<std::string> PhonemeWords(const std::string& root, const std::string& text) {
  const ToolResult r = RunTool({"phonemes", "--root", root, "-v", "1", text});
  std::vector<std::string> words;
  std::string word;
  for (char c : r.Out + "\n") {
    if (c != ' ' && c != '\t' && c != '\n' && c != '#') {
      word.push_back(c);
    } else if (!word.empty()) {
      words.push_back("\"" + word + "\"");
      word.clear();
    }
  }
  return words;
}

TEST_F(Output, EventsNameTheWordsInEveryKindOfMode) {
  const std::string text = "cat sat on a mat";
  const std::vector<std::string> words = {"\"cat\"", "\"sat\"", "\"on\"", "\"a\"", "\"mat\""};
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"English (America)  (SAPI 4)", words},
      {"English (America) (SAPI 5)", words},
      {"Tiny Male (Parlan)", PhonemeWords(root.Path(), text)},
  };
  for (const auto& [mode, expected] : cases) {
    const ToolResult r = RunTool({"--root", root.Path(), "-q", "-v", mode, "--events", text});
    ASSERT_EQ(r.Status, 0) << r.Err;
    std::vector<std::string> shown;
    for (const std::string& line : Lines(r.Out))
      if (line.starts_with("WordPosition ")) shown.push_back(line.substr(line.find("word=") + 5));
    EXPECT_EQ(shown, expected) << mode << "\n" << r.Out;
  }
}

TEST_F(Output, IpaIsPrintedInEveryKindOfMode) {
  const std::pair<const char*, const char*> cases[] = {
      {"English (America)  (SAPI 4)", "həlˈoʊ wˈɜːld\n"},
      {"English (America) (SAPI 5)", "həlˈoʊ wˈɜːld\n"},
      {"Tiny Male (Parlan)", ""},  // Tiny's own phonemes, in IPA: checked below
  };
  for (auto [mode, expected] : cases) {
    const ToolResult r = RunTool({"--root", root.Path(), "-q", "-v", mode, "--ipa", "hello world"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    if (*expected) {
      EXPECT_EQ(r.Out, expected) << mode;
    }
  }
  // A native mode's phoneme string is eSpeak NG mnemonics; its IPA shows them converted.
  const ToolResult mnemonics = RunTool({"phonemes", "--root", root.Path(), "-v", "1", "the"});
  const ToolResult ipa = RunTool({"--root", root.Path(), "-q", "-v", "1", "--ipa", "the"});
  EXPECT_EQ(mnemonics.Out, "D@#\n");  // Tiny's dictionary
  // eSpeak NG stresses the only syllable of a phrase.
  EXPECT_EQ(ipa.Out.substr(0, ipa.Out.find_last_not_of(" \n") + 1), "ðˈə");
}

TEST_F(Output, PhonemesAskedOfAVoiceModeAreExplained) {
  const ToolResult r =
      RunTool({"--root", root.Path(), "-q", "-x", "-v", "English (America) (SAPI 5)", "hi"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "");
  EXPECT_NE(r.Err.find("warning: -x shows nothing in mode"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("without phoneme strings"), std::string::npos) << r.Err;
}

TEST_F(Output, ProgressIsNotWrittenToAFile) {
  std::string text;
  while (text.size() < 1200) text += "one two. ";
  TempDir work;
  const ToolResult r = RunTool({"--root", root.Path(), "-v", "1", "-s", "450", "-w",
                                (work.Path() / "x.wav").string(), text});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Err.find('\r'), std::string::npos) << r.Err;
  EXPECT_EQ(r.Err, "");
}

#endif

}  // namespace
}  // namespace parlan::testkit
