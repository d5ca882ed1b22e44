// The choice of a voice from speech-dispatcher's settings and the scaling of its prosody values.
#include <gtest/gtest.h>

#include "Voices.h"

namespace parlan::speechd {
namespace {

const std::vector<ModuleVoice> kVoices = {
    {"English Male (Parlan)", "en-US", false, 1},
    {"English Female (Parlan)", "en-US", true, 2},
    {"English (Great Britain) (SAPI 4)", "en-GB", false, 3},
    {"English (Great Britain) Female (SAPI 4)", "en-GB", true, 4},
    {"French (France) (SAPI 4)", "fr-FR", false, 5},
    {"French (France) Female (SAPI 4)", "fr-FR", true, 6},
};

struct ChoiceCase {
  VoiceWish Wish;
  const char* Expected;
};

[[maybe_unused]] void PrintTo(const ChoiceCase& c, std::ostream* os) {
  *os << '"' << c.Wish.SynthesisVoice << "\" \"" << c.Wish.Language << "\" \"" << c.Wish.VoiceType
      << "\"";
}

class ChooseVoiceTest : public testing::TestWithParam<ChoiceCase> {};

TEST_P(ChooseVoiceTest, PicksTheVoiceAUserExpects) {
  const int i = ChooseVoice(kVoices, GetParam().Wish, "English Female (Parlan)");
  ASSERT_GE(i, 0);
  EXPECT_EQ(kVoices[size_t(i)].Name, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooseVoiceTest,
    testing::Values(
        // speech-dispatcher's defaults: the configured default voice.
        ChoiceCase{{"NULL", "en", "male1"}, "English Female (Parlan)"},
        ChoiceCase{{"", "", ""}, "English Female (Parlan)"},
        ChoiceCase{{"NULL", "en", "male2"}, "English Male (Parlan)"},
        ChoiceCase{{"NULL", "en-GB", "female1"}, "English (Great Britain) Female (SAPI 4)"},
        ChoiceCase{{"NULL", "en-gb", "male1"}, "English (Great Britain) (SAPI 4)"},
        ChoiceCase{{"NULL", "fr", "female2"}, "French (France) Female (SAPI 4)"},
        ChoiceCase{{"NULL", "fr-CA", "male1"}, "French (France) (SAPI 4)"},
        // A name wins over everything, without regard to case or spacing; a bogus one is
        // ignored; an unknown language falls back to the default voice.
        ChoiceCase{{"french (france)  female (SAPI 4)", "en", "male1"},
                   "French (France) Female (SAPI 4)"},
        ChoiceCase{{"bleaaaarg", "fr", "male1"}, "French (France) (SAPI 4)"},
        ChoiceCase{{"NULL", "xx", "female1"}, "English Female (Parlan)"}));

TEST(ChooseVoice, NoVoicesNoChoiceAndAMissingDefaultFallsBackToTheFirst) {
  EXPECT_EQ(ChooseVoice({}, VoiceWish{}, "x"), -1);
  EXPECT_EQ(ChooseVoice(kVoices, VoiceWish{"NULL", "de", "male1"}, "Nonexistent"), 0);
}

TEST(Prosody, ValuesSpreadOverTheRangeAroundTheNormal) {
  const ProsodyRange speed{80, 175, 450};
  const std::vector<std::pair<int, int32_t>> cases = {{0, 175},   {-100, 80}, {100, 450}, {50, 313},
                                                      {-50, 128}, {-500, 80}, {900, 450}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(ScaleProsody(value, speed), expected);
  EXPECT_EQ(ScaleProsody(100, ProsodyRange{-10, 0, 10}), 10);
  EXPECT_EQ(VolumeLevel(100), 10);
  EXPECT_EQ(VolumeLevel(0), 5);
  EXPECT_EQ(VolumeLevel(-100), 0);
  EXPECT_EQ(VolumeLevel(-1000), 0);
}

}  // namespace
}  // namespace parlan::speechd
