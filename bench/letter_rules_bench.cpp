// Letter-to-sound conversion speed: prepared phrases of ten words each, converted with a rule
// file of several hundred context rules, for texts of 10 KB, 1 MB and 10 MB, with the debug
// boxes written and with debugging barred. The time per word must not grow with the text.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "letter_rules/LetterRules.h"
#include "strings/StringFunctions.h"
#include "strings/TextFiles.h"

namespace parlan {
namespace {

constexpr char16_t kVowels[] = u"aeiou";
constexpr char16_t kConsonants[] = u"bcdfghjklmnpqrstvwxyz";

// Seventeen rules for every letter: doubled letter, letter plus vowel, contexts of every kind
// (boundaries, classes, one-or-more, zero-or-more, literals, negation), then the default.
std::u16string RuleFileText() {
  std::u16string text =
      u"LANGUAGE=Bench\r\nWILD CARDS\r\n1 a,e,i,o,u,y\r\n"
      u"2 b,c,d,f,g,h,j,k,l,m,n,p,q,r,s,t,v,w,x,z\r\n3 e,i,y\r\n4 e,es,ed,er,ing\r\nRULES\r\n";
  const std::u16string contexts[] = {
      u"_[#]1=#1",    u"_,:2[#]_=#2",    u"1[#]1=#3",  u"!1[#]2,2=#4", u"2,2[#]3=#5",
      u"[#]3,2,_=#6", u";2,1[#]:2,_=#7", u"a,b[#]=#8", u"[#]e,r,_=#9", u"!_[#]4,_=#0"};
  for (char16_t letter = u'a'; letter <= u'z'; ++letter) {
    std::u16string l(1, letter);
    text += u"[" + l + l + u"]=" + l + u"\r\n";
    for (const char16_t* v = kVowels; *v; ++v)
      text += u"[" + l + *v + u"]2,4,_=" + l + *v + u":\r\n";
    for (std::u16string rule : contexts) {
      for (char16_t& c : rule)
        if (c == u'#') c = letter;
      text += rule + u"\r\n";
    }
    text += u"[" + l + u"]=" + l + u"\r\n";
  }
  return text + u"END\r\n";
}

// Words of two to nine letters, mostly alternating consonants and vowels, from a fixed seed.
std::vector<std::u16string> WordList(size_t count) {
  std::mt19937 random(7948);
  std::uniform_int_distribution<int> length(2, 9), vowel(0, 4), consonant(0, 20), coin(0, 3);
  std::vector<std::u16string> words(count);
  for (auto& word : words) {
    bool wantVowel = coin(random) == 0;
    for (int i = length(random); i > 0; --i, wantVowel = !wantVowel)
      word.push_back(wantVowel ? kVowels[vowel(random)] : kConsonants[consonant(random)]);
  }
  return words;
}

struct PreparedText {
  std::vector<std::u16string> chunks;  // "/w1/.../w10/*./"
  int64_t words = 0;
};

PreparedText Prepare(size_t bytes) {
  std::vector<std::u16string> list = WordList(5000);
  std::mt19937 random(1976);
  std::uniform_int_distribution<size_t> pick(0, list.size() - 1);
  PreparedText text;
  size_t size = 0;
  while (size < bytes) {
    std::u16string chunk;
    for (int i = 0; i < 10; ++i) {
      const std::u16string& word = list[pick(random)];
      chunk += u"/" + word;
      size += word.size() + 1;
      ++text.words;
    }
    text.chunks.push_back(chunk + u"/*./");
  }
  return text;
}

class RuleEnvironment {
 public:
  RuleEnvironment() {
    file_ = std::filesystem::temp_directory_path() /
            ("parlan-bench-" + std::to_string(std::random_device{}()) + "r.ttg");
    std::ofstream(file_, std::ios::binary) << EncodeUtf16Le(RuleFileText(), true);
    LoadLetterRules(ctx, file_);
  }
  ~RuleEnvironment() {
    std::error_code ec;
    std::filesystem::remove(file_, ec);
  }

  LetterRuleTables tables;
  ErrorRecord error;
  DebugWindows debug;
  LetterRuleContext ctx{tables, error, debug};

 private:
  std::filesystem::path file_;
};

// Arguments: text size in bytes, and 1 when debugging is barred.
void BM_ConvertText(benchmark::State& state) {
  const PreparedText text = Prepare(static_cast<size_t>(state.range(0)));
  RuleEnvironment env;
  if (!env.tables.RulesLoaded) {
    state.SkipWithError("rule file not loaded");
    return;
  }
  env.ctx.NeverDebug = state.range(1) != 0;
  env.ctx.NativeEngineKind = 2;
  size_t phonemes = 0;
  for (auto _ : state) {
    for (size_t i = 0; i < text.chunks.size(); ++i) {
      // The debug boxes are emptied before every Speak; one Speak here is 1000 phrases.
      if (!env.ctx.NeverDebug && i % 1000 == 0) env.debug.ClearDebugText();
      std::u16string out = ConvertTokens(env.ctx, text.chunks[i]);
      phonemes += out.size();
    }
  }
  benchmark::DoNotOptimize(phonemes);
  const auto words = static_cast<double>(text.words * state.iterations());
  state.counters["words"] = static_cast<double>(text.words);
  state.counters["words/s"] = benchmark::Counter(words, benchmark::Counter::kIsRate);
  state.counters["s/word"] =
      benchmark::Counter(words, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_LoadRules(benchmark::State& state) {
  for (auto _ : state) {
    RuleEnvironment env;
    benchmark::DoNotOptimize(env.tables.GroupLetters);
  }
}

constexpr int64_t kKilo = 1024;
BENCHMARK(BM_ConvertText)
    ->ArgNames({"bytes", "nodebug"})
    ->Args({10 * kKilo, 0})
    ->Args({10 * kKilo, 1})
    ->Args({kKilo * kKilo, 0})
    ->Args({kKilo * kKilo, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);
BENCHMARK(BM_ConvertText)
    ->ArgNames({"bytes", "nodebug"})
    ->Args({10 * kKilo * kKilo, 0})
    ->Args({10 * kKilo * kKilo, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_LoadRules)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace parlan

BENCHMARK_MAIN();
