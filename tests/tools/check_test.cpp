// `parlan check` on a clean language and on one faulty copy of it per kind of problem.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "TinyLanguage.h"
#include "ToolRunner.h"
#include "strings/TextFiles.h"
#include "strings/Unicode.h"

namespace parlan::testkit {
namespace {

using LineList = std::vector<std::string>;

// A language to write: the four files, and files that replace them byte for byte.
struct Faulty {
  LanguageFiles Files = TinyLanguage();
  std::map<std::string, std::string> RawFiles;  // "r.ttg" -> bytes
};

std::string Utf16Bytes(const LineList& lines, bool bigEndian = false) {
  std::u16string text;
  for (const auto& line : lines) text += U16(line) + u"\r\n";
  std::string bytes = EncodeUtf16Le(text);
  if (bigEndian)
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
  return bytes;
}

std::string Utf8Bytes(const LineList& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  return bytes;
}

void Replace(LineList& lines, const std::string& from, const LineList& to) {
  auto it = std::find(lines.begin(), lines.end(), from);
  ASSERT_NE(it, lines.end()) << from;
  it = lines.erase(it);
  lines.insert(it, to.begin(), to.end());
}

void Remove(LineList& lines, const std::string& line) {
  Replace(lines, line, {});
}

void Append(LineList& lines, const LineList& added) {
  lines.insert(lines.end(), added.begin(), added.end());
}

void InsertBefore(LineList& lines, const std::string& before, const LineList& added) {
  auto it = std::find(lines.begin(), lines.end(), before);
  ASSERT_NE(it, lines.end()) << before;
  lines.insert(it, added.begin(), added.end());
}

constexpr char kWholeFile[] = "<whole file>";
constexpr char kLastLine[] = "<last line>";

struct CheckCase {
  const char* Name;
  std::function<void(Faulty&)> Mutate;
  const char* File;    // "c.ttg", "n.ttg", "e.ttg" or "r.ttg"
  std::string AtLine;  // text of the reported line; kWholeFile; kLastLine
  const char* Message;
};

[[maybe_unused]] void PrintTo(const CheckCase& c, std::ostream* os) {
  *os << c.Name;
}

const LineList& FileLines(const Faulty& f, const std::string& file) {
  if (file == "c.ttg") return f.Files.Config;
  if (file == "n.ttg") return f.Files.Normalisation;
  if (file == "e.ttg") return f.Files.Exceptions;
  return f.Files.Rules;
}

// The "file:line: " prefix the problem must be reported with.
std::string ExpectedPrefix(const Faulty& f, const std::filesystem::path& folder,
                           const CheckCase& c) {
  const std::string path = (folder / (std::string("Tiny") + c.File)).string();
  if (c.AtLine == kWholeFile) return path + ": ";
  const LineList& lines = FileLines(f, c.File);
  size_t line = lines.size();
  if (c.AtLine != kLastLine) {
    auto it = std::find(lines.begin(), lines.end(), c.AtLine);
    line = static_cast<size_t>(it - lines.begin()) + 1;
    EXPECT_NE(it, lines.end()) << c.AtLine;
  }
  return path + ":" + std::to_string(line) + ": ";
}

std::filesystem::path WriteFaulty(const std::filesystem::path& root, const Faulty& f) {
  auto folder = WriteLanguage(root, "Tiny", f.Files);
  for (const auto& [file, bytes] : f.RawFiles) WriteBytes(folder / ("Tiny" + file), bytes);
  return folder;
}

TEST(CheckCommand, CleanLanguageHasNoProblems) {
  TempDir root;
  auto folder = WriteFaulty(root.Path(), Faulty{});
  ToolResult r = RunTool({"check", folder.string()});
  EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
  EXPECT_EQ(r.Out, "");
  EXPECT_EQ(r.Err, "");
}

TEST(CheckCommand, ShippedEnglishHasNoProblems) {
  const auto english = std::filesystem::path(PARLAN_TEST_DATA).parent_path().parent_path() /
                       "languages" / "Parlan English";
  ToolResult r = RunTool({"check", english.string()});
  EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
  EXPECT_EQ(r.Out, "");
}

// The demonstration language spells its rules out letter by letter for the rule tests, and its
// words run together (SPACE=0 without word-end tabs): that is the one problem it has.
TEST(CheckCommand, DemonstrationLanguageHasOnlyItsRunTogetherWords) {
  const auto demo = std::filesystem::path(PARLAN_TEST_DATA) / "root" / "Parlan Demo";
  if (!std::filesystem::exists(demo / "Demor.ttg")) GTEST_SKIP() << "no demonstration rules yet";
  ToolResult r = RunTool({"check", demo.string()});
  EXPECT_EQ(r.Status, 1) << r.Out << r.Err;
  ASSERT_EQ(Lines(r.Out).size(), 1u) << r.Out;
  EXPECT_TRUE(r.Out.starts_with((demo / "Democ.ttg").string() + ":8: SPACE is not 1")) << r.Out;
}

TEST(CheckCommand, LanguageInUtf8WithMarksHasNoProblems) {
  TempDir root;
  Faulty f;
  f.RawFiles["n.ttg"] = "\xEF\xBB\xBF" + Utf8Bytes(f.Files.Normalisation);
  f.RawFiles["e.ttg"] = "\xEF\xBB\xBF" + Utf8Bytes(f.Files.Exceptions);
  f.RawFiles["r.ttg"] = "\xEF\xBB\xBF" + Utf8Bytes(f.Files.Rules);
  ToolResult r = RunTool({"check", WriteFaulty(root.Path(), f).string()});
  EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
  EXPECT_EQ(r.Out, "");
}

TEST(CheckCommand, TestsLineWithoutTabIsAProblem) {
  TempDir root;
  auto folder = WriteFaulty(root.Path(), Faulty{});
  WriteBytes(folder / "tests.tsv", "\xEF\xBB\xBF# cases\nchat\ttS a t\n\ncab k a b\n");
  ToolResult r = RunTool({"check", folder.string()});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, (folder / "tests.tsv").string() +
                       ":4: no tab between the text and the expected phonemes: parlan test "
                       "fails it\n");
}

TEST(CheckCommand, FolderNameWithoutPrefixIsAProblem) {
  TempDir root;
  std::filesystem::create_directories(root.Path() / "Tiny");
  ToolResult r = RunTool({"check", (root.Path() / "Tiny").string() + "/"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Out.find("must be \"Parlan \""), std::string::npos) << r.Out;
}

class CheckProblem : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckProblem, IsReportedAtItsLine) {
  const CheckCase& c = GetParam();
  TempDir root;
  Faulty f;
  c.Mutate(f);
  auto folder = WriteFaulty(root.Path(), f);
  ToolResult r = RunTool({"check", folder.string()});
  EXPECT_EQ(r.Status, 1) << r.Out << r.Err;
  EXPECT_EQ(r.Err, "");
  const std::string prefix = ExpectedPrefix(f, folder, c);
  bool found = false;
  for (const std::string& line : Lines(r.Out))
    found = found || (line.starts_with(prefix) && line.find(c.Message) != std::string::npos);
  EXPECT_TRUE(found) << "expected " << prefix << "..." << c.Message << "\ngot:\n" << r.Out;
}

const CheckCase kCases[] = {
    // Files and encodings.
    {"RulesMissing", [](Faulty& f) { f.Files.Rules.clear(); }, "r.ttg", kWholeFile, "missing"},
    {"RulesInUtf8", [](Faulty& f) { f.RawFiles["r.ttg"] = Utf8Bytes(f.Files.Rules); }, "r.ttg",
     "Tiny rules", "no NUL bytes"},
    {"NormalisationInvalidUtf8",
     [](Faulty& f) {
       LineList lines = f.Files.Normalisation;
       lines[0] += "\xC3";
       f.RawFiles["n.ttg"] = "\xEF\xBB\xBF" + Utf8Bytes(lines);
     },
     "n.ttg", "Tiny normalisation", "not valid UTF-8"},
    {"ExceptionsBigEndian",
     [](Faulty& f) { f.RawFiles["e.ttg"] = Utf16Bytes(f.Files.Exceptions, true); }, "e.ttg",
     "Tiny exceptions", "big-endian"},
    {"ExceptionsOddByteCount",
     [](Faulty& f) { f.RawFiles["e.ttg"] = Utf16Bytes(f.Files.Exceptions) + "x"; }, "e.ttg",
     kWholeFile, "odd number of bytes"},
    // Configuration.
    {"NoGender", [](Faulty& f) { Remove(f.Files.Config, "GENDER=Both"); }, "c.ttg", kLastLine,
     "missing key GENDER"},
    {"GenderWithTrailingBlank",
     [](Faulty& f) { Replace(f.Files.Config, "GENDER=Both", {"GENDER=Male "}); }, "c.ttg",
     "GENDER=Male ", "GENDER is \"Male \""},
    {"SapiNumberNotANumber",
     [](Faulty& f) { Replace(f.Files.Config, "SAPINO=4", {"SAPINO=five"}); }, "c.ttg",
     "SAPINO=five", "SAPINO is \"five\""},
    {"SapiNumberThree", [](Faulty& f) { Replace(f.Files.Config, "SAPINO=4", {"SAPINO=3"}); },
     "c.ttg", "SAPINO=3", "SAPINO is \"3\""},
    {"UnknownEngineId", [](Faulty& f) { Replace(f.Files.Config, "UID=gmw/en-US", {"UID=nosuch"}); },
     "c.ttg", "UID=nosuch", "names no voice of the engine"},
    {"UnknownMaleVoice",
     [](Faulty& f) { Replace(f.Files.Config, "MALE=English (America)", {"MALE=English (Mars)"}); },
     "c.ttg", "MALE=English (Mars)", "MALE \"English (Mars)\" names no voice"},
    {"UnknownFemaleVoice",
     [](Faulty& f) {
       Replace(f.Files.Config, "FEMALE=English (America) Female", {"FEMALE=Nobody"});
     },
     "c.ttg", "FEMALE=Nobody", "FEMALE \"Nobody\" names no voice"},
    // Words run together when the blanks are removed and a word end has no tab.
    {"NoWordEndHasATab", [](Faulty& f) { Replace(f.Files.Config, "SPACE=1", {"SPACE=0"}); },
     "c.ttg", "SPACE=0", "no word-end rule or dictionary entry ends in a tab"},
    {"DictionaryEntryWithoutTab",
     [](Faulty& f) {
       Replace(f.Files.Config, "SPACE=1", {"SPACE=0"});
       Replace(f.Files.Rules, "_,t,h[e]_=@", {"_,t,h[e]_=@\t"});
       Replace(f.Files.Exceptions, "one --> w'Vn", {"one --> w'Vn\t"});
       Replace(f.Files.Exceptions, "the --> D@", {"the --> D@\t"});
     },
     "e.ttg", "two --> t'u:", "dictionary entry ends a word without the tab"},
    {"WordEndRuleWithoutTab",
     [](Faulty& f) {
       Replace(f.Files.Config, "SPACE=1", {"SPACE=0"});
       Replace(f.Files.Exceptions, "one --> w'Vn", {"one --> w'Vn\t"});
     },
     "r.ttg", "_,t,h[e]_=@", "word-end rule ends a word without the tab"},
    // Normalisation sections.
    {"NoLocale", [](Faulty& f) { Replace(f.Files.Normalisation, "LOCALE", {"LOCAL"}); }, "n.ttg",
     kLastLine, "missing section \"LOCALE\""},
    {"NoCharset", [](Faulty& f) { Replace(f.Files.Normalisation, "CHARSET", {"CHARS"}); }, "n.ttg",
     kLastLine, "missing section \"CHARSET\""},
    {"NoNumberWords", [](Faulty& f) { Replace(f.Files.Normalisation, "NO", {"N0"}); }, "n.ttg",
     kLastLine, "missing section \"NO\""},
    {"NumberWordMissing", [](Faulty& f) { Remove(f.Files.Normalisation, "five"); }, "n.ttg",
     kLastLine, "missing section \"NOSTR\""},
    {"NoAbbreviations", [](Faulty& f) { Replace(f.Files.Normalisation, "ABBR", {"ABR"}); }, "n.ttg",
     kLastLine, "missing section \"ABBR\""},
    {"AbbreviationsNeverEnd", [](Faulty& f) { Remove(f.Files.Normalisation, "ABBREND"); }, "n.ttg",
     kLastLine, "missing \"ABBREND\""},
    {"SevenLinesCutShort",
     [](Faulty& f) { f.Files.Normalisation.resize(f.Files.Normalisation.size() - 3); }, "n.ttg",
     kLastLine, "only 4 of the seven lines"},
    {"LocaleNotANumber", [](Faulty& f) { Replace(f.Files.Normalisation, "1033", {"en-us"}); },
     "n.ttg", "en-us", "is not a number"},
    {"NumberWordHoldsItsDigit",
     [](Faulty& f) { Replace(f.Files.Normalisation, "four", {"4 four"}); }, "n.ttg", "4 four",
     "contains the digit itself"},
    {"AbbreviationSecondGroup",
     [](Faulty& f) { InsertBefore(f.Files.Normalisation, "ABBREND", {"Dx --> dax"}); }, "n.ttg",
     "Dx --> dax", "abbreviations beginning with \"D\" start a second group"},
    {"WholePhraseEmptyKey",
     [](Faulty& f) { InsertBefore(f.Files.Normalisation, "ABBREND", {" --> and **"}); }, "n.ttg",
     " --> and **", "empty key"},
    {"WholePhraseHoldsItsKey",
     [](Faulty& f) { Replace(f.Files.Normalisation, "& --> and **", {"& --> & and **"}); }, "n.ttg",
     "& --> & and **", "contains its key"},
    {"EntryWithoutArrow",
     [](Faulty& f) { InsertBefore(f.Files.Normalisation, "ABBREND", {"St street"}); }, "n.ttg",
     "St street", "no \" --> \""},
    {"DecimalPointOfTwoCharacters", [](Faulty& f) { Replace(f.Files.Normalisation, ".", {".."}); },
     "n.ttg", "..", "exactly one character"},
    {"NumberWordWithoutRules", [](Faulty& f) { Remove(f.Files.Rules, "[z]=z"); }, "n.ttg", "zero",
     "\"zero\" does not convert"},
    // The number section after the seven lines.
    {"NumberSectionKeyword",
     [](Faulty& f) {
       Append(f.Files.Normalisation, {"NUMBERS", "COLOUR red", "NUMBERSEND"});
     },
     "n.ttg", "COLOUR red", "unknown keyword \"COLOUR\""},
    {"NumberSectionNeverEnds",
     [](Faulty& f) {
       Append(f.Files.Normalisation, {"NUMBERS", "GROUP ,"});
     },
     "n.ttg", "NUMBERS", "no \"NUMBERSEND\""},
    {"NumberRulesDoNotCompile",
     [](Faulty& f) {
       Append(f.Files.Normalisation,
              {"NUMBERS", "RULES", "%n: 0: zero; 1: <%nowhere<;", "RULESEND", "NUMBERSEND"});
     },
     "n.ttg", "RULES", "do not compile"},
    {"NumberRuleSetMissing",
     [](Faulty& f) {
       Append(f.Files.Normalisation,
              {"NUMBERS", "CARDINAL %cardinal", "RULES", "%n: 0: zero;", "RULESEND", "NUMBERSEND"});
     },
     "n.ttg", "CARDINAL %cardinal", "no public rule set \"%cardinal\""},
    // Exception dictionary.
    {"NoExcept", [](Faulty& f) { Remove(f.Files.Exceptions, "EXCEPT"); }, "e.ttg", kLastLine,
     "missing \"EXCEPT\""},
    {"NoEnd", [](Faulty& f) { Remove(f.Files.Exceptions, "END"); }, "e.ttg", kLastLine,
     "missing \"END\""},
    {"CapitalWord", [](Faulty& f) { Replace(f.Files.Exceptions, "the --> D@", {"The --> D@"}); },
     "e.ttg", "The --> D@", "capital letters"},
    {"WordSecondGroup", [](Faulty& f) { InsertBefore(f.Files.Exceptions, "END", {"owl --> aUl"}); },
     "e.ttg", "owl --> aUl", "words beginning with \"o\" start a second group"},
    {"UnknownPhonemeInDictionary",
     [](Faulty& f) { Replace(f.Files.Exceptions, "the --> D@", {"the --> DQ@"}); }, "e.ttg",
     "the --> DQ@", "unknown eSpeak NG phoneme \"Q\""},
    {"DictionaryWordTwice",
     [](Faulty& f) {
       Replace(f.Files.Exceptions, "the --> D@", {"the --> D@", "the --> Di:"});
     },
     "e.ttg", "the --> Di:", "\"the\" has an entry already at line 4: both are spoken"},
    {"EmptyPhonemeString",
     [](Faulty& f) { Replace(f.Files.Exceptions, "the --> D@", {"the --> "}); }, "e.ttg",
     "the --> ", "empty phoneme string"},
    // Letter rules.
    {"NoLanguageLine", [](Faulty& f) { Remove(f.Files.Rules, "LANGUAGE=Tiny"); }, "r.ttg",
     kLastLine, "missing \"LANGUAGE=\""},
    {"LanguageLineNamesAnother",
     [](Faulty& f) { Replace(f.Files.Rules, "LANGUAGE=Tiny", {"LANGUAGE=English"}); }, "r.ttg",
     "LANGUAGE=English", "LANGUAGE= names \"English\", but the folder is that of \"Tiny\""},
    {"NoWildCardsLine", [](Faulty& f) { Remove(f.Files.Rules, "WILD CARDS"); }, "r.ttg", kLastLine,
     "missing \"WILD CARDS\""},
    {"NoRulesLine", [](Faulty& f) { Remove(f.Files.Rules, "RULES"); }, "r.ttg", kLastLine,
     "missing \"RULES\""},
    {"NoEndLine", [](Faulty& f) { Remove(f.Files.Rules, "END"); }, "r.ttg", kLastLine,
     "missing \"END\""},
    {"LetterSecondGroup", [](Faulty& f) { InsertBefore(f.Files.Rules, "END", {"[aa]=A:"}); },
     "r.ttg", "[aa]=A:", "rules for \"a\" start a second group"},
    {"RuleAfterOpenRule",
     [](Faulty& f) {
       Replace(f.Files.Rules, "[c]=k", {"[c]=k", "[ce]=s"});
     },
     "r.ttg", "[ce]=s", "never used"},
    {"OpenRuleBeforeContextRule",
     [](Faulty& f) {
       Remove(f.Files.Rules, "[c]1=s");
       InsertBefore(f.Files.Rules, "[d]=d", {"[c]1=s"});
     },
     "r.ttg", "[c]1=s", "never used"},
    {"RepeatedRule", [](Faulty& f) { InsertBefore(f.Files.Rules, "[c]=k", {"[c]1=ts"}); }, "r.ttg",
     "[c]1=ts", "same focus and contexts"},
    {"UndefinedClass", [](Faulty& f) { Replace(f.Files.Rules, "[c]1=s", {"[c]7=s"}); }, "r.ttg",
     "[c]7=s", "class 7 in the right context is not defined"},
    {"UndefinedRepeatedClass", [](Faulty& f) { Replace(f.Files.Rules, "[c]1=s", {";3,e[c]:4=s"}); },
     "r.ttg", ";3,e[c]:4=s", "class 3 in the left context is not defined"},
    {"MoreThanFiftyClasses",
     [](Faulty& f) {
       LineList classes;
       for (int c = 3; c <= 51; ++c) classes.push_back(std::to_string(c) + " q");
       InsertBefore(f.Files.Rules, "RULES", classes);
     },
     "r.ttg", "51 q", "more than 50 classes"},
    {"ClassNumberedOutOfOrder", [](Faulty& f) { Replace(f.Files.Rules, "2 a,o,u", {"3 a,o,u"}); },
     "r.ttg", "3 a,o,u", "defines class 2, not 3"},
    {"BlankClassLine", [](Faulty& f) { InsertBefore(f.Files.Rules, "RULES", {""}); }, "r.ttg", "",
     "class line too short"},
    {"UnknownPhonemeInRule", [](Faulty& f) { Replace(f.Files.Rules, "[b]=b", {"[b]=bQ"}); },
     "r.ttg", "[b]=bQ", "unknown eSpeak NG phoneme \"Q\""},
    {"RuleWithoutFocus", [](Faulty& f) { Replace(f.Files.Rules, "[b]=b", {"b=b"}); }, "r.ttg",
     "b=b", "no focus"},
    {"ContextThatNeverFits", [](Faulty& f) { Replace(f.Files.Rules, "[b]=b", {"[b]!*=b"}); },
     "r.ttg", "[b]!*=b", "never fits"},
    {"ElevenItems",
     [](Faulty& f) { Replace(f.Files.Rules, "[c]1=s", {"[c]1,a,a,a,a,a,a,a,a,a,a=s"}); }, "r.ttg",
     "[c]1,a,a,a,a,a,a,a,a,a,a=s", "more than 10"},
};

INSTANTIATE_TEST_SUITE_P(Kinds, CheckProblem, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace parlan::testkit
