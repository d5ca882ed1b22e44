// The pieces of the tool that are worth testing on their own: the phoneme tokenizer, the
// recognition of mistyped subcommands, the pronunciation element reader and the mode kinds.
#include <gtest/gtest.h>

#include <algorithm>

#include "ControlHost.h"
#include "EspeakPhonemes.h"
#include "Options.h"
#include "PhonemeTap.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

struct PhonemeCase {
  const char* Text;
  std::vector<std::u16string> Unknown;
};

TEST(UnknownPhonemes, LongestKnownSymbolFirst) {
  const PhonemeCase cases[] = {
      {"", {}},
      {"D@ kat", {}},
      {"w'0n", {}},               // stress mark inside a word
      {"hEloUw3:ld", {}},         // symbols glued together
      {"aI@ aI3 i@3 U@ t#", {}},  // multi-character symbols
      {"_: _! _ || , %", {}},     // pauses, separators and marks
      {"DQ@", {u"Q"}},            // one unknown letter between known ones
      {"kat QQ tS", {u"QQ"}},     // an unknown run ends at a blank
      {"Q1a", {u"Q1"}},           // ...or at the next known symbol
      {"#", {u"#"}},              // the end mark is not a phoneme
      {"a*.b", {u"*."}},
  };
  for (const auto& c : cases) EXPECT_EQ(UnknownPhonemes(U16(c.Text)), c.Unknown) << c.Text;
}

TEST(UnknownPhonemes, EveryListedSymbolIsKnownAlone) {
  for (const std::u16string& symbol : EspeakEnglishSymbols())
    EXPECT_TRUE(UnknownPhonemes(symbol).empty()) << ToUtf8(symbol);
}

TEST(Subcommands, MistypedNamesAreRecognisedButWordsAreNot) {
  const std::pair<const char*, const char*> typos[] = {
      {"mode", "modes"},        {"mdoes", "modes"}, {"speek", "speak"}, {"spek", "speak"},
      {"peak", "speak"},        {"trase", "trace"}, {"chek", "check"},  {"phonems", "phonemes"},
      {"phonemse", "phonemes"}, {"hlep", "help"},
  };
  for (auto [typo, name] : typos) EXPECT_EQ(NearestSubcommand(typo), name) << typo;
  for (const char* word :
       {"hello", "modes", "made", "a", "Modes", "tracer1", "checks!", "world", "help", "phonetics"})
    EXPECT_EQ(NearestSubcommand(word), "") << word;
}

TEST(Subcommands, EveryNameIsListedOnce) {
  const std::vector<std::string> names = SubcommandNames();
  for (const char* name : {"speak", "modes", "phonemes", "trace", "check", "help"})
    EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << name;
}

TEST(Pronunciation, SymbolsAreTheAttributeText) {
  std::u16string symbols;
  EXPECT_TRUE(PronunciationSymbols(u"<pron sym=\"D@ kat !\"/>", symbols));
  EXPECT_EQ(symbols, u"D@ kat !");
  EXPECT_TRUE(PronunciationSymbols(u"<pron sym=\"\"/>", symbols));
  EXPECT_EQ(symbols, u"");
  for (const char16_t* other : {u"hello", u"<pitch absmiddle=\" 0\"/>", u"<pron sym=\"", u""})
    EXPECT_FALSE(PronunciationSymbols(other, symbols)) << ToUtf8(other);
}

TEST(ModeKinds, FromTheDisplayNameSuffix) {
  EXPECT_EQ(KindOfMode(u"English Male (Parlan)"), "native");
  EXPECT_EQ(KindOfMode(u"Sam  (SAPI 4)"), "SAPI 4");
  EXPECT_EQ(KindOfMode(u"Sam (SAPI 4)"), "unknown");  // one blank is not the engine's suffix
  EXPECT_EQ(KindOfMode(u"Alice (SAPI 5)"), "SAPI 5");
  EXPECT_EQ(KindOfMode(u""), "unknown");
}

}  // namespace
}  // namespace parlan::cli
