// The text handed to eSpeak NG is kept away from the inputs that overflow its buffers, and real
// text passes unchanged.
#include <gtest/gtest.h>

#include "engines/EspeakSpeech.h"
#include "engines/EspeakTextGuard.h"
#include "strings/Unicode.h"

namespace parlan::engines {
namespace {

struct GuardCase {
  const char* Name;
  std::u32string Input;
  std::u32string Expected;  // "|" marks an inserted blank
};

void PrintTo(const GuardCase& c, std::ostream* os) {
  *os << c.Name;
}

std::u32string Repeat(std::u32string_view piece, int times) {
  std::u32string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

std::string Utf8(std::u32string_view text) {
  std::string out;
  for (char32_t c : text) AppendUtf8(out, c == U'|' ? U' ' : c);
  return out;
}

class TextGuardTest : public testing::TestWithParam<GuardCase> {};

TEST_P(TextGuardTest, WritesWhatEspeakCanRead) {
  const GuardCase& c = GetParam();
  // Every code point belongs to word 7, so inserted blanks stand out as belonging to none.
  const GuardedText out = GuardEspeakText(c.Input, std::vector<int32_t>(c.Input.size(), 7));
  EXPECT_EQ(out.Utf8, Utf8(c.Expected));
  ASSERT_EQ(out.WordAt.size(), c.Expected.size());
  for (size_t k = 0; k < c.Expected.size(); ++k)
    EXPECT_EQ(out.WordAt[k], c.Expected[k] == U'|' ? kNoWord : 7) << k;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextGuardTest,
    testing::Values(
        GuardCase{"PlainText", U"The cat sat, e.g. on U.S.A. soil.",
                  U"The cat sat, e.g. on U.S.A. soil."},
        GuardCase{"FourAbbreviationsInARowKept", U"e.g. i.e. e.g. i.e.", U"e.g. i.e. e.g. i.e."},
        GuardCase{"FifthAbbreviationInARowSpelled", U"e.g. i.e. e.g. i.e. x.y. a.b.",
                  U"e.g. i.e. e.g. i.e. x y. a b."},
        GuardCase{"AWordEndsTheRow", U"e.g. e.g. e.g. e.g. so e.g. e.g.",
                  U"e.g. e.g. e.g. e.g. so e.g. e.g."},
        GuardCase{"PunctuationDoesNotEndTheRow", U"e.g. , e.g. ; e.g. - e.g. , e.g.",
                  U"e.g. , e.g. ; e.g. - e.g. , e g."},
        GuardCase{"SixDotsInAWordKept", U"a.b.c.d.e.f.g", U"a.b.c.d.e.f.g"},
        GuardCase{"SevenDotsInAWordSpelled", U"a.b.c.d.e.f.g.h.", U"a b c d e f g h."},
        GuardCase{"DotsBetweenDigitsKept", U"1.2.3.4.5.6.7.8.9", U"1.2.3.4.5.6.7.8.9"},
        GuardCase{"RunAtTheLimitKept", Repeat(U"s'", 32), Repeat(U"s'", 32)},
        GuardCase{"LongRunCut", Repeat(U"s'", 40), Repeat(U"s'", 32) + U"|" + Repeat(U"s'", 8)},
        GuardCase{"LongRunCutByBytes", Repeat(U"é", 40), Repeat(U"é", 32) + U"|" + Repeat(U"é", 8)},
        GuardCase{"CutCountsFromTheLastBlank", U"ab " + Repeat(U"q", 70),
                  U"ab " + Repeat(U"q", 64) + U"|" + Repeat(U"q", 6)},
        GuardCase{"SpelledDotsStartANewRun", Repeat(U"a.", 40) + U"a", Repeat(U"a ", 40) + U"a"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace parlan::engines
