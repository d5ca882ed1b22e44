// Words converted again come from the memory of converted words: the same phonemes, the same
// flag and the same recorded errors as a fresh conversion, and nothing kept that should not be.
#include <string>
#include <vector>

#include "LetterRulesFixture.h"

namespace parlan::testing {
namespace {

struct Outcome {
  std::string Phonemes;
  bool Ok = false;
  int16_t Error = 0;
  std::string ErrorText;
  bool operator==(const Outcome&) const = default;
};

class ConvertedWordsTest : public LetterRulesTest {
 protected:
  // Each word converted twice, with the error cleared before each conversion.
  std::vector<Outcome> Twice(const std::vector<std::string>& words) {
    std::vector<Outcome> out;
    for (int round = 0; round < 2; ++round)
      for (const std::string& w : words) {
        error = {};
        std::string phonemes = Convert(w);
        out.push_back({phonemes, tables.ConversionOk, error.Number, ToUtf8(error.Text)});
      }
    return out;
  }

  std::vector<Outcome> WithAndWithoutMemory(const std::vector<std::string>& rules,
                                            const std::vector<std::string>& words) {
    Load({"1 a,e,i"}, rules);
    ctx.NeverDebug = true;
    tables.Converted.Capacity = 0;
    const std::vector<Outcome> fresh = Twice(words);
    tables.Converted.Capacity = ConvertedWords::kMaxWords;
    EXPECT_EQ(Twice(words), fresh);
    return fresh;
  }
};

const std::vector<std::string> kRules = {"_[c]1=k", "[c]=s", "[a]=a", "[e]=E", "[t]=t", "[i]=I"};

// Words that convert, words with a character of no group, words a rule is missing for.
TEST_F(ConvertedWordsTest, GiveWhatAFreshConversionGives) {
  const std::vector<std::string> words = {"cat", "ice", "cit", "cat", "cz", "zebra", "", "act"};
  const std::vector<Outcome> fresh = WithAndWithoutMemory(kRules, words);
  EXPECT_EQ(fresh[0].Phonemes, " k a t");
  EXPECT_FALSE(fresh[4].Ok);
  EXPECT_NE(fresh[4].Error, 0);
  // Only the words that converted are kept, once each: cat, ice, cit, the empty word, act.
  EXPECT_EQ(tables.Converted.Phonemes.size(), 5u);
}

// A context that cannot be read records its error every time it is tried.
TEST_F(ConvertedWordsTest, AreNotKeptWhenAContextRecordsErrors) {
  const std::vector<Outcome> fresh =
      WithAndWithoutMemory({"[a]b,b,b,b,b,b,b,b,b,b,b=X", "[a]=a", "[b]=b"}, {"ab", "ab"});
  EXPECT_EQ(fresh[1].Error, errors::kRightContext);
  EXPECT_EQ(fresh[3].Error, errors::kRightContext);
  EXPECT_TRUE(tables.Converted.Phonemes.empty());
}

// A remembered word writes the debug lines of the rules its conversion applied, again.
TEST_F(ConvertedWordsTest, WriteTheSameDebugLinesAgain) {
  Load({"1 a,e,i"}, kRules);
  ctx.NeverDebug = false;
  auto lines = [&](size_t capacity) {
    tables.Converted.Capacity = capacity;
    debug.Click("frmAdvanced", "cmdClear");
    for (const char* w : {"cat", "ice", "cat", "cz", "cat"}) Convert(w);
    return BoxLines("txtRulesAppld");
  };
  const std::vector<std::string> fresh = lines(0);
  EXPECT_EQ(lines(ConvertedWords::kMaxWords), fresh);
  EXPECT_EQ(tables.Converted.Phonemes.size(), 2u);  // cat and ice
  EXPECT_GE(fresh.size(), 12u);                     // three rules for each "cat"
}

// A new load makes new tables: what the old ones converted is forgotten.
TEST_F(ConvertedWordsTest, AreForgottenWhenOtherRulesAreLoaded) {
  Load({"1 a,e,i"}, kRules);
  ctx.NeverDebug = true;
  EXPECT_EQ(Convert("cat"), " k a t");
  Load({"1 a,e,i"}, {"[c]=C", "[a]=A", "[t]=T"});
  EXPECT_EQ(Convert("cat"), " C A T");
}

// The memory never holds more than its capacity.
TEST_F(ConvertedWordsTest, StayWithinTheirCapacity) {
  Load({"1 a,e,i"}, kRules);
  ctx.NeverDebug = true;
  tables.Converted.Capacity = 3;
  for (const char* w : {"cat", "act", "tea", "ice", "tic", "cite", "cat"}) {
    Convert(w);
    EXPECT_LE(tables.Converted.Phonemes.size(), 3u) << w;
  }
  EXPECT_EQ(Convert("cat"), " k a t");
}

}  // namespace
}  // namespace parlan::testing
