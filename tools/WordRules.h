// For one word, the letter rule that produced each part of its phonemes, with the line of the
// rule file it was read from: what a language developer asks when a word sounds wrong.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace parlan::cli {

struct LetterRuleUse {
  std::u16string Letters;   // the part of the word the rule's focus covered; empty for a message
  std::u16string Phonemes;  // what the rule gave for them
  std::u16string Rule;      // left[focus]right=result, as the rule set shows it; or the message
  int Line = 0;             // 1-based line of the rule file; 0 when not known
};

// Loads the rule file and converts the word (lower-cased, as the pipeline does) with it. A word
// that does not convert ends with the converter's message. Throws RunError when the rule file
// does not load.
std::vector<LetterRuleUse> ExplainWord(const std::filesystem::path& ruleFile,
                                       const std::u16string& word);

// The rules that the "Rules Applied" box of a Speak names (its "F= ..." lines), each with its
// line in the rule file, in the order they fired. Empty when the rule file does not load.
std::vector<LetterRuleUse> FiredRules(const std::filesystem::path& ruleFile,
                                      const std::u16string& appliedBox);

// The 1-based file line of every rule, in rule order, read the way the loader reads the file.
std::vector<int> RuleLines(const std::filesystem::path& ruleFile);

}  // namespace parlan::cli
