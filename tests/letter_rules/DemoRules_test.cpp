// The demonstration language's rule file, as installed under the test root.
#include <gtest/gtest.h>

#include "LetterRulesFixture.h"

namespace parlan::testing {
namespace {

const std::filesystem::path kDemoRules =
    std::filesystem::path(PARLAN_TEST_DATA) / "root" / "Parlan Demo" / "Demor.ttg";

class DemoRulesTest : public LetterRulesTest {
 protected:
  void SetUp() override {
    LoadLetterRules(ctx, kDemoRules);
    ASSERT_TRUE(tables.RulesLoaded) << ToUtf8(error.Text);
  }
};

TEST_F(DemoRulesTest, LoadsItsClassesAndOneGroupPerLetter) {
  EXPECT_EQ(WildCard(1), "a,e,i,o,u,y");
  EXPECT_EQ(WildCard(4), "e,es,ed,er,ing");
  EXPECT_EQ(WildCard(5), "");
  EXPECT_EQ(GroupLetters(), "abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(BoxLines("txtRulesAppld").front(), "LANGUAGE=Demo");
}

TEST_F(DemoRulesTest, EveryLetterConvertsOnItsOwn) {
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    std::string phonemes = Convert(std::string(1, letter));
    EXPECT_TRUE(tables.ConversionOk) << letter;
    EXPECT_EQ(phonemes.front(), ' ') << letter;
  }
}

TEST_F(DemoRulesTest, ConvertsWords) {
  const std::pair<const char*, const char*> cases[] = {
      {"cat", " k a t"},          // default rules
      {"chat", " tS a t"},        // two-letter focus before the single letter
      {"city", " s I t i"},       // c before a front vowel, y at the end after a consonant
      {"make", " m eI k "},       // long vowel before consonant and ending; silent final e
      {"makes", " m eI k  s"},    // the ending class takes its longest member
      {"making", " m eI k I N"},  // the ending class with a member of three letters
      {"rose", " r oU z "},       // s between vowels
      {"fly", " f l aI"},         // one or more consonants back to the start of the word
      {"happy", " h a p i"},      // the same rule misses: a vowel before the consonants
      {"yes", " j E s"},          // y before a vowel at the start
      {"the", " D @"},            // boundaries on both sides
      {"thin", " T I n"},         //
      {"knee", "  n i:"},         // silent k at the start only (its empty result keeps its space)
      {"gem", " dZ E m"},         // negated right context: g stays hard unless before e, i, y
      {"go", " g oU"},            //
      {"quick", " k w I k"},      //
      {"night", " n aI t"},       //
      {"box", " b A: k s"},       //
      {"zero", " z 3: oU"},       //
      {"be", " b i:"},            //
  };
  for (const auto& [word, phonemes] : cases) {
    EXPECT_EQ(Convert(word), phonemes) << word;
    EXPECT_TRUE(tables.ConversionOk) << word;
  }
}

TEST_F(DemoRulesTest, ConvertsAPreparedPhraseForAVoice) {
  ctx.NativeEngineKind = 2;
  std::u16string chunk = u"/the/cat/[s'at]/*,/on/the/box/*./";
  EXPECT_EQ(ToUtf8(TextToPhonemes(ctx, chunk, kDemoRules)), " D @ k a ts'at , A: n D @ b A: k s .");
  EXPECT_TRUE(tables.ConversionOk);
}

}  // namespace
}  // namespace parlan::testing
