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

// One rule line: contexts as items, a word-final rule's result followed by a tab (the word end
// the engine needs). Empty when the rule cannot be written (a left context starting with "'"
// would read as a comment).
std::string RuleLine(const LearnedRule& rule);

// The whole file as UTF-8 lines.
std::vector<std::string> RuleFileLines(const std::vector<LetterGroupRules>& groups,
                                       const RuleFileHeader& header);

// False when the file cannot be written.
bool WriteRuleFile(const std::filesystem::path& path, const std::vector<std::string>& lines);

}  // namespace parlan::learn
