#include "learn/RuleWriter.h"

#include <fstream>
#include <stdexcept>

#include "debug_ui/DebugWindows.h"
#include "letter_rules/LetterRules.h"
#include "strings/ErrorRecord.h"
#include "strings/Unicode.h"

namespace parlan::learn {
namespace {

struct ClassNumbers {
  int Vowel = 0, Consonant = 0;
};

std::string Item(char c, const ClassNumbers& n) {
  if (c == kVowelMark && n.Vowel) return std::to_string(n.Vowel);
  if (c == kConsonantMark && n.Consonant) return std::to_string(n.Consonant);
  return std::string(1, c);
}

bool IsMark(char c) {
  return c == kVowelMark || c == kConsonantMark;
}

// One item per letter: a left literal of several letters would be read backwards.
std::string LeftPattern(const std::string& left, const ClassNumbers& n) {
  std::string out;
  for (char c : left) {
    if (!out.empty()) out += ',';
    out += Item(c, n);
  }
  return out;
}

// Letters next to each other as one literal, classes and the word end as items of their own.
std::string RightPattern(const std::string& right, const ClassNumbers& n) {
  std::string out;
  bool inLiteral = false;
  for (char c : right) {
    bool literal = !IsMark(c) && c != '_';
    if (!out.empty() && !(literal && inLiteral)) out += ',';
    out += literal ? std::string(1, c) : Item(c, n);
    inLiteral = literal;
  }
  return out;
}

std::string StoredLine(const LetterRule& r) {
  std::string line = (r.LeftSense ? "" : "!") + ToUtf8(r.LeftContext) + "[" + ToUtf8(r.Focus) +
                     "]" + (r.RightSense ? "" : "!") + ToUtf8(r.RightContext) + "=" +
                     ToUtf8(r.Result);
  return line;
}

}  // namespace

KeptRules KeepRules(const std::filesystem::path& file,
                    const std::vector<LetterGroupRules>& groups) {
  LetterRuleTables tables;
  ErrorRecord error;
  DebugWindows debug;
  LetterRuleContext ctx{tables, error, debug};
  ctx.NeverDebug = true;
  LoadLetterRules(ctx, file);
  if (!tables.RulesLoadOk) throw std::runtime_error("the rule file did not load: " + file.string());
  KeptRules kept;
  size_t classes = tables.WildCards.size();  // the table holds every slot: keep the used ones
  while (classes > 0 && tables.WildCards[classes - 1].empty()) --classes;
  for (size_t c = 0; c < classes; ++c)
    kept.Classes.push_back(std::to_string(c + 1) + " " + ToUtf8(tables.WildCards[c]));
  std::u16string learned;
  for (const auto& g : groups) learned += static_cast<char16_t>(g.Letter);
  for (size_t g = 0; g < tables.GroupLetters.size(); ++g) {
    if (learned.find(tables.GroupLetters[g]) != std::u16string::npos) continue;
    const LetterGroup& group = tables.LetterGroups[g];
    for (int32_t i = group.First; i <= group.Last; ++i)
      kept.Lines.push_back(StoredLine(tables.LetterRules[static_cast<size_t>(i - 1)]));
  }
  return kept;
}

std::string RuleLine(const LearnedRule& rule, int vowelClass, int consonantClass) {
  if (rule.Left.starts_with('\'')) return {};
  ClassNumbers n{vowelClass, consonantClass};
  std::string line = LeftPattern(rule.Left, n) + "[" + rule.Focus + "]" +
                     RightPattern(rule.Right, n) + "=" + rule.Result;
  if (rule.Right == "_") line += '\t';  // the focus ends the word
  // A rule line holding END in capitals would end the rule section.
  if (line.find("END") != std::string::npos) return {};
  return line;
}

std::vector<std::string> RuleFileLines(const std::vector<LetterGroupRules>& groups,
                                       const RuleFileHeader& header, const KeptRules& kept,
                                       const LetterClasses& classes) {
  std::vector<std::string> lines;
  for (const auto& c : header.Comments) lines.push_back("' " + c);
  lines.push_back("LANGUAGE=" + header.Language);
  lines.push_back("WILD CARDS");
  lines.insert(lines.end(), kept.Classes.begin(), kept.Classes.end());
  int vowel = 0, consonant = 0;
  auto addClass = [&](const std::string& letters, const char* comment, int& number) {
    if (letters.empty()) return;
    number = static_cast<int>(kept.Classes.size()) + (vowel ? 1 : 0) + (consonant ? 1 : 0) + 1;
    std::string members;
    for (char c : letters) members += (members.empty() ? "" : ",") + std::string(1, c);
    lines.push_back(std::string("' ") + comment);
    lines.push_back(std::to_string(number) + " " + members);
  };
  addClass(classes.Vowels, "learned: letters often said with a vowel", vowel);
  addClass(classes.Consonants, "learned: the other letters", consonant);
  lines.push_back("RULES");
  for (const auto& g : groups) {
    size_t first = lines.size();
    lines.push_back({});
    size_t written = 0;
    for (const auto& r : g.Rules) {
      std::string line = RuleLine(r, vowel, consonant);
      if (line.empty()) continue;
      lines.push_back(std::move(line));
      ++written;
    }
    lines[first] = "' " + std::string(1, g.Letter) + ": " + std::to_string(written) +
                   " rules learned from " + std::to_string(g.Cases) + " letters";
  }
  if (!kept.Lines.empty())
    lines.push_back("' characters the lexicon does not show, kept as they were");
  lines.insert(lines.end(), kept.Lines.begin(), kept.Lines.end());
  lines.push_back("END");
  return lines;
}

bool WriteRuleFile(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  std::u16string text = u"\uFEFF";
  for (const auto& l : lines) text += U16(l) + u"\r\n";
  std::ofstream out(path, std::ios::binary);
  for (char16_t c : text) {
    out.put(static_cast<char>(c & 0xFF));
    out.put(static_cast<char>(c >> 8));
  }
  return static_cast<bool>(out.flush());
}

}  // namespace parlan::learn
