// Letter-rule files of some 20,000 rules against the hand-made English rules of 959 (made by
// scripts/make-english-rules.py at build time): the shipped rules learned from the lexicon, and
// a synthetic file, the hand-made one with some 19,000 specific context rules placed before
// the general rules of each letter, rules that never fit English prose, so that both give the
// same phonemes and the comparison shows only what the extra rules cost. The closing lines
// print the ratios of the median words per second measured in this run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "MedianReporter.h"
#include "letter_rules/LetterRules.h"
#include "strings/TextFiles.h"

namespace parlan {
namespace {

constexpr int kLargeRules = 20000;

std::filesystem::path ShippedRules() {
  return std::filesystem::path(PARLAN_SOURCE_DIR) / "languages" / "Parlan English" / "Englishr.ttg";
}

std::filesystem::path HandMadeRules() {
  return PARLAN_HAND_MADE_RULES;
}

// The files compared, by the benchmark's argument.
enum File { kHandMade = 0, kShipped = 1, kSynthetic = 2 };

// The lines of a UTF-16 little-endian file with a byte-order mark.
std::vector<std::u16string> ReadUtf16Lines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::u16string> lines(1);
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto c = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         static_cast<unsigned char>(bytes[i + 1]) << 8);
    if (c == u'\n') {
      if (!lines.back().empty() && lines.back().back() == u'\r') lines.back().pop_back();
      lines.emplace_back();
    } else {
      lines.back().push_back(c);
    }
  }
  return lines;
}

const char16_t kProse[] =
    u"it was late in the autumn when the travellers reached the little town at the foot of the "
    u"mountains the road had been long and difficult and the horses were tired mr thomas who "
    u"had led the party since the first morning climbed down from the cart and looked about him "
    u"with evident relief we shall stay here tonight he said and perhaps tomorrow as well if the "
    u"weather does not improve nobody argued with him the inn stood on the corner of the square "
    u"a narrow building of grey stone with a crooked chimney and windows that glowed warmly in "
    u"the dusk inside a fire was burning in the great hearth and the landlord a broad man with a "
    u"cheerful face hurried forward to greet them he asked how far they had come and when they "
    u"told him he shook his head in astonishment few people crossed the pass so late in the "
    u"year the snow often came early and the shepherds had already brought their flocks down "
    u"into the valley while supper was being prepared the children explored the old house";

std::vector<std::u16string> ProseWords() {
  std::vector<std::u16string> words(1);
  for (const char16_t* c = kProse; *c; ++c) {
    if (*c == u' ')
      words.emplace_back();
    else
      words.back().push_back(*c);
  }
  return words;
}

// A rule that cannot fit prose, since "qx" never occurs there, but whose focus does, so that
// it is tried: its first context item is the letter that follows (or precedes) the focus in a
// real word.
std::u16string SpecificRule(const std::u16string& word, std::mt19937& random) {
  std::uniform_int_distribution<size_t> at(0, word.size() - 1), length(1, 3), side(0, 1);
  const size_t start = at(random);
  const size_t size = std::min(length(random), word.size() - start);
  const std::u16string focus = word.substr(start, size);
  if (side(random) == 0) {
    const char16_t next = start + size < word.size() ? word[start + size] : u'e';
    return u"*[" + focus + u"]" + std::u16string(1, next) + u",qx=z";
  }
  const char16_t before = start > 0 ? word[start - 1] : u's';
  return u"qx," + std::u16string(1, before) + u"[" + focus + u"]*=z";
}

// The hand-made file with specific rules before each letter's rules, `total` rules in all.
std::u16string LargeRuleFile(int total) {
  const std::vector<std::u16string> shipped = ReadUtf16Lines(HandMadeRules());
  const std::vector<std::u16string> words = ProseWords();
  int rules = 0;
  for (const std::u16string& line : shipped) rules += line.find(u'[') != std::u16string::npos;
  std::map<char16_t, std::vector<std::u16string>> extra;
  std::mt19937 random(20000);
  std::uniform_int_distribution<size_t> pick(0, words.size() - 1);
  for (int i = rules; i < total;) {
    const std::u16string& word = words[pick(random)];
    if (word.empty()) continue;
    std::u16string rule = SpecificRule(word, random);
    extra[rule[rule.find(u'[') + 1]].push_back(std::move(rule));
    ++i;
  }
  std::u16string text;
  char16_t letter = 0;
  for (const std::u16string& line : shipped) {
    const size_t open = line.find(u'[');
    if (open != std::u16string::npos && line.find(u'=') != std::u16string::npos &&
        line[open + 1] != letter) {
      letter = line[open + 1];
      for (const std::u16string& rule : extra[letter]) text += rule + u"\r\n";
    }
    text += line + u"\r\n";
  }
  return text;
}

// Phrases of ten prose words as the pipeline prepares them.
std::vector<std::u16string> Phrases(size_t count) {
  const std::vector<std::u16string> words = ProseWords();
  std::vector<std::u16string> phrases;
  size_t next = 0;
  for (size_t p = 0; p < count; ++p) {
    std::u16string chunk;
    for (int i = 0; i < 10; ++i, ++next) chunk += u"/" + words[next % words.size()];
    phrases.push_back(chunk + u"/*./");
  }
  return phrases;
}

struct Rules {
  explicit Rules(File which) {
    // The rules themselves are measured, not the memory of words already converted.
    tables.Converted.Capacity = 0;
    if (which != kSynthetic) {
      LoadLetterRules(ctx, which == kShipped ? ShippedRules() : HandMadeRules());
      return;
    }
    file = std::filesystem::temp_directory_path() /
           ("parlan-bench-" + std::to_string(std::random_device{}()) + "r.ttg");
    std::ofstream(file, std::ios::binary) << EncodeUtf16Le(LargeRuleFile(kLargeRules), true);
    LoadLetterRules(ctx, file);
  }
  ~Rules() {
    std::error_code ec;
    if (!file.empty()) std::filesystem::remove(file, ec);
  }
  std::vector<std::u16string> Convert(const std::vector<std::u16string>& phrases) {
    std::vector<std::u16string> out;
    for (const std::u16string& p : phrases) out.push_back(ConvertTokens(ctx, p));
    return out;
  }
  std::filesystem::path file;
  LetterRuleTables tables;
  ErrorRecord error;
  DebugWindows debug;
  LetterRuleContext ctx{tables, error, debug, true, 1};
};

void BM_EnglishRules(benchmark::State& state) {
  const std::vector<std::u16string> phrases = Phrases(2000);
  const auto which = static_cast<File>(state.range(0));
  Rules rules(which);
  if (!rules.tables.RulesLoadOk) {
    state.SkipWithError("the rule file did not load");
    return;
  }
  state.counters["rules"] = static_cast<double>(rules.tables.LetterRules.size());
  if (which == kSynthetic) {
    Rules handMade(kHandMade);
    if (rules.Convert(phrases) != handMade.Convert(phrases)) {
      state.SkipWithError("the large file's phonemes differ from the hand-made file's");
      return;
    }
  }
  size_t produced = 0;
  for (auto _ : state)
    for (const std::u16string& p : phrases) produced += ConvertTokens(rules.ctx, p).size();
  benchmark::DoNotOptimize(produced);
  state.counters["words_per_s"] = benchmark::Counter(
      10.0 * static_cast<double>(phrases.size() * state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EnglishRules)
    ->ArgName("file")
    ->DenseRange(kHandMade, kSynthetic)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

void Summarise(const bench::MedianReporter& r) {
  const double handMade = r.Median("BM_EnglishRules/file:0");
  const double shipped = r.Median("BM_EnglishRules/file:1");
  const double synthetic = r.Median("BM_EnglishRules/file:2");
  std::cout
      << "\nmedian words per second (file:0 hand-made 959 rules, file:1 shipped learned rules, "
         "file:2 synthetic 20,000 rules):\n  hand-made "
      << handMade << ", learned " << shipped << ", synthetic " << synthetic << "\n";
  if (handMade <= 0) return;
  std::cout << "  learned / hand-made x" << shipped / handMade << "\n";
  std::cout << "  synthetic / hand-made x" << synthetic / handMade << "\n";
}

}  // namespace
}  // namespace parlan

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  parlan::bench::MedianReporter reporter(parlan::Summarise);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
