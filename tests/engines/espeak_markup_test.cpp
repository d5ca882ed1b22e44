// The eSpeak NG engines' reading of what they are asked to speak: the voice's markup, phoneme
// strings in both forms, the words of plain text, and the prosody mappings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engines/EspeakMarkup.h"
#include "strings/Unicode.h"

namespace parlan::engines {
namespace {

struct PartCase {
  bool Phonemes;
  int32_t AbsMiddle;
  std::u16string Text;
};

struct MarkupCase {
  std::string Name;
  std::u16string Input;
  int32_t PitchBefore;
  std::vector<PartCase> Parts;
  int32_t FinalPitch;
};

[[maybe_unused]] void PrintTo(const MarkupCase& c, std::ostream* os) {
  *os << c.Name;
}

class MarkupTest : public testing::TestWithParam<MarkupCase> {};

TEST_P(MarkupTest, PartsAndPitch) {
  const MarkupCase& c = GetParam();
  const ParsedSpeech parsed = ParseVoiceMarkup(c.Input, c.PitchBefore);
  ASSERT_EQ(parsed.Parts.size(), c.Parts.size());
  for (size_t i = 0; i < c.Parts.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(parsed.Parts[i].Phonemes, c.Parts[i].Phonemes);
    EXPECT_EQ(parsed.Parts[i].AbsMiddle, c.Parts[i].AbsMiddle);
    EXPECT_EQ(ToUtf8(parsed.Parts[i].Source.Text), ToUtf8(c.Parts[i].Text));
    ASSERT_EQ(parsed.Parts[i].Source.Positions.size(), parsed.Parts[i].Source.Text.size());
  }
  EXPECT_EQ(parsed.FinalAbsMiddle, c.FinalPitch);
}

INSTANTIATE_TEST_SUITE_P(
    Voice, MarkupTest,
    testing::Values(
        MarkupCase{"PlainText", u"Hello world", 0, {{false, 0, u"Hello world"}}, 0},
        MarkupCase{"ControlPitchMarkup", u"<pitch absmiddle = \" 5\"/>", 0, {}, 5},
        MarkupCase{"NegativePitch", u"<pitch absmiddle=\"-3\"/>", 2, {}, -3},
        MarkupCase{"PitchMidText",
                   u"Hi <pitch absmiddle=\"4\"/>there",
                   0,
                   {{false, 0, u"Hi "}, {false, 4, u"there"}},
                   4},
        MarkupCase{"PitchAroundText",
                   u"<pitch absmiddle='8'>loud</pitch> soft",
                   1,
                   {{false, 8, u"loud"}, {false, 1, u" soft"}},
                   1},
        MarkupCase{"RelativePitch", u"<pitch middle=\"-2\"/>x", 3, {{false, 1, u"x"}}, 1},
        MarkupCase{"PitchClamped", u"<pitch absmiddle=\"50\"/>", 0, {}, 10},
        MarkupCase{"UpperCaseTag", u"<PITCH ABSMIDDLE=\"2\"/>", 0, {}, 2},
        MarkupCase{"PronElement", u"<pron sym=\"h@loU !\"/>", 0, {{true, 0, u"h@loU !"}}, 0},
        MarkupCase{"PronAroundText",
                   u"say <pron sym=\"h@loU\">hello</pron> now",
                   0,
                   {{false, 0, u"say "}, {true, 0, u"h@loU"}, {false, 0, u" now"}},
                   0},
        MarkupCase{
            "Entities", u"a &lt; b &amp; c &#65;&#x42;", 0, {{false, 0, u"a < b & c AB"}}, 0},
        MarkupCase{"LessThanStartingNoTag", u"x < y & z", 0, {{false, 0, u"x < y & z"}}, 0},
        MarkupCase{"UnknownTagSkipped",
                   u"<emph>strong</emph> <silence msec=\"5\"/>end",
                   0,
                   {{false, 0, u"strong end"}},
                   0},
        MarkupCase{"UnclosedTagIsText", u"a <pitch", 0, {{false, 0, u"a <pitch"}}, 0}),
    [](const auto& info) { return info.param.Name; });

TEST(MarkupPositions, PointIntoTheCallersText) {
  const std::u16string text = u"Hi <pitch absmiddle=\"4\"/>a&amp;b <pron sym=\"x y\"/>";
  const ParsedSpeech parsed = ParseVoiceMarkup(text, 0);
  ASSERT_EQ(parsed.Parts.size(), 3u);
  EXPECT_EQ(parsed.Parts[1].Source.Positions, (std::vector<int32_t>{25, 26, 31, 32}));
  const SourceText& sym = parsed.Parts[2].Source;
  ASSERT_EQ(sym.Text, u"x y");
  EXPECT_EQ(text.substr(size_t(sym.Positions[0]), 3), u"x y");
}

struct PhonemeCase {
  std::string Name;
  PhonemeForm Form;
  std::u16string Input;
  std::string Expected;                       // eSpeak NG input
  std::vector<std::u16string> ExpectedWords;  // the words of the input the segment reports
};

[[maybe_unused]] void PrintTo(const PhonemeCase& c, std::ostream* os) {
  *os << c.Name;
}

class PhonemeTest : public testing::TestWithParam<PhonemeCase> {};

TEST_P(PhonemeTest, EspeakInputAndWords) {
  const PhonemeCase& c = GetParam();
  const SpeechSegment s = PhonemeSegment(PlainSource(c.Input), c.Form, 50);
  EXPECT_EQ(s.Utf8, c.Expected);
  EXPECT_TRUE(s.Utf8.empty() || s.Phonemes);
  std::vector<std::u16string> words;
  for (const WordSpan& w : s.Words)
    words.push_back(c.Input.substr(size_t(w.Start), size_t(w.Length)));
  EXPECT_EQ(words, c.ExpectedWords);
  // One entry per code point, and every word's code points point at it.
  ASSERT_EQ(s.WordAt.size(), s.Utf8.size());  // these inputs are ASCII
  for (size_t w = 0; w < s.Words.size(); ++w)
    EXPECT_EQ(std::count(s.WordAt.begin(), s.WordAt.end(), int32_t(w)), s.Words[w].Length);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, PhonemeTest,
    testing::Values(
        PhonemeCase{"EndMarkDropped", PhonemeForm::Directss, u"h@loU#", "[[h@loU]]", {u"h@loU"}},
        PhonemeCase{"EndMarksAndBlanksDropped",
                    PhonemeForm::Directss,
                    u"h@loU## ",
                    "[[h@loU]]",
                    {u"h@loU"}},
        PhonemeCase{"ResetStringSaysNothing", PhonemeForm::Directss, u"##", "", {}},
        PhonemeCase{"CommaMarkShortPause",
                    PhonemeForm::Directss,
                    u"h@loU*,w3:ld#",
                    "[[h@loU _:_:_: w3:ld]]",
                    {u"h@loU", u"w3:ld"}},
        PhonemeCase{"StopMarkLongPause",
                    PhonemeForm::Directss,
                    u" h@loU*. w3:ld*;#",
                    "[[h@loU _:_:_:_:_: w3:ld _:_:_:_:_:]]",
                    {u"h@loU", u"w3:ld"}},
        // eSpeak NG gives a clause its question or exclamation tune only from punctuation
        // after the phoneme input.
        PhonemeCase{"QuestionEndsTheClause",
                    PhonemeForm::Directss,
                    u" h@loU*. w3:ld*?#",
                    "[[h@loU _:_:_:_:_: w3:ld]]?",
                    {u"h@loU", u"w3:ld"}},
        PhonemeCase{"MarksInsideThePhraseReopen",
                    PhonemeForm::Directss,
                    u" aI*! b i:*? s i:*,#",
                    "[[aI]]! [[b i:]]? [[s i: _:_:_:]]",
                    {u"aI", u"b", u"i:", u"s", u"i:"}},
        // A question's tune rises from its last primary stress; the earlier ones are handed
        // over as secondary, each clause on its own, statements and exclamations untouched.
        PhonemeCase{"QuestionKeepsOnlyItsLastPrimaryStress",
                    PhonemeForm::Directss,
                    u"w'aI Iz D@ tr'eIn l'eIt*?#",
                    "[[w,aI Iz D@ tr,eIn l'eIt]]?",
                    {u"w'aI", u"Iz", u"D@", u"tr'eIn", u"l'eIt"}},
        PhonemeCase{"QuestionAcrossItsCommas",
                    PhonemeForm::Directss,
                    u"w'El*, Iz It r'eInIN*?#",
                    "[[w,El _:_:_: Iz It r'eInIN]]?",
                    {u"w'El", u"Iz", u"It", u"r'eInIN"}},
        PhonemeCase{"EachClauseOnItsOwn",
                    PhonemeForm::Directss,
                    u"h'Elp*! k'an j'u:*? Iz It*?#",
                    "[[h'Elp]]! [[k,an j'u:]]? [[Iz It]]?",
                    {u"h'Elp", u"k'an", u"j'u:", u"Iz", u"It"}},
        PhonemeCase{"StatementKeepsItsStresses",
                    PhonemeForm::Directss,
                    u"D@ tr'eIn Iz l'eIt*.#",
                    "[[D@ tr'eIn Iz l'eIt _:_:_:_:_:]]",
                    {u"D@", u"tr'eIn", u"Iz", u"l'eIt"}},
        PhonemeCase{"ExclamationKeepsItsStresses",
                    PhonemeForm::Directss,
                    u"h'api b'3:TdeI*!#",
                    "[[h'api b'3:TdeI]]!",
                    {u"h'api", u"b'3:TdeI"}},
        PhonemeCase{"PronGluedQuestionStresses",
                    PhonemeForm::Pron,
                    u"w'aIIzl'eIt? !",
                    "[[w,aIIzl'eIt]]?",
                    {u"w'aIIzl'eIt"}},
        PhonemeCase{"MarkWithNothingBeforeDropped", PhonemeForm::Directss, u"*?#", "", {}},
        PhonemeCase{"PronGluedQuestion", PhonemeForm::Pron, u"IsIt? !", "[[IsIt]]?", {u"IsIt"}},
        PhonemeCase{
            "PronGlottalStopKept", PhonemeForm::Pron, u"a?b !", "[[a?b _:_:_:_:_:]]", {u"a?b"}},
        PhonemeCase{"PronExclamationBeforeTheEndMark",
                    PhonemeForm::Pron,
                    u"stQp ! !",
                    "[[stQp]]!",
                    {u"stQp"}},
        PhonemeCase{"LoneStarDropped", PhonemeForm::Directss, u"h@loU*", "[[h@loU]]", {u"h@loU"}},
        PhonemeCase{"EspeakPauseKept", PhonemeForm::Directss, u"a_!b#", "[[a_!b]]", {u"a_!b"}},
        PhonemeCase{
            "PronEndMark", PhonemeForm::Pron, u"h@loU !", "[[h@loU _:_:_:_:_:]]", {u"h@loU"}},
        PhonemeCase{"PronStandaloneMarks",
                    PhonemeForm::Pron,
                    u"h@loU , w3:ld ? !",
                    "[[h@loU _:_:_: w3:ld]]?",
                    {u"h@loU", u"w3:ld"}},
        PhonemeCase{"PronGluedStopSplits",
                    PhonemeForm::Pron,
                    u"hEloU,w3:ld.f'u: !",
                    "[[hEloU,w3:ld _:_:_:_:_: f'u: _:_:_:_:_:]]",
                    {u"hEloU,w3:ld", u"f'u:"}},
        PhonemeCase{"PronHashKept", PhonemeForm::Pron, u"h@loU#", "[[h@loU#]]", {u"h@loU#"}},
        PhonemeCase{"OnlyBlanks", PhonemeForm::Pron, u"   ", "", {}},
        // eSpeak NG fails on phoneme words of a few hundred symbols: long ones are cut.
        PhonemeCase{"LongWordCutAtTheLimit",
                    PhonemeForm::Pron,
                    std::u16string(250, u'k'),
                    "[[" + std::string(100, 'k') + " " + std::string(100, 'k') + " " +
                        std::string(50, 'k') + "]]",
                    {std::u16string(250, u'k')}},
        PhonemeCase{"LongWordCutBeforeAStress",
                    PhonemeForm::Directss,
                    std::u16string(60, u'a') + u"'" + std::u16string(80, u'b') + u"#",
                    "[[" + std::string(60, 'a') + " '" + std::string(80, 'b') + "]]",
                    {std::u16string(60, u'a') + u"'" + std::u16string(80, u'b')}},
        PhonemeCase{"WordAtTheLimitKept",
                    PhonemeForm::Pron,
                    std::u16string(100, u'k'),
                    "[[" + std::string(100, 'k') + "]]",
                    {std::u16string(100, u'k')}}),
    [](const auto& info) { return info.param.Name; });

struct TextCase {
  std::string Name;
  std::u16string Input;
  std::vector<WordSpan> Words;
};

[[maybe_unused]] void PrintTo(const TextCase& c, std::ostream* os) {
  *os << c.Name;
}

class TextWordsTest : public testing::TestWithParam<TextCase> {};

TEST_P(TextWordsTest, WordsInTheCallersText) {
  const TextCase& c = GetParam();
  const SpeechSegment s = TextSegment(PlainSource(c.Input), 50);
  EXPECT_EQ(s.Words, c.Words);
  EXPECT_FALSE(s.Phonemes);
}

INSTANTIATE_TEST_SUITE_P(
    Text, TextWordsTest,
    testing::Values(TextCase{"Punctuation", u"Hello, world.", {{0, 5}, {7, 5}}},
                    TextCase{"Edges", u"  (quoted) don't 3.5% -", {{3, 6}, {11, 5}, {17, 3}}},
                    TextCase{"Accents", u"café ça", {{0, 4}, {5, 2}}},
                    TextCase{"SurrogatePair", u"a \U0001F600 b", {{0, 1}, {5, 1}}},
                    TextCase{"Blank", u" \t ", {}}),
    [](const auto& info) { return info.param.Name; });

TEST(TextSegment, CodePointsMapToWords) {
  const SpeechSegment s = TextSegment(PlainSource(u"é \U0001F600 ok"), 50);
  EXPECT_EQ(s.Utf8, "\xC3\xA9 \xF0\x9F\x98\x80 ok");
  EXPECT_EQ(s.WordAt, (std::vector<int32_t>{0, kNoWord, kNoWord, kNoWord, 1, 1}));
  EXPECT_TRUE(TextSegment(PlainSource(u"   "), 50).Utf8.empty());
  EXPECT_EQ(TextSegment(PlainSource(std::u16string(u"a\0b", 3)), 50).Utf8, "a b");
}

struct RateCase {
  int32_t Rate;
  int32_t WordsPerMinute;
  int32_t WordGap;
};

TEST(Prosody, RateIsLogarithmicAroundTheNormalRate) {
  const RateCase cases[] = {{0, 175, 0},  {10, 525, 0}, {20, 525, 0}, {5, 303, 0},
                            {-5, 101, 0}, {-10, 80, 9}, {-30, 80, 9}};
  for (const RateCase& c : cases) {
    SCOPED_TRACE(c.Rate);
    const SynthSettings s = RateToSettings(c.Rate, SynthSettings{});
    EXPECT_EQ(s.WordsPerMinute, c.WordsPerMinute);
    EXPECT_EQ(s.WordGap, c.WordGap);
  }
  // Each step is the same factor.
  for (int32_t r = -4; r < 10; ++r)
    EXPECT_NEAR(
        double(RateToSettings(r + 1, {}).WordsPerMinute) / RateToSettings(r, {}).WordsPerMinute,
        std::pow(3.0, 0.1), 0.02);
}

TEST(Prosody, PitchAndVolume) {
  const std::pair<int32_t, int32_t> pitches[] = {{-10, 0},  {0, 50},   {4, 70},
                                                 {10, 100}, {15, 100}, {-11, 0}};
  for (auto [absmiddle, pitch] : pitches) EXPECT_EQ(AbsMiddleToPitch(absmiddle), pitch);
  EXPECT_EQ(LevelsToVolume(65535, 65535), 100);
  EXPECT_EQ(LevelsToVolume(0, 0), 0);
  EXPECT_EQ(LevelsToVolume(65535, 0), 50);
  EXPECT_EQ(LevelsToVolume(32768, 32767), 50);
  EXPECT_EQ(LevelsToVolume(-5, 70000), 50);
}

}  // namespace
}  // namespace parlan::engines
