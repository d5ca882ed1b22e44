// Writes learned rules as a letter-to-sound rule file: UTF-16 little-endian with a byte-order
// mark and CR LF line ends, a comment with its counts before every letter group.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "learn/Induce.h"

namespace parlan::learn {

struct RuleFileHeader {
  std::string Language = "English";
  std::vector<std::string> Comments;  // written before the language line, each after "' "
};

// What a learned file keeps of an earlier rule file: its wild-card classes and the groups of
// the characters the lexicon never shows (accented letters, punctuation read as letters).
struct KeptRules {
  std::vector<std::string> Classes;
  std::vector<std::string> Lines;  // rule lines, in their file's order
};

// The classes and rule lines of the groups of `file` whose character no learned group has;
// throws std::runtime_error when the file does not load.
KeptRules KeepRules(const std::filesystem::path& file, const std::vector<LetterGroupRules>& groups);

// One rule line: contexts as items, the result of a focus that ends the word followed by a tab (the
// word end the engine needs). Empty when the rule cannot be written (a left context starting with
// "'" would read as a comment).
// Class marks become the class numbers given.
std::string RuleLine(const LearnedRule& rule, int vowelClass = 0, int consonantClass = 0);

// The whole file as UTF-8 lines.
std::vector<std::string> RuleFileLines(const std::vector<LetterGroupRules>& groups,
                                       const RuleFileHeader& header, const KeptRules& kept = {},
                                       const LetterClasses& classes = {});

// False when the file cannot be written.
bool WriteRuleFile(const std::filesystem::path& path, const std::vector<std::string>& lines);

}  // namespace parlan::learn
