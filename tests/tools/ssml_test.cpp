// SSML for `parlan -m`: the pieces a document gives, and the tool that speaks them in every kind
// of mode without reading the markup.
#include <gtest/gtest.h>

#include <cstring>

#include "CliErrors.h"
#include "Ssml.h"
#include "TinyLanguage.h"
#include "ToolRunner.h"

namespace parlan::cli {
namespace {

struct PieceCase {
  const char* Name;
  const char* Document;
  std::vector<SsmlPiece> Pieces;
};

[[maybe_unused]] void PrintTo(const PieceCase& c, std::ostream* os) {
  *os << c.Name;
}

SsmlPiece Piece(const char16_t* text, int32_t pause = 0, double rate = 1.0, int32_t pitch = 0,
                double volume = 1.0) {
  return SsmlPiece{text, rate, pitch, volume, pause};
}

class SsmlPieces : public ::testing::TestWithParam<PieceCase> {};

TEST_P(SsmlPieces, FollowTheMarkup) {
  EXPECT_EQ(ParseSsml(GetParam().Document), GetParam().Pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, SsmlPieces,
    ::testing::Values(
        PieceCase{"Plain", "<speak>Hello   world\n again</speak>", {Piece(u"Hello world again")}},
        PieceCase{"BreakTime",
                  "<speak>one<break time=\"800ms\"/>two <break time=\"1.5s\"/></speak>",
                  {Piece(u"one", 800), Piece(u"two", 1500)}},
        PieceCase{"BreakStrength",
                  "<speak>a<break strength=\"weak\"/>b<break/>c</speak>",
                  {Piece(u"a", 250), Piece(u"b", 500), Piece(u"c")}},
        PieceCase{"Prosody",
                  "<speak>a <prosody rate=\"x-slow\" pitch=\"high\" volume=\"soft\">b</prosody> "
                  "<prosody rate=\"150%\" pitch=\"-10%\" volume=\"+0%\">c</prosody></speak>",
                  {Piece(u"a"), Piece(u"b", 0, 0.5, 10, 0.5), Piece(u"c", 0, 1.5, -5, 1.0)}},
        PieceCase{"NestedProsodyMultiplies",
                  "<speak><prosody rate=\"50%\"><prosody rate=\"x-fast\">a</prosody></prosody>"
                  "</speak>",
                  {Piece(u"a", 0, 1.0)}},
        PieceCase{"SayAs",
                  "<speak><say-as interpret-as=\"characters\">USA</say-as> has "
                  "<say-as interpret-as=\"cardinal\">12,345</say-as></speak>",
                  {Piece(u"U S A has 12345")}},
        PieceCase{
            "Sub", "<speak><sub alias=\"doctor\">Dr</sub> Who</speak>", {Piece(u"doctor Who")}},
        PieceCase{"Emphasis",
                  "<speak><emphasis level=\"strong\">no</emphasis></speak>",
                  {Piece(u"no", 0, 0.8, 12)}},
        PieceCase{"UnknownElementsGiveTheirContent",
                  "<speak><voice name=\"x\"><foo bar=\"1\">kept</foo></voice><mark name=\"m\"/>"
                  "</speak>",
                  {Piece(u"kept")}},
        PieceCase{"Sentences",
                  "<speak><s>One</s><s>Two</s></speak>",
                  {Piece(u"One", 400), Piece(u"Two", 400)}},
        PieceCase{"Entities", "<speak>Tom &amp; Jerry &lt;3</speak>", {Piece(u"Tom & Jerry <3")}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SsmlErrors, ADocumentThatIsNotWellFormedNamesItsLine) {
  for (const char* bad : {"<speak>open", "<speak>\n<break></speak>", "plain text", ""}) {
    try {
      ParseSsml(bad);
      ADD_FAILURE() << bad;
    } catch (const UsageError& e) {
      EXPECT_TRUE(std::string(e.what()).starts_with("the SSML is not well-formed (line "))
          << e.what();
    }
  }
}

TEST(SsmlFactors, WordsPercentagesAndNumbers) {
  constexpr double kNamed[5] = {0.5, 0.75, 1.0, 1.5, 2.0};
  const std::pair<const char*, double> cases[] = {{"x-slow", 0.5},  {"fast", 1.5}, {"medium", 1.0},
                                                  {"default", 1.0}, {"150%", 1.5}, {"+20%", 1.2},
                                                  {"-10%", 0.9},    {"2", 2.0},    {"0.5", 0.5}};
  for (auto [value, expected] : cases) {
    double factor = 0;
    EXPECT_TRUE(SsmlFactor(value, kNamed, factor)) << value;
    EXPECT_DOUBLE_EQ(factor, expected) << value;
  }
  double factor = 0;
  for (const char* bad : {"quick", "", "%", "-5", "-200%"})
    EXPECT_FALSE(SsmlFactor(bad, kNamed, factor)) << bad;
}

}  // namespace
}  // namespace parlan::cli

namespace parlan::testkit {
namespace {

#if PARLAN_HAVE_ESPEAK

class SsmlSpeech : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { WriteLanguage(root.Path(), "Tiny", TinyLanguage()); }
  std::string Mode() const { return GetParam(); }
  size_t Samples(const std::string& document) {
    const std::string file = (work.Path() / "out.wav").string();
    const ToolResult r = RunTool({"--root", root.Path(), "-v", Mode(), "-m", "-w", file, document});
    EXPECT_EQ(r.Status, 0) << r.Err;
    const std::string wav = ReadBytes(file);
    const size_t data = wav.find("data");
    return data == std::string::npos ? 0 : (wav.size() - data - 8) / 2;
  }
  // The words the engines were given, as the word events name them.
  std::vector<std::string> Words(const std::vector<std::string>& args) {
    std::vector<std::string> all{"--root", root.Path(), "-v", Mode(), "-q", "--events"};
    all.insert(all.end(), args.begin(), args.end());
    const ToolResult r = RunTool(all);
    EXPECT_EQ(r.Status, 0) << r.Err;
    std::vector<std::string> words;
    for (const std::string& line : Lines(r.Out))
      if (line.starts_with("WordPosition ")) {
        std::string word = line.substr(line.find("word=") + 5);
        std::erase_if(word, [](char c) { return c == '"' || c == '.' || c == ',' || c == '*'; });
        if (!word.empty()) words.push_back(word);
      }
    return words;
  }
  TempDir root;
  TempDir work;
};

TEST_P(SsmlSpeech, TheMarkupIsNeverRead) {
  const std::vector<std::string> marked = Words(
      {"-m",
       "<speak>cat <break time=\"300ms\"/> dog <prosody rate=\"slow\" pitch=\"low\">hen"
       "</prosody> <emphasis>fox</emphasis> <sub alias=\"pig\">5</sub> <foo>sun</foo></speak>"});
  const std::vector<std::string> plain = Words({"cat dog hen fox pig sun"});
  ASSERT_FALSE(plain.empty());
  EXPECT_EQ(marked, plain);
}

TEST_P(SsmlSpeech, BreaksAndRatesAreHeard) {
  const size_t together = Samples("<speak>one two</speak>");
  const size_t apart = Samples("<speak>one <break time=\"800ms\"/> two</speak>");
  EXPECT_GT(apart, together + 22050 / 10) << together << " " << apart;
  const size_t slow = Samples("<speak><prosody rate=\"x-slow\">one two three</prosody></speak>");
  const size_t fast = Samples("<speak><prosody rate=\"x-fast\">one two three</prosody></speak>");
  EXPECT_GT(double(slow) / double(fast), 2.0) << slow << " " << fast;
}

INSTANTIATE_TEST_SUITE_P(Kinds, SsmlSpeech,
                         ::testing::Values("Tiny Male (Parlan)", "English (America)  (SAPI 4)",
                                           "English (America) (SAPI 5)"),
                         [](const auto& info) {
                           return std::string(info.index == 0   ? "Native"
                                              : info.index == 1 ? "Sapi4"
                                                                : "Sapi5");
                         });

#endif

}  // namespace
}  // namespace parlan::testkit
