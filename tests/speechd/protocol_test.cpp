// The request parser, the SSML reader and the wording of messages, fed in-process.
#include <gtest/gtest.h>

#include <random>

#include "Protocol.h"
#include "ServerOutput.h"
#include "Ssml.h"
#include "Wording.h"

namespace parlan::speechd {
namespace {

using Kind = Request::Kind;

std::vector<Request> ParseAll(std::string_view input, size_t piece = 0) {
  ProtocolParser parser;
  if (piece == 0) return parser.Feed(input);
  std::vector<Request> all;
  for (size_t at = 0; at < input.size(); at += piece)
    for (Request& r : parser.Feed(input.substr(at, piece))) all.push_back(std::move(r));
  return all;
}

TEST(ProtocolParser, ReadsCommandsAndBlocksHoweverTheInputIsCut) {
  const std::string input =
      "INIT\nSET\nrate=20\nvoice=female1\n.\nSPEAK\n<speak>Hello\n..dot line\n</speak>\n.\n"
      "STOP\nLIST VOICES\nBOGUS\nDEBUG ON /tmp/x\nQUIT\n";
  for (size_t piece : {size_t(0), size_t(1), size_t(3), size_t(7)}) {
    SCOPED_TRACE(piece);
    const std::vector<Request> r = ParseAll(input, piece);
    ASSERT_EQ(r.size(), 10u);
    EXPECT_EQ(r[0].What, Kind::Init);
    EXPECT_EQ(r[1].What, Kind::Receiving);
    EXPECT_EQ(r[1].Block, Kind::Set);
    EXPECT_EQ(r[2].What, Kind::Set);
    EXPECT_EQ(r[2].Params, (std::vector<std::pair<std::string, std::string>>{
                               {"rate", "20"}, {"voice", "female1"}}));
    EXPECT_EQ(r[3].Block, Kind::Speak);
    EXPECT_EQ(r[4].What, Kind::Speak);
    EXPECT_EQ(r[4].Text, "<speak>Hello\n.dot line\n</speak>");
    EXPECT_EQ(r[4].Lines, 3);
    EXPECT_EQ(r[5].What, Kind::Stop);
    EXPECT_EQ(r[6].What, Kind::ListVoices);
    EXPECT_EQ(r[7].What, Kind::Unknown);
    EXPECT_EQ(r[8].What, Kind::Debug);
    EXPECT_EQ(r[9].What, Kind::Quit);
  }
}

TEST(ProtocolParser, MalformedInputIsReportedNotFatal) {
  // A parameter line without "=", an overlong line, an unterminated block.
  std::vector<Request> r = ParseAll("SET\nnonsense\n=x\n.\n");
  ASSERT_EQ(r.size(), 2u);
  EXPECT_TRUE(r[1].BadLine);
  ProtocolParser parser;
  parser.Feed("SPEAK\n");
  const std::string huge(ProtocolParser::kMaxLine + 10, 'a');
  EXPECT_TRUE(parser.Feed(huge).empty());
  r = parser.Feed("\n.\nSTOP\n");
  ASSERT_EQ(r.size(), 2u);
  EXPECT_TRUE(r[0].TooLong);
  EXPECT_LE(r[0].Text.size(), ProtocolParser::kMaxLine);
  EXPECT_EQ(r[1].What, Kind::Stop);
  EXPECT_TRUE(ParseAll("SPEAK\nno end").size() == 1);  // only the Receiving so far
}

// Random bytes and random mixtures of protocol words never crash the parser or the readers.
TEST(ProtocolParser, SurvivesRandomInput) {
  std::mt19937 random(19);
  const std::vector<std::string> words = {
      "SPEAK\n", "SET\n", ".\n",     "..\n", "<mark name='", "'/>",   "&#x",    "&amp;",
      "<",       "\n",    "AUDIO\n", "=",    "\xff\xfe",     "KEY\n", "shift_", "QUIT\n"};
  for (int round = 0; round < 300; ++round) {
    std::string input;
    const int n = int(random() % 60);
    for (int i = 0; i < n; ++i) {
      if (random() % 3 == 0)
        input += char(random() % 256);
      else
        input += words[random() % words.size()];
    }
    ProtocolParser parser;
    for (const Request& r : parser.Feed(input)) {
      for (const MessagePart& p : ParseSsml(r.Text)) {
        EXPECT_FALSE(!p.IsMark && p.Text.empty());
        PrepareText(p.Text, Wording{Punctuation::All, round % 2 == 0});
      }
      KeyWords(r.Text, Wording{});
    }
  }
}

struct SsmlCase {
  const char* Input;
  std::vector<std::string> Expected;  // "#name" for a mark
};

[[maybe_unused]] void PrintTo(const SsmlCase& c, std::ostream* os) {
  *os << '"' << c.Input << '"';
}

class SsmlTest : public testing::TestWithParam<SsmlCase> {};

TEST_P(SsmlTest, TagsAreNeverSpokenAndMarksSplitTheText) {
  std::vector<std::string> got;
  for (const MessagePart& p : ParseSsml(GetParam().Input))
    got.push_back(p.IsMark ? "#" + p.Text : p.Text);
  EXPECT_EQ(got, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SsmlTest,
    testing::Values(SsmlCase{"<speak>Hello world</speak>", {" Hello world "}},
                    SsmlCase{"<speak>One.<mark name=\"__spd_1\"/>Two.<mark name='end'/></speak>",
                             {" One.", "#__spd_1", "Two.", "#end"}},
                    SsmlCase{"<speak><mark name=\"a\"/><mark name=\"b\"/>x</speak>",
                             {"#a", "#b", "x "}},
                    SsmlCase{"a &lt;b&gt; &amp; &#65;&#x42; &bogus; &", {"a <b> & AB &bogus; &"}},
                    SsmlCase{"<speak>x<!-- <mark name='no'/> -->y</speak>", {" xy "}},
                    SsmlCase{"<speak>cut <unterminated", {" cut  "}},
                    SsmlCase{"<mark name=\"q&amp;a\"/>", {"#q&a"}}));

struct WordingCase {
  const char* Input;
  Wording With;
  const char* Expected;
};

[[maybe_unused]] void PrintTo(const WordingCase& c, std::ostream* os) {
  *os << '"' << c.Input << '"';
}

class WordingTest : public testing::TestWithParam<WordingCase> {};

TEST_P(WordingTest, SettingsShapeTheWords) {
  EXPECT_EQ(PrepareText(GetParam().Input, GetParam().With), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WordingTest,
    testing::Values(
        WordingCase{"50% off, now!", {Punctuation::None}, "50% off, now!"},
        WordingCase{"50% off, now!", {Punctuation::Some}, "50 percent  off, now!"},
        WordingCase{"a (b)", {Punctuation::Some}, "a (b)"},
        WordingCase{"a (b)", {Punctuation::Most}, "a  left paren b right paren "},
        WordingCase{"Hi, you.", {Punctuation::All}, "Hi comma,  you dot. "},
        WordingCase{"Ab 1", {Punctuation::None, true}, "ay, bee, 1"},
        WordingCase{"Ab", {Punctuation::None, true, CapitalLetters::Spell}, "capital ay, bee"},
        WordingCase{"50%", {Punctuation::All, false, CapitalLetters::None, false}, "50%"}));

TEST(Wording, CharactersKeysAndIcons) {
  const Wording english;
  EXPECT_EQ(CharacterWords("space", english), "space");
  EXPECT_EQ(CharacterWords("q", english), "cue");
  EXPECT_EQ(CharacterWords("?", english), "question mark");
  EXPECT_EQ(CharacterWords("\xc3\xa9", english), "\xc3\xa9");
  EXPECT_EQ(KeyWords("shift_a", english), "shift ay");
  EXPECT_EQ(KeyWords("control_alt_delete", english), "control alt delete");
  EXPECT_EQ(KeyWords("kp-enter", english), "keypad enter");
  EXPECT_EQ(KeyWords("double-quote", english), "double quote");
  EXPECT_EQ(KeyWords("_", english), "underscore");
  EXPECT_EQ(IconWords("message-new_mail"), "message new mail");
}

TEST(AudioEvent, EscapesNewlinesAndTheEscapeByte) {
  const int16_t samples[] = {0x0A7D, 0x0102};
  const std::string e = EncodeAudioEvent(samples, 2, 22050);
  const std::string head =
      "705-bits=16\n705-num_channels=1\n705-sample_rate=22050\n705-num_samples=2\n"
      "705-big_endian=0\n705-AUDIO";
  ASSERT_EQ(e.substr(0, head.size()), head);
  const std::string body = e.substr(head.size());
  EXPECT_EQ(body, std::string("\0\x7d\x5d\x7d\x2a\x02\x01\n705 AUDIO\n", 18));
}

}  // namespace
}  // namespace parlan::speechd
