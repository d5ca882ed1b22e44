// The voice list of the eSpeak NG engines: female forms, voices left out, the direct
// text-to-speech object's selection criteria and the voice's attribute selection.
#include <gtest/gtest.h>

#include "engines/EspeakVoiceCatalogue.h"
#include "strings/Unicode.h"

namespace parlan::engines {
namespace {

VoiceCatalogue Sample() {
  return VoiceCatalogue::FromVoices({{"English (Great Britain)", "gmw/en", "en-gb", 1},
                                     {"English (America)", "gmw/en-US", "en-US", 1},
                                     {"French (France)", "roa/fr", "fr-fr", 0},
                                     {"Mbrola English", "mb/mb-en1", "en", 1},
                                     {"Jane", "x/jane", "en-us", 2}},
                                    "f3");
}

TEST(VoiceCatalogue, FemaleFormsFollowEachVoiceAndMbrolaIsLeftOut) {
  const VoiceCatalogue c = Sample();
  std::vector<std::string> described, synth;
  for (const auto& e : c.Entries()) {
    described.push_back(ToUtf8(e.Description) + (e.Female ? " [f]" : " [m]"));
    synth.push_back(e.SynthName);
  }
  EXPECT_EQ(described, (std::vector<std::string>{
                           "English (Great Britain) [m]", "English (Great Britain) Female [f]",
                           "English (America) [m]", "English (America) Female [f]",
                           "French (France) [m]", "French (France) Female [f]", "Jane [f]"}));
  EXPECT_EQ(synth[3], "gmw/en-US+f3");
  EXPECT_EQ(synth[6], "x/jane");
  EXPECT_EQ(c.Entries()[2].Language, "en-us");
  EXPECT_EQ(c.Entries()[2].Lcid, 1033u);
  EXPECT_EQ(c.DefaultIndex(), 0u);
}

TEST(VoiceCatalogue, WithoutFemaleVariantOnlyTheVoicesThemselves) {
  const VoiceCatalogue c =
      VoiceCatalogue::FromVoices({{"A", "x/a", "en", 1}, {"B", "x/b", "de", 1}}, "");
  ASSERT_EQ(c.Size(), 2u);
  EXPECT_FALSE(c.Entries()[1].Female);
  EXPECT_EQ(VoiceCatalogue().DefaultIndex(), 0u);
}

TEST(VoiceCatalogue, LanguageNumbers) {
  EXPECT_EQ(LanguageTagToLcid("en-us"), 1033u);
  EXPECT_EQ(LanguageTagToLcid("en-gb"), 2057u);
  EXPECT_EQ(LanguageTagToLcid("fr-fr"), 1036u);
  EXPECT_EQ(LanguageTagToLcid(""), 0u);
}

struct FindCase {
  std::u16string Criteria;
  std::optional<size_t> Expected;
};

TEST(VoiceCatalogue, FindByCriteria) {
  const VoiceCatalogue c = Sample();
  const FindCase cases[] = {
      {u"EngineID=;Gender= 1;LanguageID=1033", 3},
      {u"EngineID=;Gender= 2;LanguageID=1033", 2},
      {u"EngineID=gmw/en;Gender= 2;LanguageID=", 0},
      {u"EngineID=roa/fr;Gender= 1;LanguageID=1036", 5},
      {u"EngineID=gmw/en-US+f3;Gender= 2;LanguageID=1036", 3},  // the engine weighs most
      {u"LanguageID=409;Gender= 2", 2},                         // hexadecimal number
      {u"LanguageID=0x40C", 4},
      {u"LanguageID=2057", 0},
      {u"LanguageID=3081;Gender= 1", 1},  // no English (Australia): the same primary language
      {u"languageid=fr-FR;GENDER=2", 4},
      {u"Gender= 1", 1},
      {u"EngineID=Jane", 6},
      {u"EngineID=nothing;Gender=;LanguageID=", std::nullopt},
      {u"LanguageID=1031", std::nullopt},  // German: nothing fits
      {u"", std::nullopt},
      {u"Speaker=Bob", std::nullopt},
  };
  for (const FindCase& f : cases) {
    SCOPED_TRACE(ToUtf8(f.Criteria));
    EXPECT_EQ(c.Find(f.Criteria), f.Expected);
  }
}

struct SelectCase {
  std::u16string Required;
  std::u16string Optional;
  std::vector<size_t> Expected;
};

TEST(VoiceCatalogue, SelectByAttributes) {
  const VoiceCatalogue c = Sample();
  const SelectCase cases[] = {
      {u"", u"", {0, 1, 2, 3, 4, 5, 6}},
      {u"Name=English (America) Female", u"", {3}},
      {u"name=english (america)", u"", {2}},
      {u"Name=Nobody", u"", {}},
      {u"Gender=Female", u"", {1, 3, 5, 6}},
      {u"Language=409", u"", {2, 3, 6}},
      {u"Language=9", u"", {0, 1, 2, 3, 6}},
      {u"Language=409;Gender=Male", u"", {2}},
      {u"", u"Gender=Female", {1, 3, 5, 6, 0, 2, 4}},
      {u"Language=409", u"Gender=Female", {3, 6, 2}},
      {u"Age=30", u"", {}},
      {u"Name", u"", {0, 1, 2, 3, 4, 5, 6}},
  };
  for (const SelectCase& s : cases) {
    SCOPED_TRACE(ToUtf8(s.Required + u" | " + s.Optional));
    EXPECT_EQ(c.Select(s.Required, s.Optional), s.Expected);
  }
}

}  // namespace
}  // namespace parlan::engines
