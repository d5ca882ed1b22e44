// Abbreviation expansion.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "normalisation/NormFixture.h"

namespace parlan {
namespace {

struct AbbrCase {
  const char* Name;
  std::u16string Word;
  std::u16string Result;
  std::vector<std::u16string> Log;
};

[[maybe_unused]] void PrintTo(const AbbrCase& c, std::ostream* os) {
  *os << c.Name;
}

// Entries 1..2 start with "D", 3 with "M", 4 with "k".
void AddAbbreviations(NormalisationTables& t) {
  t.AbbrKeys = {u"Dr", u"Dr.", u"Mr", u"kg"};
  t.AbbrExpansions = {u"doctor", u"drive", u"mister", u"kilo/grams"};
  t.AbbrCount = 4;
  t.AbbrInitials = u"DMk";
  t.AbbrGroupFirst = {1, 3, 4};
  t.AbbrGroupLast = {2, 3, 4};
}

class AbbreviationTest : public ::testing::TestWithParam<AbbrCase> {
 protected:
  void SetUp() override { AddAbbreviations(f.Tables); }
  testkit::NormFixture f;
};

TEST_P(AbbreviationTest, Expands) {
  std::u16string word = GetParam().Word;
  EXPECT_EQ(ExpandAbbreviations(f.Ctx, word), GetParam().Result);
  EXPECT_TRUE(word.empty());
  EXPECT_EQ(f.Log(), GetParam().Log);
}

INSTANTIATE_TEST_SUITE_P(
    Abbreviations, AbbreviationTest,
    ::testing::Values(
        AbbrCase{"Alone", u"Dr", u"/doctor/", {u"isol Dr doctor"}},
        AbbrCase{"BeforePhraseEnd", u"Dr/*.", u"/doctor//*./", {u"isol Dr doctor"}},
        AbbrCase{"GroupSearchedNoMatch", u"Drive", u"/Drive/", {}},
        AbbrCase{"AfterNumberWord", u"three/kg", u"/three//kilo/grams/", {u"isol kg kilo/grams"}},
        AbbrCase{"BeforeNumberWord", u"kg/three", u"/kilo/grams//three/", {u"isol kg kilo/grams"}},
        AbbrCase{"WordAfterExpansionStays", u"Dr/Drive", u"/doctor//Drive/", {u"isol Dr doctor"}},
        AbbrCase{"CaseSensitive", u"dr", u"/dr/", {}},
        AbbrCase{"NoGroup", u"hello//world", u"/hello//world/", {}},
        AbbrCase{"PhonemeBlockLosesBrackets", u"[abc]", u"/abc/", {}},
        AbbrCase{"MarkAndTag", u"*,/<t>", u"/*,//<t>/", {}},
        AbbrCase{"MarkIsNotLookedUp", u"*Dr", u"/*Dr/", {}}, AbbrCase{"EmptyWord", u"", u"", {}},
        AbbrCase{"OnlySlashes", u"//", u"", {}},
        // An empty phoneme block gives an empty token; the tokens after it are kept.
        AbbrCase{"EmptyPhonemeBlock", u"a/[]/Dr", u"/a////doctor/", {u"isol Dr doctor"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(AbbreviationsTest, KeyListedTwiceInAGroupExpandsTwice) {
  testkit::NormFixture f;
  AddAbbreviations(f.Tables);
  f.Tables.AbbrKeys[1] = u"Dr";
  std::u16string word = u"Dr";
  EXPECT_EQ(ExpandAbbreviations(f.Ctx, word), u"/doctor//drive/");
  EXPECT_EQ(f.Log().size(), 2u);
}

// Only the first group of a character is searched.
TEST(AbbreviationsTest, SecondRunOfACharacterIsNotSearched) {
  testkit::NormFixture f;
  f.Tables.AbbrKeys = {u"Dr", u"Mr", u"Dx"};
  f.Tables.AbbrExpansions = {u"doctor", u"mister", u"diagnosis"};
  f.Tables.AbbrCount = 3;
  f.Tables.AbbrInitials = u"DMD";
  f.Tables.AbbrGroupFirst = {1, 2, 3};
  f.Tables.AbbrGroupLast = {1, 2, 3};
  std::u16string word = u"Dx";
  EXPECT_EQ(ExpandAbbreviations(f.Ctx, word), u"/Dx/");
}

// Group bounds that point outside the lists are not followed.
TEST(AbbreviationsTest, GroupBoundsOutsideTheLists) {
  testkit::NormFixture f;
  f.Tables.AbbrKeys = {u"Dr"};
  f.Tables.AbbrExpansions = {u"doctor"};
  f.Tables.AbbrCount = 1;
  f.Tables.AbbrInitials = u"DM";
  f.Tables.AbbrGroupFirst = {0};
  f.Tables.AbbrGroupLast = {9};
  std::u16string word = u"Dr/Mr";
  EXPECT_EQ(ExpandAbbreviations(f.Ctx, word), u"/doctor//Mr/");
}

}  // namespace
}  // namespace parlan
