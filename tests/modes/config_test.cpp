// The configuration reader and the language name of a display name.
#include <gtest/gtest.h>

#include "modes/ParlanFileManagement.h"
#include "strings/Unicode.h"
#include "testkit/TestKit.h"

namespace parlan {
namespace {

struct ConfigCase {
  const char* name;
  std::string file;
  const char16_t* key;
  const char16_t* value;
  bool error;
};

[[maybe_unused]] void PrintTo(const ConfigCase& c, std::ostream* os) {
  *os << c.name;
}

class ReadConfig : public ::testing::TestWithParam<ConfigCase> {};

TEST_P(ReadConfig, FindsTheFirstLineStartingWithTheKey) {
  testkit::TempDir dir;
  auto file = dir.Path() / "Democ.ttg";
  testkit::WriteBytes(file, GetParam().file);
  ErrorRecord error;
  error.Record(0, u"");
  EXPECT_EQ(ReadConfigValue(file, GetParam().key, error), GetParam().value);
  if (GetParam().error) {
    EXPECT_EQ(error.Number, 8);
    EXPECT_EQ(error.Text.rfind(u"Missing or Malformed Config File for ", 0), 0u);
  } else {
    EXPECT_EQ(error.Number, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadConfig,
    ::testing::Values(
        ConfigCase{"KeyInAnyCaseValueKeepsItsCase", "gender=Both\n", u"GENDER", u"Both", false},
        ConfigCase{"FemaleFirstNeverMatchesMale", "FEMALE=Anna\nMALE=Bert\n", u"MALE", u"Bert",
                   false},
        ConfigCase{"FemaleOnlyNeverMatchesMale", "FEMALE=Anna\n", u"MALE", u"", true},
        ConfigCase{"MaleFirst", "MALE=Bert\nFEMALE=Anna\n", u"FEMALE", u"Anna", false},
        ConfigCase{"TrailingBlankKept", "GENDER=Male \n", u"GENDER", u"Male ", false},
        ConfigCase{"FirstOfTwoWins", "SPACE=1\nSPACE=0\n", u"SPACE", u"1", false},
        ConfigCase{"CrLfRemoved", "UID=abc\r\nLANGID=9\r\n", u"UID", u"abc", false},
        ConfigCase{"EmptyValueIsNoError", "UID=\n", u"UID", u"", false},
        ConfigCase{"OtherLinesIgnored", "; comment\n\nGENDER Both\nGENDER=Female", u"GENDER",
                   u"Female", false},
        ConfigCase{"BlankBeforeEqualsIsNoMatch", "GENDER =Both\n", u"GENDER", u"", true},
        ConfigCase{"Latin1Value", "MALE=Jos\xe9\n", u"MALE", u"Jos\u00e9", false},
        ConfigCase{"Utf8Value", "MALE=Jos\xc3\xa9\n", u"MALE", u"Jos\u00e9", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadConfigMissingFile, GivesEmptyAndErrorEight) {
  testkit::TempDir dir;
  ErrorRecord error;
  EXPECT_EQ(ReadConfigValue(dir.Path() / "none.ttg", u"GENDER", error), u"");
  EXPECT_EQ(error.Number, 8);
  // A folder where the file should be is unreadable too.
  error = {};
  EXPECT_EQ(ReadConfigValue(dir.Path(), u"GENDER", error), u"");
  EXPECT_EQ(error.Number, 8);
}

TEST(ReadConfigFreshRead, AnEditTakesEffectAtTheNextLookup) {
  testkit::TempDir dir;
  auto file = dir.Path() / "c.ttg";
  ErrorRecord error;
  testkit::WriteBytes(file, "GENDER=Male\n");
  EXPECT_EQ(ReadConfigValue(file, u"GENDER", error), u"Male");
  testkit::WriteBytes(file, "GENDER=Female\n");
  EXPECT_EQ(ReadConfigValue(file, u"GENDER", error), u"Female");
}

TEST(LanguageOfMode, CutsTheSuffixByTheWordFemale) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"English Male (Parlan)", u"English"},
      {u"English Female (Parlan)", u"English"},
      {u"Old English Female (Parlan)", u"Old English"},
      // A language whose own name holds "female" is cut as a female mode name.
      {u"Femalese Male (Parlan)", u"Female"},
      {u"short", u""},
      {u"", u""},
  };
  for (auto [display, language] : cases)
    EXPECT_EQ(LanguageOfMode(display), language) << ToUtf8(display);
}

TEST(LanguageFilePath, BuildsTheFourNames) {
  std::filesystem::path root = "/r";
  EXPECT_EQ(LanguageFilePath(root, u"Old English", LanguageFile::Configuration),
            "/r/Parlan Old English/Old Englishc.ttg");
  EXPECT_EQ(LanguageFilePath(root, u"X", LanguageFile::Normalisation), "/r/Parlan X/Xn.ttg");
  EXPECT_EQ(LanguageFilePath(root, u"X", LanguageFile::Exceptions), "/r/Parlan X/Xe.ttg");
  EXPECT_EQ(LanguageFilePath(root, u"X", LanguageFile::Rules), "/r/Parlan X/Xr.ttg");
}

}  // namespace
}  // namespace parlan
