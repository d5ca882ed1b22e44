#include "learn/Evaluate.h"

#include <algorithm>
#include <ostream>
#include <stdexcept>

#include "debug_ui/DebugWindows.h"
#include "letter_rules/LetterRules.h"
#include "strings/ErrorRecord.h"
#include "strings/Unicode.h"

namespace parlan::learn {
namespace {

std::string Bare(const std::string& p) {
  return p.starts_with('\'') ? p.substr(1) : p;
}

// The vowel index of the first stress mark, -1 without one.
int FirstStress(const Inventory& inv, const std::vector<std::string>& phonemes) {
  int vowel = 0;
  for (const auto& p : phonemes) {
    if (p.starts_with('\'')) return vowel;
    if (inv.Vowels.count(p)) ++vowel;
  }
  return -1;
}

void ScoreStress(const Inventory& inv, const std::vector<std::string>& hyp,
                 const std::vector<std::string>& ref, Scores& s) {
  int vowels = 0, first = FirstStress(inv, hyp);
  bool right = false;
  for (const auto& p : ref) {
    if (!inv.Vowels.count(Bare(p))) continue;
    if (vowels == first && p.starts_with('\'')) right = true;
    ++vowels;
  }
  if (vowels < 2) return;
  ++s.Polysyllables;
  s.StressRight += right ? 1 : 0;
}

std::string Spaced(const std::vector<std::string>& phonemes) {
  std::string s;
  for (const auto& p : phonemes) s += (s.empty() ? "" : " ") + p;
  return s;
}

}  // namespace

Inventory InventoryOf(const std::vector<Entry>& entries) {
  Inventory inv;
  for (const Entry& e : entries)
    for (const auto& p : e.Phonemes) {
      inv.Phonemes.insert(Bare(p));
      if (p.starts_with('\'')) inv.Vowels.insert(Bare(p));
    }
  if (inv.Phonemes.count("@")) inv.Vowels.insert("@");
  return inv;
}

std::vector<std::string> ReadPhonemes(const Inventory& inv, const std::string& text) {
  std::vector<std::string> out;
  bool stress = false;
  for (size_t i = 0; i < text.size();) {
    char c = text[i];
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    if (c == '\'') {
      stress = true;
      ++i;
      continue;
    }
    size_t len = 1;
    for (size_t n = std::min<size_t>(4, text.size() - i); n > 1; --n)
      if (inv.Phonemes.count(text.substr(i, n))) {
        len = n;
        break;
      }
    out.push_back((stress ? "'" : "") + text.substr(i, len));
    stress = false;
    i += len;
  }
  return out;
}

void ScoreWord(const Inventory& inv, const std::vector<std::string>& hyp, bool missing,
               const std::vector<std::string>& ref, Scores& s) {
  std::vector<std::string> bareHyp = Unstressed(hyp), bareRef = Unstressed(ref);
  size_t d = EditDistance(bareHyp, bareRef), ds = EditDistance(hyp, ref);
  ++s.Words;
  s.Missing += missing ? 1 : 0;
  s.Right += d == 0 ? 1 : 0;
  s.RightStressed += ds == 0 ? 1 : 0;
  s.Errors += d;
  s.ErrorsStressed += ds;
  s.Reference += ref.size();
  ScoreStress(inv, hyp, ref, s);
}

Scores Evaluate(const std::filesystem::path& ruleFile, const std::vector<Entry>& entries,
                const Inventory& inv, std::ostream* mistakes) {
  LetterRuleTables tables;
  ErrorRecord error;
  DebugWindows debug;
  LetterRuleContext ctx{tables, error, debug};
  ctx.NeverDebug = true;
  LoadLetterRules(ctx, ruleFile);
  if (!tables.RulesLoadOk)
    throw std::runtime_error("the rule file did not load: " + ruleFile.string());
  Scores s;
  for (const Entry& e : entries) {
    std::vector<std::string> hyp = ReadPhonemes(inv, ToUtf8(ConvertWord(ctx, U16(e.Word))));
    ScoreWord(inv, hyp, !tables.ConversionOk, e.Phonemes, s);
    if (mistakes && hyp != e.Phonemes)
      *mistakes << e.Word << '\t' << Spaced(hyp) << '\t' << Spaced(e.Phonemes) << '\n';
  }
  return s;
}

size_t EditDistance(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<size_t> prev(b.size() + 1), cur(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) prev[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    cur[0] = i;
    for (size_t j = 1; j <= b.size(); ++j)
      cur[j] = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (a[i - 1] != b[j - 1])});
    std::swap(prev, cur);
  }
  return prev[b.size()];
}

}  // namespace parlan::learn
