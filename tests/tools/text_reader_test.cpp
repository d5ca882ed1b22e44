// Reading the text piece by piece: the pieces joined are the text read whole, they end where a
// sentence ends, and errors are those of the whole read.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "CliErrors.h"
#include "TextInput.h"
#include "ToolRunner.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

std::vector<std::string> Pieces(const std::string& input, const TextSource& source = {}) {
  std::istringstream in(input);
  TextReader reader(source, in);
  std::vector<std::string> pieces;
  for (std::u16string piece; reader.Next(piece);) pieces.push_back(ToUtf8(piece));
  return pieces;
}

struct PieceCase {
  const char* name;
  std::string input;
  std::vector<std::string> pieces;
};

[[maybe_unused]] void PrintTo(const PieceCase& c, std::ostream* os) {
  *os << c.name;
}

class StandardInputPieces : public ::testing::TestWithParam<PieceCase> {};

TEST_P(StandardInputPieces, CutAtSentenceEndsAndJoinToTheWholeText) {
  const PieceCase& c = GetParam();
  EXPECT_EQ(Pieces(c.input), c.pieces);
  std::string joined;
  for (const std::string& p : c.pieces) joined += p;
  // Blanks after the last words are no piece of their own: they would say nothing.
  std::istringstream whole(c.input);
  std::string all = ToUtf8(GatherText({}, whole));
  EXPECT_EQ(joined, all.substr(0, std::max(all.find_last_not_of(' ') + 1, joined.size())));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, StandardInputPieces,
    ::testing::Values(
        PieceCase{"OneLineWithoutBreak", "The cat sat.", {"The cat sat."}},
        PieceCase{"SentencePerLine",
                  "The cat sat down.\nIt was happy!\nWas it?\n",
                  {"The cat sat down. ", "It was happy! ", "Was it? "}},
        PieceCase{"SentenceAcrossLines", "The cat\nsat down.\n", {"The cat sat down. "}},
        PieceCase{"AbbreviationAtLineEndStaysWithTheNextLine",
                  "I met Mr.\nSmith etc.\nthere today.\nGone\n",
                  {"I met Mr. Smith etc. there today. ", "Gone "}},
        PieceCase{"ClosingQuoteAfterTheStop",
                  "\"Stay here,\" he said, \"tonight.\"\nNobody argued.",
                  {"\"Stay here,\" he said, \"tonight.\" ", "Nobody argued."}},
        PieceCase{"BlankLinesAndTabsAndCarriageReturns",
                  "\n\nOne\ttwo\r\nthree.\r\n\n",
                  {"  One two  three.  "}},
        PieceCase{"NumberAtLineEndIsNoSentenceEnd",
                  "It cost 10.\nThen more.",
                  {"It cost 10. Then more."}},
        PieceCase{"ByteOrderMarkDropped", "\xEF\xBB\xBFHello there.\n", {"Hello there. "}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextReader, FilesAreReadInParagraphsAndLongLinesEndAPiece) {
  testkit::TempDir dir;
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "The travellers reached the town.\n";
  std::string longLine(TextReader::kLongestPiece + 10, 'a');
  text += longLine + "\nlast";
  testkit::WriteBytes(dir.Path() / "book.txt", text);
  TextSource source;
  source.File = (dir.Path() / "book.txt").string();
  std::vector<std::string> pieces = Pieces("", source);
  ASSERT_GT(pieces.size(), 10u);
  std::string joined;
  for (size_t i = 0; i < pieces.size(); ++i) {
    joined += pieces[i];
    if (i + 2 < pieces.size()) {
      EXPECT_GE(pieces[i].size(), TextReader::kFilePiece) << i;
      EXPECT_LT(pieces[i].size(), TextReader::kFilePiece + 64) << i;
    }
  }
  EXPECT_EQ(pieces[pieces.size() - 2], longLine + " ");
  EXPECT_EQ(pieces.back(), "last");
  std::istringstream none;
  EXPECT_EQ(joined, ToUtf8(GatherText(source, none)));
}

// A text of one line (a file without line breaks) is still read in bounded parts, cut after a
// blank, or between two characters where it has no blank at all; nothing is lost or split.
TEST(TextReader, ALineWithoutBreaksIsReadInParts) {
  const size_t limit = TextReader::kLongestLine;
  std::string words;
  while (words.size() < 5 * limit) words += "The travellers reached the town, caf\u00e9s ";
  std::string unbroken;
  while (unbroken.size() < 9 * limit) unbroken += "\u00e9\u4e2d\U0001F600x";
  for (const std::string& line : {words, unbroken}) {
    std::vector<std::string> pieces = Pieces(line);
    ASSERT_GT(pieces.size(), 1u);
    std::string joined;
    for (const std::string& p : pieces) {
      EXPECT_LE(p.size(), 4 * limit + 4);
      joined += p;
    }
    EXPECT_EQ(joined, line);
    if (line == words) {
      for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        EXPECT_EQ(pieces[i].back(), ' ') << i;
        EXPECT_LT(pieces[i].size(), 3 * limit) << i;
      }
    }
  }
}

TEST(TextReader, ErrorsAreThoseOfTheWholeText) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "no text to speak"},
      {" \n\t\n", "no text to speak"},
      {"Fine line.\nab\xff", "standard input is not valid UTF-8 (byte 14)"},
      {"\xEF\xBB\xBF\xC3", "standard input is not valid UTF-8 (byte 1)"},
  };
  for (const auto& [input, message] : cases) {
    std::istringstream whole(input);
    try {
      GatherText({}, whole);
      ADD_FAILURE() << "whole read accepted " << input;
    } catch (const UsageError& e) {
      EXPECT_EQ(e.what(), message);
    }
    try {
      Pieces(input);
      ADD_FAILURE() << "pieces accepted " << input;
    } catch (const UsageError& e) {
      EXPECT_EQ(e.what(), message);
    }
  }
}

// The phoneme strings of a text read in pieces are those of the same text on one line.
TEST(TextReader, PhonemesOfPiecesEqualThoseOfTheWholeText) {
  const std::string languages =
      (std::filesystem::path(PARLAN_TEST_DATA).parent_path().parent_path() / "languages").string();
  const std::string text =
      "It was late in the autumn.\nMr.\nThomas climbed down, and looked\nabout him! "
      "\"We shall stay here,\" he said.\nNobody argued?\nThe inn stood there";
  std::string oneLine = text;
  for (char& c : oneLine)
    if (c == '\n') c = ' ';
  testkit::ToolResult pieces = testkit::RunTool({"phonemes", "--root", languages}, text);
  testkit::ToolResult whole = testkit::RunTool({"phonemes", "--root", languages, oneLine});
  ASSERT_EQ(pieces.Status, 0) << pieces.Err;
  ASSERT_EQ(whole.Status, 0) << whole.Err;
  EXPECT_EQ(pieces.Out, whole.Out);
  EXPECT_GE(testkit::Lines(pieces.Out).size(), 4u);
}

}  // namespace
}  // namespace parlan::cli
