// The narrowing of the candidate rules (the letter index and the screens of first letters) only
// saves work: random rule files convert random words exactly as they do with every rule of the
// group tried in file order.
#include <map>
#include <random>
#include <string>
#include <vector>

#include "LetterRulesFixture.h"
#include "letter_rules/CompiledRules.h"

namespace parlan::testing {
namespace {

// With capitals, a letter of no group, and the Kelvin sign, which folds to an ASCII "k".
constexpr char kLetters[] = "abcehkAHé\u212a";

std::string Pick(std::mt19937& random, const std::vector<std::string>& from) {
  return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
}

std::string Context(std::mt19937& random) {
  static const std::vector<std::string> items = {"a", "b", "e", "h",  "ab", "he", "1",
                                                 "2", "3", "_", ":1", ";2", "c"};
  const int count = std::uniform_int_distribution<int>(0, 3)(random);
  if (count == 0) return "";
  std::string out = std::uniform_int_distribution<int>(0, 5)(random) == 0 ? "!" : "";
  for (int k = 0; k < count; ++k) out += (k ? "," : "") + Pick(random, items);
  return out;
}

// Rules grouped by the first letter of their focus, in random order within each group.
std::vector<std::string> RandomRules(std::mt19937& random) {
  static const std::vector<std::string> foci = {"a", "b",  "c",  "e",  "h",
                                                "k", "ab", "ch", "ea", "abc"};
  std::map<char, std::vector<std::string>> groups;
  for (int i = 0; i < 240; ++i) {
    const std::string focus = Pick(random, foci);
    groups[focus[0]].push_back(Context(random) + "[" + focus + "]" + Context(random) + "=" +
                               std::to_string(i));
  }
  std::vector<std::string> rules;
  for (auto& [letter, list] : groups) rules.insert(rules.end(), list.begin(), list.end());
  return rules;
}

std::vector<std::string> RandomWords(std::mt19937& random) {
  std::vector<std::u16string> letters;
  for (char16_t c : U16(kLetters)) letters.push_back(std::u16string(1, c));
  std::vector<std::string> words;
  for (int w = 0; w < 200; ++w) {
    std::u16string word;
    const int size = std::uniform_int_distribution<int>(1, 7)(random);
    for (int k = 0; k < size; ++k)
      word += letters[std::uniform_int_distribution<size_t>(0, letters.size() - 1)(random)];
    words.push_back(ToUtf8(word));
  }
  // The sign folds to the "k" a context may need after each focus.
  for (const char* start : {"a", "b", "c", "e", "h", "k", "ab", "ch", "ea", "abc", "ba", "ka"})
    for (const char* end : {"\u212a", "\u212aa", "A", "Ha"})
      words.push_back(std::string(start) + end);
  return words;
}

class NarrowingAgreement : public LetterRulesTest {
 protected:
  std::vector<std::string> ConvertAll(const std::vector<std::string>& words) {
    std::vector<std::string> out;
    for (const std::string& w : words) {
      error = {};
      const std::string phonemes = Convert(w);
      out.push_back(w + " ->" + phonemes + (tables.ConversionOk ? " ok " : " failed ") +
                    std::to_string(error.Number) + " " + ToUtf8(error.Text));
    }
    return out;
  }
};

TEST_F(NarrowingAgreement, RandomFilesConvertAsWithEveryRuleTried) {
  std::mt19937 random(2026);
  // First a few files whose answers hang on one character each, then random ones.
  const std::vector<std::vector<std::string>> fixed = {
      {"[a]k=1", "[a]=2", "[k]=k"},
      {"[a]4=1", "[a]=2", "[k]=k"},
      {"[a]_=1", "[a]h=2", "[a]=3", "[h]=h"},
      {"k[a]=1", "4[a]=2", "[a]=3", "[k]=k"},
  };
  for (size_t file = 0; file < fixed.size() + 200; ++file) {
    const std::vector<std::string> rules = file < fixed.size() ? fixed[file] : RandomRules(random);
    Load({"1 a,e", "2 b,ch", "3 h", "4 k,a"}, rules);
    ctx.NeverDebug = true;
    tables.Converted.Capacity = 0;
    const std::vector<std::string> words = RandomWords(random);
    const std::vector<std::string> narrowed = ConvertAll(words);
    // The same tables with nothing narrowed: no lists, no screens.
    auto every = std::const_pointer_cast<CompiledRules>(CompileRules(tables));
    every->IndexBudget = 0;
    for (RuleScreen& screen : every->Screens) screen = RuleScreen{};
    tables.Compiled = every;
    const std::vector<std::string> plain = ConvertAll(words);
    for (size_t w = 0; w < words.size(); ++w)
      ASSERT_EQ(narrowed[w], plain[w]) << "file " << file << "\n"
                                       << [&] {
                                            std::string text;
                                            for (const std::string& r : rules) text += r + "\n";
                                            return text;
                                          }();
  }
}

}  // namespace
}  // namespace parlan::testing
