// How -v names a mode, on a listing laid out like the real one: native modes first, then the
// direct engine's modes with their two blanks, then the voices.
#include <gtest/gtest.h>

#include "CliErrors.h"
#include "ModeChoice.h"
#include "Prosody.h"

namespace parlan::cli {
namespace {

std::vector<ModeEntry> Listing() {
  const std::pair<const char16_t*, const char*> modes[] = {
      {u"English Male (Parlan)", "en-us"},
      {u"English Female (Parlan)", "en-us"},
      {u"Afrikaans  (SAPI 4)", "af"},
      {u"English (Great Britain)  (SAPI 4)", "en-gb"},
      {u"English (Great Britain) Female  (SAPI 4)", "en-gb"},
      {u"English (America)  (SAPI 4)", "en-us"},
      {u"English (Scotland) (SAPI 5)", "en-gb-scotland"},
      {u"English (Scotland) Female (SAPI 5)", "en-gb-scotland"},
      {u"German (SAPI 5)", "de"},
  };
  std::vector<ModeEntry> listing;
  for (auto [name, language] : modes) {
    const int32_t number = static_cast<int32_t>(listing.size()) + 1;
    listing.push_back({number, name, KindOfMode(name), language, IsFemaleMode(name)});
  }
  return listing;
}

struct ChoiceCase {
  const char* Wanted;
  int32_t Number;  // 0: none
};

class ModeChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ModeChoice, FindsTheModeAnEspeakUserMeans) {
  EXPECT_EQ(FindMode(Listing(), GetParam().Wanted), GetParam().Number) << GetParam().Wanted;
}

INSTANTIATE_TEST_SUITE_P(
    Names, ModeChoice,
    ::testing::Values(ChoiceCase{"Afrikaans  (SAPI 4)", 3},  // as listed
                      ChoiceCase{"Afrikaans (SAPI 4)", 3},   // as it reads
                      ChoiceCase{"afrikaans (sapi 4)", 3}, ChoiceCase{"german (SAPI 5)", 9},
                      ChoiceCase{"en-us", 1},     // native first
                      ChoiceCase{"EN-GB", 4},     // codes without regard to case
                      ChoiceCase{"en-gb+f3", 5},  // a female variant
                      ChoiceCase{"en-us+f", 2}, ChoiceCase{"en-us+m2", 1},
                      ChoiceCase{"en", 1},  // no exact "en": the first "en-..."
                      ChoiceCase{"en-gb-scotland+f", 8}, ChoiceCase{"de", 9},
                      ChoiceCase{"English Female", 2},  // words of the name
                      ChoiceCase{"scotland female", 8}, ChoiceCase{"great britain", 4},
                      ChoiceCase{"eng fem", 2},  // beginnings of words
                      ChoiceCase{"frika", 0},    // ...not their middles
                      ChoiceCase{"fr", 0},
                      ChoiceCase{"af+f", 0},  // no female Afrikaans in this listing
                      ChoiceCase{"Klingon", 0},
                      ChoiceCase{"English (America)", 6}),  // words, not the prefix "en"
    [](const auto& info) {
      std::string name;
      for (char c : std::string(info.param.Wanted))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name + "_" + std::to_string(info.index);
    });

TEST(ModeChoiceErrors, AVariantNoModeHasIsAnError) {
  EXPECT_THROW(FindMode(Listing(), "en+croak"), UsageError);
  EXPECT_THROW(FindMode(Listing(), "en+"), UsageError);
}

TEST(ModeChoiceLanguages, ACodeTakesItsMoreParticularForms) {
  EXPECT_TRUE(LanguageMatches("en-us", "en"));
  EXPECT_TRUE(LanguageMatches("en-gb-scotland", "en-GB"));
  EXPECT_TRUE(LanguageMatches("en", "en"));
  EXPECT_FALSE(LanguageMatches("eo", "e"));      // not a prefix of letters
  EXPECT_FALSE(LanguageMatches("en", "en-us"));  // not the other way round
  EXPECT_FALSE(LanguageMatches("", "en"));
  EXPECT_FALSE(LanguageMatches("en", ""));
}

struct UnitCase {
  int32_t Given;
  int32_t Min;
  int32_t Max;
  int32_t Engine;
};

TEST(Prosody, SpeedInWordsPerMinuteOntoEachEngine) {
  const UnitCase cases[] = {
      {80, 80, 450, 80}, {175, 80, 450, 175}, {450, 80, 450, 450},  // the direct engine
      {175, -10, 10, 0}, {100, -10, 10, -5},  {40, 80, 450, 80},    // a voice: 175 * 3^(r/10)
      {450, -10, 10, 9}, {80, -10, 10, -7},   {300, -10, 10, 5},
      {265, 0, 100, 50},  // another linear range: its middle
  };
  for (const UnitCase& c : cases)
    EXPECT_EQ(prosody::SpeedToEngine(c.Given, c.Min, c.Max), c.Engine)
        << c.Given << " in " << c.Min << ".." << c.Max;
}

TEST(Prosody, PitchAndVolumeOntoEachEngine) {
  const UnitCase pitches[] = {
      {0, 0, 100, 0},   {50, 0, 100, 50},  {99, 0, 100, 99}, {0, -10, 10, -10},
      {50, -10, 10, 0}, {99, -10, 10, 10}, {75, -10, 10, 5},
  };
  for (const UnitCase& c : pitches)
    EXPECT_EQ(prosody::PitchToEngine(c.Given, c.Min, c.Max), c.Engine)
        << c.Given << " in " << c.Min << ".." << c.Max;
  const std::pair<int32_t, int32_t> volumes[] = {{0, 0},  {4, 0},    {6, 1},
                                                 {70, 7}, {100, 10}, {200, 10}};
  for (auto [amplitude, level] : volumes)
    EXPECT_EQ(prosody::AmplitudeToLevel(amplitude), level) << amplitude;
}

}  // namespace
}  // namespace parlan::cli
