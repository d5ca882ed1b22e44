// The language developer's commands, run as the built tool: `test` with its diffs and status,
// `convert` between UTF-16 and UTF-8 (and the loaders reading what it writes), and `new`.
#include <gtest/gtest.h>

#include "TinyLanguage.h"
#include "ToolRunner.h"
#include "strings/TextFiles.h"
#include "strings/Unicode.h"

namespace parlan::testkit {
namespace {

namespace fs = std::filesystem;

const fs::path kEnglish =
    fs::path(PARLAN_TEST_DATA).parent_path().parent_path() / "languages" / "Parlan English";

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

struct TestRunCase {
  const char* Name;
  std::string Tests;  // tests.tsv
  int Status;
  std::vector<std::string> Shown;  // each must be in the output, "@" standing for the file
};

[[maybe_unused]] void PrintTo(const TestRunCase& c, std::ostream* os) {
  *os << c.Name;
}

class TestCommand : public ::testing::TestWithParam<TestRunCase> {};

TEST_P(TestCommand, PrintsEachFailureAndExitsWithItsStatus) {
  const TestRunCase& c = GetParam();
  TempDir root;
  const fs::path folder = WriteLanguage(root.Path(), "Tiny", TinyLanguage());
  WriteBytes(folder / "tests.tsv", c.Tests);
  ToolResult r = RunTool({"test", folder.string()});
  EXPECT_EQ(r.Status, c.Status) << r.Out << r.Err;
  EXPECT_EQ(r.Err, "");
  for (std::string shown : c.Shown) {
    if (shown.starts_with("@")) shown = (folder / "tests.tsv").string() + shown.substr(1);
    EXPECT_TRUE(Holds(r.Out, shown)) << "expected " << shown << " in:\n" << r.Out;
  }
}

const TestRunCase kTestRuns[] = {
    {"AllPass", "# comment\nchat\ttS a t\n\ncab  dab\t k a b   d a b\n", 0, {"2 passed, 0 failed"}},
    {"ByteOrderMarkAndCrLf",
     "\xEF\xBB\xBF"
     "chat\ttS a t\r\n",
     0,
     {"1 passed, 0 failed"}},
    {"OneFails",
     "chat\ttS a t\ncity\tk I t i\n",
     1,
     {"@:2: city\n", "  - expected: k I t i\n", "  + got:      s I t j\n", "              ^\n",
      "1 passed, 1 failed"}},
    {"MarkUnderTheFirstDifference",
     "chat\ttS a d\n",
     1,
     {"  + got:      tS a t\n", "                   ^\n"}},
    {"MarkUnderAWideFirstCharacter",
     "chat\t\u0283 a t\n",
     1,
     {"  - expected: \u0283 a t\n", "              ^\n"}},
    {"MarkAtTheEndOfTheShorter",
     "chat\ttS a t \u0283\n",
     1,
     {"  + got:      tS a t\n", "                    ^\n"}},
    {"LineWithoutTab", "chat\ttS a t\nchat tS a t\n", 1, {"@:2: no tab", "1 passed, 1 failed"}},
    {"NoCases", "# only a comment\n\n", 1, {"holds no cases"}},
};

INSTANTIATE_TEST_SUITE_P(Runs, TestCommand, ::testing::ValuesIn(kTestRuns),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(TestCommand, ShippedEnglishPassesItsTests) {
  ToolResult r = RunTool({"test", kEnglish.string()});
  EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
  EXPECT_TRUE(Holds(r.Out, " passed, 0 failed")) << r.Out;
}

TEST(TestCommand, AFolderWithoutTestsIsAUsageErrorWithTheReason) {
  TempDir root;
  const fs::path folder = WriteLanguage(root.Path(), "Tiny", TinyLanguage());
  ToolResult r = RunTool({"test", folder.string()});
  EXPECT_EQ(r.Status, 2);
  EXPECT_TRUE(Holds(r.Err, "tests.tsv: No such file")) << r.Err;
  r = RunTool({"test", (root.Path() / "Parlan Nothing").string()});
  EXPECT_EQ(r.Status, 2);
  EXPECT_TRUE(Holds(r.Err, "cannot read folder")) << r.Err;
}

// --- convert ---

std::string Utf16(std::u16string_view text, bool mark) {
  return EncodeUtf16Le(text, mark);
}

struct ConvertCase {
  const char* Name;
  std::string Before;
  std::vector<std::string> Args;  // after FILE
  std::string After;
};

[[maybe_unused]] void PrintTo(const ConvertCase& c, std::ostream* os) {
  *os << c.Name;
}

const std::string kMark = "\xEF\xBB\xBF";

const ConvertCase kConversions[] = {
    {"Utf16ToUtf8",
     Utf16(u"\u00e9 --> e\t\r\nEND\r\n", true),
     {},
     kMark + "\xC3\xA9 --> e\t\nEND\n"},
    {"Utf16WithoutMarkToUtf8", Utf16(u"a\r\nb", false), {}, kMark + "a\nb"},
    {"Utf8ToUtf16", kMark + "\xC3\xA9\nEND\n", {}, Utf16(u"\u00e9\r\nEND\r\n", true)},
    {"Utf8CrLfToUtf16", kMark + "a\r\nb\r\n", {}, Utf16(u"a\r\nb\r\n", true)},
    {"PlainUtf8ToUtf16", "a\nb\n", {}, Utf16(u"a\r\nb\r\n", true)},
    {"Utf8ToUtf8KeepsTheMarkAndLfs", kMark + "a\r\nb\n", {"--to", "utf8"}, kMark + "a\nb\n"},
    {"Utf16ToUtf16WritesCrLf",
     Utf16(u"a\nb\n", false),
     {"--to", "utf16"},
     Utf16(u"a\r\nb\r\n", true)},
    {"SurrogatePair", Utf16(u"\U0001F600\r\n", true), {}, kMark + "\xF0\x9F\x98\x80\n"},
};

class ConvertCommand : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertCommand, WritesTheOtherEncodingAndKeepsTheOriginal) {
  const ConvertCase& c = GetParam();
  TempDir dir;
  const fs::path file = dir.Path() / "Tinyr.ttg";
  WriteBytes(file, c.Before);
  std::vector<std::string> args{"convert", file.string()};
  args.insert(args.end(), c.Args.begin(), c.Args.end());
  ToolResult r = RunTool(args);
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadBytes(file), c.After);
  EXPECT_EQ(ReadBytes(file.string() + "~"), c.Before);
  EXPECT_TRUE(Holds(r.Err, "original is kept as")) << r.Err;
}

INSTANTIATE_TEST_SUITE_P(Encodings, ConvertCommand, ::testing::ValuesIn(kConversions),
                         [](const auto& info) { return std::string(info.param.Name); });

struct RefusalCase {
  const char* Name;
  std::vector<std::string> Files;  // made before the run, beside FILE ("out" for -o)
  std::vector<std::string> Args;   // after FILE; "@out" is the path of "out"
  int Status;
  const char* Message;
};

[[maybe_unused]] void PrintTo(const RefusalCase& c, std::ostream* os) {
  *os << c.Name;
}

const RefusalCase kRefusals[] = {
    {"BackupExists", {"Tinyr.ttg~"}, {}, 2, "Tinyr.ttg~ exists"},
    {"OutputExists", {"out"}, {"-o", "@out"}, 2, "out exists: give --force"},
    {"UnknownTarget", {}, {"--to", "latin1"}, 2, "latin1"},
    {"OutputFolderMissing", {}, {"-o", "@out/none"}, 1, "cannot write"},
    {"ForceReplacesTheOutput", {"out"}, {"-o", "@out", "--force"}, 0, "wrote"},
    {"ForceReplacesTheBackup", {"Tinyr.ttg~"}, {"--force"}, 0, "wrote"},
};

class ConvertRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ConvertRefusal, OverwritesNothingUnasked) {
  const RefusalCase& c = GetParam();
  TempDir dir;
  const fs::path file = dir.Path() / "Tinyr.ttg";
  const std::string original = Utf16(u"RULES\r\n", true);
  WriteBytes(file, original);
  for (const std::string& name : c.Files) WriteBytes(dir.Path() / name, "kept");
  std::vector<std::string> args{"convert", file.string()};
  for (const std::string& a : c.Args)
    args.push_back(a.starts_with("@out") ? (dir.Path() / "out").string() + a.substr(4) : a);
  ToolResult r = RunTool(args);
  EXPECT_EQ(r.Status, c.Status) << r.Err;
  EXPECT_TRUE(Holds(r.Err, c.Message)) << r.Err;
  if (c.Status != 0) {
    EXPECT_EQ(ReadBytes(file), original);
    for (const std::string& name : c.Files) EXPECT_EQ(ReadBytes(dir.Path() / name), "kept");
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ConvertRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ConvertCommand, LeavesConfigurationAndMissingFilesAlone) {
  TempDir root;
  const fs::path folder = WriteLanguage(root.Path(), "Tiny", TinyLanguage());
  const std::string config = ReadBytes(folder / "Tinyc.ttg");
  ToolResult r = RunTool({"convert", (folder / "Tinyc.ttg").string()});
  EXPECT_EQ(r.Status, 2);
  EXPECT_TRUE(Holds(r.Err, "configuration file")) << r.Err;
  EXPECT_EQ(ReadBytes(folder / "Tinyc.ttg"), config);
  r = RunTool({"convert", (folder / "Nothing.ttg").string()});
  EXPECT_EQ(r.Status, 2);
  EXPECT_TRUE(Holds(r.Err, "no such file")) << r.Err;
  // Text that is neither encoding is refused, not turned into replacement characters.
  WriteBytes(folder / "Tinyr.ttg", "a\xC3\n");
  r = RunTool({"convert", (folder / "Tinyr.ttg").string()});
  EXPECT_EQ(r.Status, 2);
  EXPECT_TRUE(Holds(r.Err, "neither UTF-16 little-endian nor valid UTF-8")) << r.Err;
  EXPECT_EQ(ReadBytes(folder / "Tinyr.ttg"), "a\xC3\n");
  EXPECT_FALSE(fs::exists(folder / "Tinyr.ttg~"));
}

// The whole language in UTF-8 speaks as it did in UTF-16, and checks clean.
TEST(ConvertCommand, ConvertedLanguageSpeaksTheSameAndChecksClean) {
  TempDir root;
  const fs::path folder = WriteLanguage(root.Path(), "Tiny", TinyLanguage());
  const std::vector<std::string> speak{
      "--root", root.Path().string(), "phonemes", "-v", "1", "Dr Chat has one cab & two dogs, 42."};
  const ToolResult before = RunTool(speak);
  ASSERT_EQ(before.Status, 0) << before.Err;
  for (const char* name : {"Tinyn.ttg", "Tinye.ttg", "Tinyr.ttg"}) {
    ToolResult r = RunTool({"convert", (folder / name).string(), "--to", "utf8"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    ASSERT_TRUE(ReadBytes(folder / name).starts_with(kMark));
    fs::remove(folder / (std::string(name) + "~"));
  }
  const ToolResult after = RunTool(speak);
  EXPECT_EQ(after.Status, 0) << after.Err;
  EXPECT_EQ(after.Out, before.Out);
  ToolResult check = RunTool({"check", folder.string()});
  EXPECT_EQ(check.Status, 0) << check.Out;
}

// --- new ---

std::string Utf16FileText(const fs::path& file) {
  std::string bytes = ReadBytes(file);
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  return ToUtf8(text);
}

TEST(NewCommand, CopiesEnglishUnderTheNewNameAndItsTestsPass) {
  TempDir into;
  ToolResult r =
      RunTool({"new", "Scots", "--from", kEnglish.string(), "--into", into.Path().string()});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const fs::path made = into.Path() / "Parlan Scots";
  EXPECT_TRUE(Holds(r.Out, made.string())) << r.Out;
  std::vector<std::string> names = FolderEntries(made);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Scotsc.ttg", "Scotse.ttg", "Scotsn.ttg", "Scotsr.ttg",
                                             "tests.tsv"}));
  EXPECT_EQ(FolderEntries(into.Path()), std::vector<std::string>{"Parlan Scots"});
  const std::string rules = Utf16FileText(made / "Scotsr.ttg");
  EXPECT_TRUE(Holds(rules, "\r\nLANGUAGE=Scots\r\n"));
  EXPECT_TRUE(Holds(rules, "Parlan Scots: letter-to-sound rules"));
  EXPECT_FALSE(Holds(rules, "Parlan English"));
  EXPECT_TRUE(Holds(Utf16FileText(made / "Scotsn.ttg"), "Parlan Scots"));
  // The voices stay those of the language copied.
  EXPECT_TRUE(Holds(ReadBytes(made / "Scotsc.ttg"), "MALE=English (America)"));
  EXPECT_TRUE(Holds(ReadBytes(made / "tests.tsv"), "parlan test \"Parlan Scots\""));

  ToolResult check = RunTool({"check", made.string()});
  EXPECT_EQ(check.Status, 0) << check.Out;
  ToolResult test = RunTool({"test", made.string()});
  EXPECT_EQ(test.Status, 0) << test.Out << test.Err;
  ToolResult modes = RunTool({"--root", into.Path().string(), "modes"});
  EXPECT_TRUE(Holds(modes.Out, "Scots Male (Parlan)")) << modes.Out;
}

struct CopyCase {
  const char* Name;
  std::vector<std::string> LanguageLines;  // replace "LANGUAGE=Tiny" and "WILD CARDS"
  bool Utf8;                               // the source's rule files in UTF-8
  std::string Expected;                    // in the copy's rule file
};

[[maybe_unused]] void PrintTo(const CopyCase& c, std::ostream* os) {
  *os << c.Name;
}

const CopyCase kCopies[] = {
    {"OwnLines", {"LANGUAGE=Tiny", "WILD CARDS"}, false, "\r\nLANGUAGE=Copy\r\nWILD CARDS\r\n"},
    {"SharedWithWildCards",
     {"language=Tiny  wild cards"},
     false,
     "\r\nlanguage=Copy wild cards\r\n"},
    {"InUtf8", {"LANGUAGE=Tiny", "WILD CARDS"}, true, "\nLANGUAGE=Copy\nWILD CARDS\n"},
};

class NewCommandCopy : public ::testing::TestWithParam<CopyCase> {};

TEST_P(NewCommandCopy, RenamesTheLanguageLineAndSpeaksAsTheSource) {
  const CopyCase& c = GetParam();
  TempDir root;
  LanguageFiles files = TinyLanguage();
  auto at = std::find(files.Rules.begin(), files.Rules.end(), "LANGUAGE=Tiny");
  at = files.Rules.erase(at, at + 2);
  files.Rules.insert(at, c.LanguageLines.begin(), c.LanguageLines.end());
  const fs::path from = WriteLanguage(root.Path(), "Tiny", files);
  if (c.Utf8)
    for (const char* name : {"Tinyn.ttg", "Tinye.ttg", "Tinyr.ttg"}) {
      ASSERT_EQ(RunTool({"convert", (from / name).string()}).Status, 0);
      fs::remove(from / (std::string(name) + "~"));
    }
  ToolResult r = RunTool({"new", "Copy", "--from", from.string(), "--into", root.Path().string()});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const fs::path made = root.Path() / "Parlan Copy";
  const std::string rules =
      c.Utf8 ? ReadBytes(made / "Copyr.ttg") : Utf16FileText(made / "Copyr.ttg");
  EXPECT_TRUE(Holds(rules, c.Expected)) << rules.substr(0, 80);
  EXPECT_EQ(ReadBytes(made / "Copyr.ttg").starts_with(kMark), c.Utf8);
  EXPECT_EQ(RunTool({"check", made.string()}).Out, "");
  const std::string text = "Dr Chat has one cab & two dogs.";
  EXPECT_EQ(
      RunTool({"--root", root.Path().string(), "phonemes", "-v", "Copy Male (Parlan)", text}).Out,
      RunTool({"--root", root.Path().string(), "phonemes", "-v", "Tiny Male (Parlan)", text}).Out);
}

INSTANTIATE_TEST_SUITE_P(Sources, NewCommandCopy, ::testing::ValuesIn(kCopies),
                         [](const auto& info) { return std::string(info.param.Name); });

struct NewRefusal {
  const char* Name;
  std::vector<std::string> Args;  // "@into" is the target folder, "@from" a copy of Tiny
  const char* Message;
};

[[maybe_unused]] void PrintTo(const NewRefusal& c, std::ostream* os) {
  *os << c.Name;
}

const NewRefusal kNewRefusals[] = {
    {"Exists", {"new", "Tiny", "--from", "@from", "--into", "@into"}, "exists already"},
    {"NameWithSlash", {"new", "a/b", "--from", "@from", "--into", "@into"}, "cannot name"},
    {"NameWithTrailingBlank",
     {"new", "Welsh ", "--from", "@from", "--into", "@into"},
     "cannot name"},
    {"SourceNotALanguage",
     {"new", "Welsh", "--from", "@into", "--into", "@into"},
     "not a \"Parlan <language>\" folder"},
    {"SourceUnknown",
     {"new", "Welsh", "--from", "Klingon", "--root", "@into", "--into", "@into"},
     "no language Klingon under"},
    {"IntoMissing", {"new", "Welsh", "--from", "@from", "--into", "@into/nowhere"}, "not a folder"},
};

class NewCommandRefusal : public ::testing::TestWithParam<NewRefusal> {};

TEST_P(NewCommandRefusal, SaysWhyAndMakesNothing) {
  TempDir root;
  const fs::path from = WriteLanguage(root.Path(), "Tiny", TinyLanguage());
  std::vector<std::string> args;
  for (std::string a : GetParam().Args) {
    if (a.starts_with("@into")) a = root.Path().string() + a.substr(5);
    if (a == "@from") a = from.string();
    args.push_back(a);
  }
  ToolResult r = RunTool(args);
  EXPECT_EQ(r.Status, 2);
  EXPECT_TRUE(Holds(r.Err, GetParam().Message)) << r.Err;
  EXPECT_EQ(FolderEntries(root.Path()), std::vector<std::string>{"Parlan Tiny"});
}

INSTANTIATE_TEST_SUITE_P(Cases, NewCommandRefusal, ::testing::ValuesIn(kNewRefusals),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace parlan::testkit

namespace parlan::testkit {
namespace {

// --- trace ---

struct TraceCase {
  const char* Name;
  const char* Text;
  std::vector<std::pair<std::string, std::string>> Fired;  // file suffix, the line in that file
  bool Utf8 = false;                                       // the rule file converted first
};

[[maybe_unused]] void PrintTo(const TraceCase& c, std::ostream* os) {
  *os << c.Name;
}

const TraceCase kTraces[] = {
    {"LetterRulesInOrder", "chat", {{"r.ttg", "[ch]=tS"}, {"r.ttg", "[a]=a"}, {"r.ttg", "[t]=t"}}},
    {"ContextRule", "ice", {{"r.ttg", "[i]=I"}, {"r.ttg", "[c]1=s"}, {"r.ttg", "[e]=E"}}},
    {"DictionaryFirst",
     "the cab",
     {{"e.ttg", "the --> D@"}, {"r.ttg", "[c]=k"}, {"r.ttg", "[a]=a"}, {"r.ttg", "[b]=b"}}},
    {"WholePhraseFirst",
     "& chat",
     {{"n.ttg", "& --> and **"},
      {"r.ttg", "[a]=a"},
      {"r.ttg", "[n]=n"},
      {"r.ttg", "[d]=d"},
      {"r.ttg", "[ch]=tS"},
      {"r.ttg", "[a]=a"},
      {"r.ttg", "[t]=t"}}},
    {"Abbreviation",
     "Dr",
     {{"n.ttg", "Dr --> doctor"},
      {"r.ttg", "[d]=d"},
      {"r.ttg", "[o]=0"},
      {"r.ttg", "[c]=k"},
      {"r.ttg", "[t]=t"},
      {"r.ttg", "[o]=0"},
      {"r.ttg", "[r]=r"}}},
    {"Utf8RuleFile", "chat", {{"r.ttg", "[ch]=tS"}, {"r.ttg", "[a]=a"}, {"r.ttg", "[t]=t"}}, true},
};

class TraceCommand : public ::testing::TestWithParam<TraceCase> {};

TEST_P(TraceCommand, NamesEveryFiredRuleWithItsFileAndLine) {
  const TraceCase& c = GetParam();
  TempDir root;
  LanguageFiles files = TinyLanguage();
  // Comments and blank-free headings shift the rules away from their rule numbers.
  files.Rules.insert(files.Rules.begin() + 7, {"' single letters and pairs", "' more"});
  const fs::path folder = WriteLanguage(root.Path(), "Tiny", files);
  if (c.Utf8) {
    ASSERT_EQ(
        RunTool({"convert", (folder / "Tinyr.ttg").string(), "-o", (root.Path() / "r8").string()})
            .Status,
        0);
    fs::rename(root.Path() / "r8", folder / "Tinyr.ttg");
  }
  ToolResult r = RunTool({"--root", root.Path().string(), "trace", "-v", "1", c.Text});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const std::vector<std::string> lines = Lines(r.Out);
  auto heading = std::find(lines.begin(), lines.end(), "== Rules Fired (file:line: rule) ==");
  ASSERT_NE(heading, lines.end()) << r.Out;
  std::vector<std::string> shown(heading + 1, lines.end());
  ASSERT_EQ(shown.size(), c.Fired.size()) << r.Out;
  for (size_t i = 0; i < c.Fired.size(); ++i) {
    const auto& [suffix, text] = c.Fired[i];
    const std::vector<std::string>& source = suffix == "r.ttg"   ? files.Rules
                                             : suffix == "e.ttg" ? files.Exceptions
                                                                 : files.Normalisation;
    const auto at = std::find(source.begin(), source.end(), text);
    ASSERT_NE(at, source.end());
    const std::string prefix = (folder / ("Tiny" + suffix)).string() + ":" +
                               std::to_string(at - source.begin() + 1) + ": ";
    EXPECT_TRUE(shown[i].starts_with(prefix)) << "expected " << prefix << "\ngot " << shown[i];
  }
}

INSTANTIATE_TEST_SUITE_P(Words, TraceCommand, ::testing::ValuesIn(kTraces),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace parlan::testkit
