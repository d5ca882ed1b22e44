#include "learn/RuleWriter.h"

#include <fstream>

#include "strings/Unicode.h"

namespace parlan::learn {
namespace {

std::string LeftPattern(const std::string& left) {
  std::string out;
  for (char c : left) {
    if (!out.empty()) out += ',';
    out += c;
  }
  return out;
}

// The letters as one literal, the word end as its own item.
std::string RightPattern(const std::string& right) {
  if (right.empty() || right == "_") return right;
  if (right.back() != '_') return right;
  return right.substr(0, right.size() - 1) + ",_";
}

}  // namespace

std::string RuleLine(const LearnedRule& rule) {
  if (rule.Left.starts_with('\'')) return {};
  std::string line = LeftPattern(rule.Left) + "[" + rule.Focus + "]" + RightPattern(rule.Right) +
                     "=" + rule.Result;
  if (rule.Right.ends_with('_')) line += '\t';
  // A rule line holding END in capitals would end the rule section.
  if (line.find("END") != std::string::npos) return {};
  return line;
}

std::vector<std::string> RuleFileLines(const std::vector<LetterGroupRules>& groups,
                                       const RuleFileHeader& header) {
  std::vector<std::string> lines;
  for (const auto& c : header.Comments) lines.push_back("' " + c);
  lines.push_back("LANGUAGE=" + header.Language);
  lines.push_back("WILD CARDS");
  lines.push_back("RULES");
  for (const auto& g : groups) {
    size_t first = lines.size();
    lines.push_back({});
    size_t written = 0;
    for (const auto& r : g.Rules) {
      std::string line = RuleLine(r);
      if (line.empty()) continue;
      lines.push_back(std::move(line));
      ++written;
    }
    lines[first] = "' " + std::string(1, g.Letter) + ": " + std::to_string(written) +
                   " rules learned from " + std::to_string(g.Cases) + " letters";
  }
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
