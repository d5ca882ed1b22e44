// The exception dictionary: loader and replacement of dictionary words.
#include "pipeline/Exceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testkit/TestKit.h"

namespace parlan {
namespace {

using Lines = std::vector<std::string>;

class ExceptionsTest : public ::testing::Test {
 protected:
  bool Load(const Lines& lines) {
    auto file = dir.Path() / "Demoe.ttg";
    testkit::WriteUtf16Lines(file, lines);
    return LoadExceptions(tables, file);
  }
  std::u16string Apply(std::u16string chunk, bool neverDebug = false) {
    return ApplyExceptions(tables, debug, neverDebug, chunk);
  }
  std::vector<std::u16string> Log() const {
    std::vector<std::u16string> lines;
    const std::u16string& text = debug.Advanced().FindControl("txtExceptAppld")->Text;
    size_t start = 0;
    for (size_t end = text.find(u"\r\n"); end != std::u16string::npos;
         end = text.find(u"\r\n", start)) {
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }

  testkit::TempDir dir;
  ExceptionTables tables;
  DebugWindows debug;
};

const Lines kDictionary = {"Demo dictionary", "EXCEPT",     "one --> wVn",
                           "the --> Di",      "two --> tu", "END"};

TEST_F(ExceptionsTest, GroupsByFirstCharacter) {
  ASSERT_TRUE(Load(kDictionary));
  EXPECT_EQ(tables.ExceptInitials, u"ot");
  EXPECT_EQ(tables.ExceptGroupFirst, (std::vector<int16_t>{1, 2}));
  EXPECT_EQ(tables.ExceptGroupLast, (std::vector<int16_t>{1, 3}));
  EXPECT_EQ(tables.ExceptWords, (std::vector<std::u16string>{u"one", u"the", u"two"}));
  EXPECT_EQ(tables.ExceptReplacements, (std::vector<std::u16string>{u"wVn", u"Di", u"tu"}));
}

struct ApplyCase {
  const char* Name;
  std::u16string Chunk;
  std::u16string Result;
  std::vector<std::u16string> Log;
};

[[maybe_unused]] void PrintTo(const ApplyCase& c, std::ostream* os) {
  *os << c.Name;
}

class ApplyTest : public ExceptionsTest, public ::testing::WithParamInterface<ApplyCase> {};

TEST_P(ApplyTest, Replaces) {
  ASSERT_TRUE(Load(kDictionary));
  EXPECT_EQ(Apply(GetParam().Chunk), GetParam().Result);
  EXPECT_EQ(Log(), GetParam().Log);
}

INSTANTIATE_TEST_SUITE_P(
    Exceptions, ApplyTest,
    ::testing::Values(
        ApplyCase{
            "Sentence", u"/The/Two/cats/*.", u"/[Di]/[tu]/cats/*.", {u"the -> Di", u"two -> tu"}},
        ApplyCase{"LowerCasedFirst", u"/ONE", u"/[wVn]", {u"one -> wVn"}},
        ApplyCase{"NoDictionaryWord", u"/Hello//World", u"/hello/world", {}},
        ApplyCase{"PhonemeBlockLosesBrackets", u"/[xy]", u"/xy", {}},
        ApplyCase{"MarksAndTagsLowerCased", u"/*A/<TAG>/[AB]", u"/*a/<tag>/ab", {}},
        ApplyCase{"GroupSearchedNoMatch", u"/ten", u"/ten", {}},
        ApplyCase{"LastSlashEndsTheChunk", u"/one/", u"/[wVn]", {u"one -> wVn"}},
        ApplyCase{"TrailingSlashesGiveEmptyToken", u"/one//", u"/[wVn]/", {u"one -> wVn"}},
        ApplyCase{"EmptyChunk", u"", u"/", {}},
        // An empty phoneme block is an empty token; the walk goes on past it.
        ApplyCase{"EmptyPhonemeBlock", u"/[]/one", u"//[wVn]", {u"one -> wVn"}},
        ApplyCase{"NonAsciiLowerCase", u"/\u0394\u0395", u"/\u03b4\u03b5", {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ExceptionsTest, LineWithoutArrowRepeatsTheEntryBefore) {
  ASSERT_TRUE(Load({"EXCEPT", "one --> wVn", "again", "the --> Di", "END"}));
  EXPECT_EQ(tables.ExceptWords, (std::vector<std::u16string>{u"one", u"one", u"the"}));
  EXPECT_EQ(Apply(u"/one"), u"/[wVn]/[wVn]");
  EXPECT_EQ(Log(), (std::vector<std::u16string>{u"one -> wVn", u"one -> wVn"}));
}

// Only the first group that begins with a character is searched.
TEST_F(ExceptionsTest, UngroupedWordIsNeverFound) {
  ASSERT_TRUE(Load({"EXCEPT", "ant --> {nt", "bee --> bi", "art --> Art", "END"}));
  EXPECT_EQ(tables.ExceptInitials, u"aba");
  EXPECT_EQ(Apply(u"/art/ant/bee"), u"/art/[{nt]/[bi]");
}

TEST_F(ExceptionsTest, CapitalInTheDictionaryNeverMatches) {
  ASSERT_TRUE(Load({"EXCEPT", "Paris --> p&ris", "END"}));
  EXPECT_EQ(Apply(u"/Paris/paris"), u"/paris/paris");
}

TEST_F(ExceptionsTest, EmptyDictionary) {
  ASSERT_TRUE(Load({"EXCEPT", "END"}));
  EXPECT_TRUE(tables.ExceptInitials.empty());
  EXPECT_TRUE(tables.ExceptGroupLast.empty());
  EXPECT_EQ(Apply(u"/A/b"), u"/a/b");
}

TEST_F(ExceptionsTest, FailedLoads) {
  EXPECT_FALSE(Load({"one --> wVn", "END"}));
  EXPECT_FALSE(Load({"EXCEPT", "one --> wVn"}));
  EXPECT_FALSE(Load({"except", "one --> wVn", "END"}));
  EXPECT_FALSE(Load({"EXCEPT", "one --> wVn", " END"}));
  EXPECT_FALSE(LoadExceptions(tables, dir.Path() / "missing.ttg"));
}

TEST_F(ExceptionsTest, ReloadReplacesTheTables) {
  ASSERT_TRUE(Load(kDictionary));
  ASSERT_TRUE(Load({"EXCEPT", "zoo --> zu", "END"}));
  EXPECT_EQ(tables.ExceptInitials, u"z");
  EXPECT_EQ(tables.ExceptWords.size(), 1u);
}

// Counters are 16-bit: 32766 entries fit, one more overflows the next index.
TEST_F(ExceptionsTest, SixteenBitCounters) {
  Lines lines = {"EXCEPT"};
  for (int i = 0; i < 32766; ++i) lines.push_back("w" + std::to_string(i) + " --> x");
  lines.push_back("END");
  ASSERT_TRUE(Load(lines));
  EXPECT_EQ(tables.ExceptGroupLast, (std::vector<int16_t>{32766}));
  lines.insert(lines.end() - 1, "w --> x");
  EXPECT_FALSE(Load(lines));
}

TEST_F(ExceptionsTest, NothingLoggedWhenDebuggingIsBarred) {
  ASSERT_TRUE(Load(kDictionary));
  EXPECT_EQ(Apply(u"/the", /*neverDebug=*/true), u"/[Di]");
  EXPECT_FALSE(debug.Advanced().Created());
}

}  // namespace
}  // namespace parlan
