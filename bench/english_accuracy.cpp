// Pronunciation accuracy of the shipped English language, measured against the CMU pronouncing
// lexicon. A check, not a speed benchmark: it prints word accuracy and phone error rate.
//
// Every word is converted with the English letter rules alone, and with the exception
// dictionary first (a word found in it takes its dictionary pronunciation). The eSpeak NG
// mnemonics of the result are read back as ARPAbet-like phones and compared with the lexicon's
// phones, stress ignored:
//   - reduced and strong central vowels are one phone: the lexicon's AX (schwa) and AH, eSpeak's
//     @ and V all read as AH; ER covers eSpeak's 3 and 3: (the lexicon writes no AXR);
//   - eSpeak's r-coloured vowels read as vowel + R: A@ AA R, o@ and O@ AO R, e@ EH R, U@ UH R,
//     i@3 and i@ IH R, aI3 AY ER, aU3 AW ER; the r that eSpeak writes after such a vowel before
//     another vowel belongs to it;
//   - IY before R reads as IH on both sides (here, near: one sound, one eSpeak vowel);
//   - @L reads AH L, n- AH N; 0 and A: read AA; i and i: read IY; the other mnemonics map one to
//     one (arpabet-to-espeak-en-us.tsv); stress marks and the word end are skipped.
// A word is correct when its phones equal those of any of its lexicon entries; its phone errors
// are the edit distance to the closest entry, and the phone error rate is the sum of the
// errors over the sum of the reference lengths. Each word is counted once.
//
// Figures: the most frequent words of the frequency list that the lexicon holds (10,000 by
// default), each weighted by its probability in the list; and all words of the lexicon made of
// letters and apostrophes, unweighted (most have no frequency). Stress placement is reported
// for the frequent words whose phones the rules get right and that have more than one vowel:
// the share whose first "'" stands before a vowel the lexicon stresses.
//
// Held-out figures: the words that the fixed split of `parlan learn` holds out (the hash of the
// word a multiple of 10, learn/Lexicon.h), which learned rules never saw, scored the same way for
// the English rules alone and for eSpeak NG en-us on the same words, the dictionary's words
// apart. Their stressed-syllable figure counts every held-out word of two or more vowels, right
// phones or not: the first "'" must stand on the vowel of a stressed syllable of the closest
// entry.
//
// Usage: english_accuracy [--language DIR] [--lexicon FILE] [--addenda FILE]
//                         [--frequencies FILE] [--top N] [--dump N]
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#ifdef PARLAN_ACCURACY_ESPEAK
#include <espeak-ng/speak_lib.h>
#endif

#include "debug_ui/DebugWindows.h"
#include "learn/Evaluate.h"
#include "learn/Lexicon.h"
#include "letter_rules/LetterRules.h"
#include "pipeline/Exceptions.h"
#include "strings/Unicode.h"

namespace {

namespace fs = std::filesystem;
using Phones = std::vector<std::string>;

struct Pronunciation {
  Phones phones;
  std::vector<bool> stressed;  // per phone: a vowel the lexicon stresses
};
using Lexicon = std::map<std::string, std::vector<Pronunciation>>;

const std::vector<std::string> kVowels = {"AA", "AE", "AH", "AO", "AW", "AY", "EH", "ER",
                                          "EY", "IH", "IY", "OW", "OY", "UH", "UW"};

bool IsVowel(const std::string& p) {
  return std::find(kVowels.begin(), kVowels.end(), p) != kVowels.end();
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// ----- The lexicon: Festival's cmudict-0.4.out and the one-line addenda of cmulex.scm -----

// Parses `("word" pos (((p p) 1) ((p) 0)))`; the schwa ax is read as AH.
std::optional<std::pair<std::string, Pronunciation>> ParseEntry(std::string_view text) {
  size_t q1 = text.find('"');
  size_t q2 = q1 == std::string_view::npos ? q1 : text.find('"', q1 + 1);
  if (q2 == std::string_view::npos) return std::nullopt;
  std::string word = Lower(std::string(text.substr(q1 + 1, q2 - q1 - 1)));
  Pronunciation pron;
  for (size_t i = text.find("((", q2); i != std::string_view::npos; i = text.find("((", i)) {
    while (i < text.size() && text[i] == '(') ++i;
    size_t end = text.find(')', i);
    if (end == std::string_view::npos) break;
    size_t digit = text.find_first_not_of(' ', end + 1);
    bool stress = digit != std::string_view::npos && text[digit] >= '1' && text[digit] <= '9';
    std::string_view syllable = text.substr(i, end - i);
    for (size_t s = 0; s < syllable.size();) {
      size_t e = std::min(syllable.find(' ', s), syllable.size());
      std::string phone = Upper(std::string(syllable.substr(s, e - s)));
      if (phone == "AX") phone = "AH";
      if (!phone.empty()) {
        pron.stressed.push_back(stress && IsVowel(phone));
        pron.phones.push_back(std::move(phone));
      }
      s = e + 1;
    }
    i = end + 1;
  }
  if (pron.phones.empty()) return std::nullopt;
  return std::make_pair(std::move(word), std::move(pron));
}

Lexicon ReadLexicon(const fs::path& dict, const fs::path& addenda) {
  Lexicon lexicon;
  std::ifstream in(dict);
  for (std::string line; std::getline(in, line);)
    if (line.starts_with("(\""))
      if (auto e = ParseEntry(line)) lexicon[e->first].push_back(std::move(e->second));
  // The addenda (contractions with their apostrophes, corrections) replace the main entries.
  std::ifstream more(addenda);
  std::vector<std::string> replaced;
  for (std::string line; std::getline(more, line);) {
    size_t at = line.find("lex.add.entry '(\"");
    if (at == std::string::npos || line.find(")))", at) == std::string::npos) continue;
    auto e = ParseEntry(std::string_view(line).substr(at + 15));
    if (!e) continue;
    if (std::find(replaced.begin(), replaced.end(), e->first) == replaced.end()) {
      lexicon[e->first].clear();
      replaced.push_back(e->first);
    }
    lexicon[e->first].push_back(std::move(e->second));
  }
  return lexicon;
}

// Words of a-z and apostrophes with their probabilities, most frequent first.
std::vector<std::pair<std::string, double>> ReadFrequencies(const fs::path& file) {
  std::vector<std::pair<std::string, double>> out;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    size_t tab = line.find('\t');
    if (line.starts_with("#") || tab == std::string::npos) continue;
    std::string word = line.substr(0, tab);
    if (parlan::learn::IsLexiconWord(word))
      out.emplace_back(word, std::strtod(line.c_str() + tab + 1, nullptr));
  }
  return out;
}

// ----- eSpeak mnemonics back to phones -----

struct Mnemonic {
  std::string_view symbol;
  Phones phones;
  bool rColoured;
};

// Longest symbols first, so that a prefix never shadows a longer symbol.
const std::vector<Mnemonic>& Mnemonics() {
  static const std::vector<Mnemonic> table = {
      {"i@3", {"IH", "R"}, true}, {"aI3", {"AY", "ER"}, true}, {"aU3", {"AW", "ER"}, true},
      {"A@", {"AA", "R"}, true},  {"o@", {"AO", "R"}, true},   {"O@", {"AO", "R"}, true},
      {"e@", {"EH", "R"}, true},  {"U@", {"UH", "R"}, true},   {"i@", {"IH", "R"}, true},
      {"3:", {"ER"}, true},       {"A:", {"AA"}, false},       {"O:", {"AO"}, false},
      {"i:", {"IY"}, false},      {"u:", {"UW"}, false},       {"aI", {"AY"}, false},
      {"aU", {"AW"}, false},      {"eI", {"EY"}, false},       {"oU", {"OW"}, false},
      {"OI", {"OY"}, false},      {"tS", {"CH"}, false},       {"dZ", {"JH"}, false},
      {"@L", {"AH", "L"}, false}, {"n-", {"AH", "N"}, false},  {"@", {"AH"}, false},
      {"V", {"AH"}, false},       {"a", {"AE"}, false},        {"E", {"EH"}, false},
      {"I", {"IH"}, false},       {"0", {"AA"}, false},        {"3", {"ER"}, true},
      {"U", {"UH"}, false},       {"i", {"IY"}, false},        {"b", {"B"}, false},
      {"d", {"D"}, false},        {"D", {"DH"}, false},        {"f", {"F"}, false},
      {"g", {"G"}, false},        {"h", {"HH"}, false},        {"j", {"Y"}, false},
      {"k", {"K"}, false},        {"l", {"L"}, false},         {"m", {"M"}, false},
      {"n", {"N"}, false},        {"N", {"NG"}, false},        {"p", {"P"}, false},
      {"r", {"R"}, false},        {"s", {"S"}, false},         {"S", {"SH"}, false},
      {"t", {"T"}, false},        {"T", {"TH"}, false},        {"v", {"V"}, false},
      {"w", {"W"}, false},        {"z", {"Z"}, false},         {"Z", {"ZH"}, false},
  };
  return table;
}

// The phones of an eSpeak string, the vowel index the first "'" stands before (or -1); nothing
// when the string holds a symbol outside the table.
std::optional<Phones> ToPhones(std::string_view text, int* stressedVowel = nullptr) {
  Phones out;
  bool afterRColoured = false;
  int vowels = 0;
  if (stressedVowel) *stressedVowel = -1;
  for (size_t i = 0; i < text.size();) {
    if (std::string_view("',%=\t |_").find(text[i]) != std::string_view::npos) {
      if (text[i] == '\'' && stressedVowel && *stressedVowel < 0) *stressedVowel = vowels;
      ++i;
      continue;
    }
    auto m = std::find_if(Mnemonics().begin(), Mnemonics().end(),
                          [&](const Mnemonic& x) { return text.substr(i).starts_with(x.symbol); });
    if (m == Mnemonics().end()) return std::nullopt;
    i += m->symbol.size();
    bool skip = m->symbol == "r" && afterRColoured;  // the r eSpeak writes before a vowel
    afterRColoured = m->rColoured;
    if (skip) continue;
    for (const auto& p : m->phones) vowels += IsVowel(p) ? 1 : 0;
    out.insert(out.end(), m->phones.begin(), m->phones.end());
  }
  return out;
}

Phones Canonical(Phones p) {
  for (size_t i = 0; i + 1 < p.size(); ++i)
    if (p[i] == "IY" && p[i + 1] == "R") p[i] = "IH";
  return p;
}

// ----- Conversion with the shipped language files -----

class English {
 public:
  explicit English(const fs::path& folder) {
    ctx_.NeverDebug = true;
    parlan::LoadLetterRules(ctx_, folder / "Englishr.ttg");
    dictionaryOk_ = parlan::LoadExceptions(exceptions_, folder / "Englishe.ttg");
  }
  bool RulesOk() const { return tables_.RulesLoadOk; }
  bool DictionaryOk() const { return dictionaryOk_; }
  size_t DictionarySize() const { return exceptions_.ExceptWords.size(); }
  bool InDictionary(const std::string& word) const {
    const auto& w = exceptions_.ExceptWords;
    return std::find(w.begin(), w.end(), parlan::U16(word)) != w.end();
  }

  // The word's eSpeak phonemes; nothing when a letter found no rule.
  std::optional<std::string> Convert(const std::string& word, bool dictionary) {
    std::u16string w = parlan::U16(word);
    if (dictionary) {
      std::u16string chunk = u"/" + w;
      std::u16string out = parlan::ApplyExceptions(exceptions_, debug_, true, chunk);
      if (out.starts_with(u"/[") && out.ends_with(u"]"))
        return parlan::ToUtf8(std::u16string_view(out).substr(2, out.size() - 3));
    }
    std::u16string phonemes = parlan::ConvertWord(ctx_, w);
    if (!tables_.ConversionOk) return std::nullopt;
    return parlan::ToUtf8(phonemes);
  }

 private:
  parlan::LetterRuleTables tables_;
  parlan::ErrorRecord error_;
  parlan::DebugWindows debug_;
  parlan::LetterRuleContext ctx_{tables_, error_, debug_};
  parlan::ExceptionTables exceptions_;
  bool dictionaryOk_ = false;
};

#ifdef PARLAN_ACCURACY_ESPEAK
// eSpeak NG en-us, its variants read as the phonemes they stand for.
class Espeak {
 public:
  Espeak() {
    ok_ =
        espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT) >= 0 &&
        espeak_SetVoiceByName("en-us") == EE_OK;
  }
  bool Ok() const { return ok_; }
  std::optional<std::string> Convert(const std::string& word) const {
    const void* at = word.c_str();
    const char* phonemes = espeak_TextToPhonemes(&at, espeakCHARS_UTF8, 0);
    return phonemes ? std::optional<std::string>(Plain(phonemes)) : std::nullopt;
  }

 private:
  static std::string Plain(std::string text) {
    static const std::vector<std::pair<std::string, std::string>> variants = {
        {"O2", "0"}, {"@2", "@"}, {"I2", "I"},  {"I#", "I"}, {"a#", "@"}, {"aa", "a"}, {"t#", "t"},
        {"t2", "t"}, {"?", "t"},  {"l-", "@L"}, {"x", "k"},  {"_:", ""},  {"_!", ""}};
    for (const auto& [from, to] : variants)
      for (size_t i = text.find(from); i != std::string::npos; i = text.find(from, i + to.size()))
        text.replace(i, from.size(), to);
    return text;
  }
  bool ok_ = false;
};
#endif

struct Tally {
  double weight = 0, correct = 0, errors = 0, reference = 0;
  double stressWeight = 0, stressRight = 0;
  size_t words = 0, missing = 0;
  size_t polysyllables = 0, polysyllablesRight = 0;  // first stress mark, right phones or not
};

void CountStress(Tally& t, const Pronunciation& ref, int stressedVowel) {
  int vowel = 0;
  bool right = false;
  for (size_t i = 0; i < ref.phones.size(); ++i) {
    if (!IsVowel(ref.phones[i])) continue;
    if (vowel == stressedVowel && ref.stressed[i]) right = true;
    ++vowel;
  }
  if (vowel < 2) return;
  ++t.polysyllables;
  t.polysyllablesRight += right ? 1 : 0;
}

// Scores one word (weight w) against its lexicon entries.
void Score(Tally& t, const std::optional<std::string>& phonemes,
           const std::vector<Pronunciation>& refs, double w) {
  int stressedVowel = -1;
  std::optional<Phones> hyp;
  if (phonemes) hyp = ToPhones(*phonemes, &stressedVowel);
  if (!hyp) ++t.missing;
  size_t best = SIZE_MAX, bestLength = 0;
  const Pronunciation* match = nullptr;
  const Pronunciation* closest = nullptr;
  for (const auto& ref : refs) {
    Phones r = Canonical(ref.phones);
    size_t d = hyp ? parlan::learn::EditDistance(Canonical(*hyp), r) : r.size();
    if (d < best) best = d, bestLength = r.size(), closest = &ref;
    if (d == 0 && !match) match = &ref;
  }
  if (closest) CountStress(t, *closest, hyp ? stressedVowel : -1);
  t.words += 1;
  t.weight += w;
  t.correct += best == 0 ? w : 0;
  t.errors += w * static_cast<double>(best);
  t.reference += w * static_cast<double>(bestLength);
  if (!match || std::count_if(match->phones.begin(), match->phones.end(), IsVowel) < 2) return;
  int vowel = 0;
  bool right = false;
  for (size_t i = 0; i < match->phones.size(); ++i) {
    if (!IsVowel(match->phones[i])) continue;
    if (vowel == stressedVowel && match->stressed[i]) right = true;
    ++vowel;
  }
  t.stressWeight += w;
  t.stressRight += right ? w : 0;
}

void Print(const char* title, const Tally& t, bool stress) {
  std::printf("  %-40s %6zu words  word accuracy %6.2f%%  phone error rate %6.2f%%\n", title,
              t.words, 100.0 * t.correct / t.weight, 100.0 * t.errors / t.reference);
  if (t.missing) std::printf("  %-40s %6zu words without a rule\n", "", t.missing);
  if (stress && t.stressWeight > 0)
    std::printf("  %-40s stress mark on a stressed vowel %6.2f%%\n", "",
                100.0 * t.stressRight / t.stressWeight);
}

void PrintStress(const Tally& t) {
  if (t.polysyllables)
    std::printf(
        "  %-40s stressed syllable right %6.2f%% of %zu words of 2+ syllables\n", "",
        100.0 * static_cast<double>(t.polysyllablesRight) / static_cast<double>(t.polysyllables),
        t.polysyllables);
}

// The held-out words, outside the dictionary and in it, by the rules and by eSpeak NG.
void HeldOut(English& english, const Lexicon& lexicon) {
  Tally outside, inside;
  for (const auto& [word, refs] : lexicon)
    if (parlan::learn::IsLexiconWord(word) && parlan::learn::IsHeldOut(word))
      Score(english.InDictionary(word) ? inside : outside, english.Convert(word, false), refs, 1.0);
  std::printf("Held-out words (never used for learning), rules alone:\n");
  Print("held-out words outside the dictionary", outside, false);
  PrintStress(outside);
  Print("held-out words in the dictionary", inside, false);
#ifdef PARLAN_ACCURACY_ESPEAK
  Espeak espeak;
  if (!espeak.Ok()) return;
  Tally eOutside, eInside;
  for (const auto& [word, refs] : lexicon)
    if (parlan::learn::IsLexiconWord(word) && parlan::learn::IsHeldOut(word))
      Score(english.InDictionary(word) ? eInside : eOutside, espeak.Convert(word), refs, 1.0);
  std::printf("The same words by eSpeak NG en-us:\n");
  Print("held-out words outside the dictionary", eOutside, false);
  PrintStress(eOutside);
  Print("held-out words in the dictionary", eInside, false);
#endif
}

struct Options {
  fs::path language, lexicon, addenda, frequencies;
  size_t top = 10000;
  size_t dump = 0;
};

Options ParseOptions(int argc, char** argv) {
  const fs::path repo = fs::path(__FILE__).parent_path().parent_path();
  Options o{repo / "languages" / "Parlan English", "/usr/share/festival/dicts/cmu/cmudict-0.4.out",
            "/usr/share/festival/dicts/cmu/cmulex.scm",
            repo / "scripts" / "english" / "en-us-word-frequency.tsv"};
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string_view k = argv[i];
    if (k == "--language")
      o.language = argv[i + 1];
    else if (k == "--lexicon")
      o.lexicon = argv[i + 1];
    else if (k == "--addenda")
      o.addenda = argv[i + 1];
    else if (k == "--frequencies")
      o.frequencies = argv[i + 1];
    else if (k == "--top")
      o.top = std::stoul(argv[i + 1]);
    else if (k == "--dump")
      o.dump = std::stoul(argv[i + 1]);
  }
  return o;
}

int Run(const Options& o) {
  English english(o.language);
  Lexicon lexicon = ReadLexicon(o.lexicon, o.addenda);
  auto frequencies = ReadFrequencies(o.frequencies);
  if (!english.RulesOk() || lexicon.empty() || frequencies.empty()) {
    std::fprintf(stderr, "english_accuracy: missing rules, lexicon or frequency list\n");
    return 1;
  }
  std::vector<std::pair<std::string, double>> top;
  for (const auto& f : frequencies)
    if (top.size() < o.top && lexicon.count(f.first)) top.push_back(f);
  for (size_t i = 0; i < std::min(o.dump, top.size()); ++i)
    std::printf("%s\t%s\n", top[i].first.c_str(),
                english.Convert(top[i].first, false).value_or("?").c_str());
  std::printf("English pronunciation against the CMU lexicon (%zu words; dictionary %zu entries)\n",
              lexicon.size(), english.DictionarySize());
  for (bool dictionary : {false, true}) {
    if (dictionary && !english.DictionaryOk()) continue;
    Tally frequent, all;
    for (const auto& [word, p] : top)
      Score(frequent, english.Convert(word, dictionary), lexicon.at(word), p);
    for (const auto& [word, refs] : lexicon)
      if (parlan::learn::IsLexiconWord(word))
        Score(all, english.Convert(word, dictionary), refs, 1.0);
    std::printf("%s:\n", dictionary ? "Rules and dictionary" : "Rules alone");
    Print("most frequent words, frequency-weighted", frequent, !dictionary);
    Print("all lexicon words, unweighted", all, false);
  }
  HeldOut(english, lexicon);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(ParseOptions(argc, argv));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "english_accuracy: %s\n", e.what());
    return 1;
  }
}
