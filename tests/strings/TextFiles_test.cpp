// Line readers for the UTF-16 language files and the 8-bit configuration files.
#include "strings/TextFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testkit/TestKit.h"

namespace parlan {
namespace {

using testkit::TempDir;
using testkit::WriteBytes;

std::vector<std::u16string> ReadAllUtf16(const std::filesystem::path& file, bool& opened) {
  Utf16LineReader reader;
  opened = reader.Open(file);
  std::vector<std::u16string> lines;
  std::u16string line;
  while (reader.ReadLine(line)) lines.push_back(line);
  // Reading past the end keeps failing, and leaves the caller's text alone.
  line = u"kept";
  EXPECT_FALSE(reader.ReadLine(line));
  EXPECT_EQ(line, u"kept");
  EXPECT_TRUE(reader.AtEnd());
  return lines;
}

struct Utf16Case {
  const char* Name;
  std::string Bytes;
  std::vector<std::u16string> Lines;
};

[[maybe_unused]] void PrintTo(const Utf16Case& c, std::ostream* os) {
  *os << c.Name;
}

std::string Le(std::u16string_view text, bool bom = false) {
  return EncodeUtf16Le(text, bom);
}

const std::vector<Utf16Case> kUtf16Cases = {
    {"CrLf", Le(u"one\r\ntwo\r\n"), {u"one", u"two"}},
    {"Lf", Le(u"one\ntwo\n"), {u"one", u"two"}},
    {"MixedLineEnds", Le(u"a\r\nb\nc\r\n"), {u"a", u"b", u"c"}},
    {"LastLineWithoutLineEnd", Le(u"one\r\ntwo"), {u"one", u"two"}},
    {"ByteOrderMarkSkipped", Le(u"\u03b1\u03b2\r\n\u03b3", true), {u"\u03b1\u03b2", u"\u03b3"}},
    {"EmptyLinesKept", Le(u"\r\n\r\nx\r\n"), {u"", u"", u"x"}},
    {"LoneCrStaysInTheLine", Le(u"a\rb\r\n"), {u"a\rb"}},
    {"EmptyFile", "", {}},
    {"OnlyByteOrderMark", Le(u"", true), {}},
    {"OddByteCountDropsTheLastByte", Le(u"ab\r\ncd") + "x", {u"ab", u"cd"}},
    {"SingleByte", "x", {}},
    {"SurrogatePairKept", Le(u"\U0001F600\n"), {u"\U0001F600"}},
    {"ByteOrderMarkOnlyAtStart", Le(u"a\n\uFEFFb"), {u"a", u"\uFEFFb"}},
    // A UTF-8 mark makes the file UTF-8; without it, 8-bit bytes are still read as UTF-16.
    {"Utf8WithMark",
     "\xEF\xBB\xBF\xCE\xB1 --> a\t\nb\r\n\xF0\x9F\x98\x80",
     {u"\u03b1 --> a\t", u"b", u"\U0001F600"}},
    {"Utf8MarkOnly", "\xEF\xBB\xBF", {}},
    {"Utf8InvalidBytesBecomeReplacements",
     "\xEF\xBB\xBF"
     "a\xFF"
     "b\n\xC3\n\xC3\xA9",
     {u"a\uFFFDb", u"\uFFFD", u"\u00e9"}},
    {"Utf8WithoutMarkIsUtf16", "ab\r\n", {u"\u6261\u0a0d"}},
    {"Utf16MarkThenUtf8MarkBytes", Le(u"\uFEFF\uBBEF", false), {u"\uBBEF"}},
};

class Utf16ReaderTest : public testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16ReaderTest, ReadsEveryLineThenFails) {
  TempDir dir;
  auto file = dir.Path() / "r.ttg";
  WriteBytes(file, GetParam().Bytes);
  bool opened = false;
  EXPECT_EQ(ReadAllUtf16(file, opened), GetParam().Lines);
  EXPECT_TRUE(opened);
}

INSTANTIATE_TEST_SUITE_P(Files, Utf16ReaderTest, testing::ValuesIn(kUtf16Cases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Utf16LineReader, MissingFileFailsAndIsNotCreated) {
  TempDir dir;
  auto file = dir.Path() / "missing.ttg";
  Utf16LineReader reader;
  EXPECT_FALSE(reader.Open(file));
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_TRUE(reader.AtEnd());
  std::u16string line;
  EXPECT_FALSE(reader.ReadLine(line));
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(Utf16LineReader, FolderIsNoFile) {
  TempDir dir;
  Utf16LineReader reader;
  EXPECT_FALSE(reader.Open(dir.Path()));
}

TEST(Utf16LineReader, CloseEndsReadingAndReopenStartsOver) {
  TempDir dir;
  auto file = dir.Path() / "r.ttg";
  testkit::WriteUtf16Lines(file, {"first", "second"}, true);
  Utf16LineReader reader;
  ASSERT_TRUE(reader.Open(file));
  std::u16string line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, u"first");
  reader.Close();
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_FALSE(reader.ReadLine(line));
  ASSERT_TRUE(reader.Open(file));
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, u"first");
}

TEST(Utf16LineReader, FailedOpenForgetsThePreviousFile) {
  TempDir dir;
  auto file = dir.Path() / "r.ttg";
  testkit::WriteUtf16Lines(file, {"first"});
  Utf16LineReader reader;
  ASSERT_TRUE(reader.Open(file));
  EXPECT_FALSE(reader.Open(dir.Path() / "missing.ttg"));
  std::u16string line;
  EXPECT_FALSE(reader.ReadLine(line));
}

struct ConfigCase {
  const char* Name;
  std::string Bytes;
  std::vector<std::u16string> Lines;
};

[[maybe_unused]] void PrintTo(const ConfigCase& c, std::ostream* os) {
  *os << c.Name;
}

const std::vector<ConfigCase> kConfigCases = {
    {"Utf8", "GENDER=\xce\x91\n", {u"GENDER=\u0391"}},
    {"Latin1Fallback",
     "NAME=Fran\xe7"
     "ais\n",
     {u"NAME=Fran\u00e7ais"}},
    {"FallbackIsPerLine", "A=\xc3\xa9\nB=\xe9\n", {u"A=\u00e9", u"B=\u00e9"}},
    {"CrLf", "A=1\r\nB=2\r\n", {u"A=1", u"B=2"}},
    {"LastLineWithoutLineEnd", "A=1\nB=2", {u"A=1", u"B=2"}},
    {"NothingElseTrimmed", "  A = 1 \t\r\n", {u"  A = 1 \t"}},
    {"EmptyLinesKept", "\n\nA\n", {u"", u"", u"A"}},
    {"EmptyFile", "", {}},
};

class ConfigLinesTest : public testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigLinesTest, DecodesEachLine) {
  TempDir dir;
  auto file = dir.Path() / "c.ttg";
  WriteBytes(file, GetParam().Bytes);
  std::vector<std::u16string> lines = {u"stale"};
  ASSERT_TRUE(ReadConfigLines(file, lines));
  EXPECT_EQ(lines, GetParam().Lines);
}

INSTANTIATE_TEST_SUITE_P(Files, ConfigLinesTest, testing::ValuesIn(kConfigCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ReadConfigLines, MissingFileFailsAndIsNotCreated) {
  TempDir dir;
  auto file = dir.Path() / "c.ttg";
  std::vector<std::u16string> lines;
  EXPECT_FALSE(ReadConfigLines(file, lines));
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(EncodeUtf16Le, LittleEndianWithOptionalMark) {
  EXPECT_EQ(EncodeUtf16Le(u"A\u03b1"), std::string("A\0\xb1\x03", 4));
  EXPECT_EQ(EncodeUtf16Le(u"A", true), std::string("\xff\xfe"
                                                   "A\0",
                                                   4));
  EXPECT_EQ(EncodeUtf16Le(u""), "");
  EXPECT_EQ(EncodeUtf16Le(u"", true), "\xff\xfe");
}

TEST(EncodeUtf16Le, ReaderReadsBackWhatWasEncoded) {
  TempDir dir;
  auto file = dir.Path() / "e.ttg";
  const std::u16string text = u"\u00e4\u00f6\u00fc\u00df\r\n\u0391\u03a9\U0001F600";
  WriteBytes(file, EncodeUtf16Le(text, true));
  bool opened = false;
  EXPECT_EQ(ReadAllUtf16(file, opened),
            (std::vector<std::u16string>{u"\u00e4\u00f6\u00fc\u00df", u"\u0391\u03a9\U0001F600"}));
}

}  // namespace
}  // namespace parlan
