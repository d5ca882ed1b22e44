#include "learn/Learn.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unordered_set>

#include "learn/Align.h"
#include "learn/Evaluate.h"
#include "learn/Induce.h"
#include "learn/RuleWriter.h"
#include "letter_rules/LetterRules.h"
#include "pipeline/Exceptions.h"
#include "strings/Unicode.h"

namespace parlan::learn {
namespace {

std::unordered_set<std::string> DictionaryWords(const std::string& file) {
  std::unordered_set<std::string> words;
  if (file.empty()) return words;
  ExceptionTables tables;
  if (!LoadExceptions(tables, file)) throw std::runtime_error("cannot read the dictionary " + file);
  for (const auto& w : tables.ExceptWords) words.insert(ToUtf8(w));
  return words;
}

std::string Percent(double x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%6.2f%%", x);
  return buf;
}

void Report(const char* title, const Scores& s, std::ostream& out) {
  out << "  " << title << ": " << s.Words << " words\n"
      << "    word accuracy      stress ignored " << Percent(s.Accuracy()) << "   with stress "
      << Percent(s.AccuracyStressed()) << "\n"
      << "    phone error rate   stress ignored " << Percent(s.ErrorRate()) << "   with stress "
      << Percent(s.ErrorRateStressed()) << "\n"
      << "    stressed syllable right " << Percent(s.StressAccuracy()) << " of " << s.Polysyllables
      << " words of two or more syllables\n";
  if (s.Missing) out << "    " << s.Missing << " words with a letter no rule covers\n";
}

// "l:r,l:r,...", each shape holding the one before it.
std::vector<std::pair<int, int>> ParseShapes(const std::string& text) {
  std::vector<std::pair<int, int>> shapes;
  std::istringstream in(text);
  for (std::string item; std::getline(in, item, ',');) {
    int l = -1, r = -1;
    if (std::sscanf(item.c_str(), "%d:%d", &l, &r) != 2 || l < 0 || l > 8 || r < 2 || r > 9 ||
        (!shapes.empty() && (l < shapes.back().first || r < shapes.back().second)))
      throw std::runtime_error("bad window shape \"" + item +
                               "\" (left 0-8 : right 2-9, each holding the one before)");
    shapes.emplace_back(l, r);
  }
  return shapes;
}

RuleFileHeader Header(const LearnOptions& o, const Lexicon& lex, size_t rules) {
  RuleFileHeader h;
  h.Language = o.Language;
  h.Comments = {
      "Parlan " + o.Language + ": letter-to-sound rules learned from a pronunciation lexicon",
      "by `parlan learn` (" + std::to_string(lex.Learning.size()) + " learning words, " +
          std::to_string(rules) + " rules, minimum gain " + std::to_string(o.MinGain) + ").",
      "Classes of vowel and consonant letters stand for any of their letters at a place.",
      "Within a letter's group the rules run from the widest letter window to the narrowest:",
      "the first that fits is the most specific one. Results end in a tab at the word end.",
      "Edit it by hand as you like, then run parlan check and parlan test on the folder;",
      "learning it again writes it anew."};
  return h;
}

std::vector<LetterGroupRules> Learn(const Lexicon& lex, const LearnOptions& o,
                                    LetterClasses& classes, std::ostream& err) {
  err << "aligning " << lex.Learning.size() << " learning words...\n";
  std::vector<AlignedWord> aligned = Align(lex.Learning, {});
  err << "inducing rules from " << aligned.size() << " aligned words...\n";
  InduceOptions io;
  io.MinGain = o.MinGain;
  io.ClassBonus = o.ClassBonus;
  if (o.ClassBonus > 0) io.Classes = classes = ClassesOf(aligned);
  if (!o.Shapes.empty()) {
    io.Shapes = ParseShapes(o.Shapes);
    io.Adaptive = false;
  }
  return Induce(aligned, io);
}

void Evaluation(const LearnOptions& o, const Lexicon& lex, std::ostream& out) {
  Inventory inv = InventoryOf(lex.Learning);
  std::unordered_set<std::string> dictionary = DictionaryWords(o.Dictionary);
  std::vector<Entry> plain, listed;
  for (const Entry& e : lex.HeldOut) (dictionary.count(e.Word) ? listed : plain).push_back(e);
  out << "Held-out words (hash of the word a multiple of 10), never used for learning:\n";
  std::ofstream mistakes;
  if (!o.Mistakes.empty()) {
    mistakes.open(o.Mistakes);
    if (!mistakes) throw std::runtime_error("cannot write " + o.Mistakes);
    mistakes << "# word\tconverted\treference, held-out words the rules get wrong\n";
  }
  Report(dictionary.empty() ? "all held-out words" : "held-out words outside the dictionary",
         Evaluate(o.Output, plain, inv, o.Mistakes.empty() ? nullptr : &mistakes), out);
  if (!listed.empty())
    Report("held-out words in the dictionary", Evaluate(o.Output, listed, inv), out);
}

}  // namespace

int RunLearn(const LearnOptions& o, std::istream& in, std::ostream& out, std::ostream& err) {
  try {
    std::ifstream file;
    if (o.Lexicon != "-") {
      file.open(o.Lexicon);
      if (!file) throw std::runtime_error("cannot read the lexicon " + o.Lexicon);
    }
    Lexicon lex = ReadLexicon(o.Lexicon == "-" ? in : file);
    if (lex.Learning.empty())
      throw std::runtime_error("the lexicon holds no word<TAB>phonemes line");
    LetterClasses classes;
    std::vector<LetterGroupRules> groups = Learn(lex, o, classes, err);
    size_t rules = RuleCount(groups);
    if (rules > static_cast<size_t>(kMaxRules))
      throw std::runtime_error(std::to_string(rules) + " rules: more than a rule file holds (" +
                               std::to_string(kMaxRules) + "); raise --min-gain");
    KeptRules kept = o.Keep.empty() ? KeptRules{} : KeepRules(o.Keep, groups);
    size_t learned = (classes.Vowels.empty() ? 0 : 1) + (classes.Consonants.empty() ? 0 : 1);
    if (kept.Classes.size() + learned > static_cast<size_t>(kMaxWildCards))
      throw std::runtime_error(o.Keep + " holds " + std::to_string(kept.Classes.size()) +
                               " classes: with the " + std::to_string(learned) +
                               " learned ones more than a rule file holds (" +
                               std::to_string(kMaxWildCards) + "); use --class-bonus 0");
    if (!WriteRuleFile(o.Output, RuleFileLines(groups, Header(o, lex, rules), kept, classes)))
      throw std::runtime_error("cannot write " + o.Output);
    out << o.Output << ": " << rules << " rules in " << groups.size() << " letter groups, from "
        << lex.Learning.size() << " learning words\n";
    Evaluation(o, lex, out);
    return 0;
  } catch (const std::exception& e) {
    err << "parlan: learn: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace parlan::learn
