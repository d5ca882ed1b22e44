#include "WordRules.h"

#include "CliErrors.h"
#include "letter_rules/LetterRules.h"
#include "letter_rules/RuleFile.h"
#include "strings/StringFunctions.h"
#include "strings/TextFiles.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

bool IsComment(std::u16string_view line) {
  return !line.empty() && line.front() == u'\'';
}

bool Holds(std::u16string_view line, std::u16string_view keyword) {
  return InStrIgnoreCase(line, keyword) > 0;
}

// The line the matcher writes for a rule that applied.
std::u16string AppliedText(const LetterRule& rule) {
  return u"F= " + rule.Focus + u" LC= " + rule.LeftContext + u" RC= " + rule.RightContext +
         u" RES= " + rule.Result;
}

std::vector<std::u16string> BoxLines(const std::u16string& text) {
  std::vector<std::u16string> lines;
  size_t from = 0;
  for (size_t crlf; (crlf = text.find(u"\r\n", from)) != std::u16string::npos; from = crlf + 2)
    lines.push_back(text.substr(from, crlf - from));
  if (from < text.size()) lines.push_back(text.substr(from));
  return lines;
}

// Each logged line with the first rule that writes it, as the matcher tries them in order.
std::vector<LetterRuleUse> MatchApplied(const LetterRuleTables& tables,
                                        const std::vector<int>& lines,
                                        const std::vector<std::u16string>& logged) {
  std::vector<LetterRuleUse> uses;
  for (const std::u16string& text : logged) {
    LetterRuleUse use;
    use.Rule = text;
    for (size_t i = 0; i < tables.LetterRules.size(); ++i) {
      const LetterRule& rule = tables.LetterRules[i];
      if (rule.Focus.empty() || AppliedText(rule) != text) continue;
      use.Letters = rule.Focus;
      use.Phonemes = rule.Result;
      use.Rule = RuleText(rule);
      use.Line = i < lines.size() ? lines[i] : 0;
      break;
    }
    uses.push_back(std::move(use));
  }
  return uses;
}

}  // namespace

std::vector<int> RuleLines(const std::filesystem::path& ruleFile) {
  Utf16LineReader reader;
  std::vector<int> lines;
  if (!reader.Open(ruleFile)) return lines;
  std::u16string line;
  int number = 0;
  auto next = [&] {
    ++number;
    return reader.ReadLine(line);
  };
  // The same walk as the loader: the language line, the wild-card heading (which may share the
  // language line), the classes up to "RULES", then the rules up to "END".
  do {
    if (!next()) return lines;
  } while (!Holds(line, u"LANGUAGE="));
  while (!Holds(line, u"WILD CARDS"))
    if (!next()) return lines;
  do {
    if (!next()) return lines;
  } while (!Holds(line, u"RULES"));
  while (next() && (IsComment(line) || line.find(u"END") == std::u16string::npos))
    if (!IsComment(line)) lines.push_back(number);
  return lines;
}

std::vector<LetterRuleUse> ExplainWord(const std::filesystem::path& ruleFile,
                                       const std::u16string& word) {
  LetterRuleTables tables;
  ErrorRecord error;
  DebugWindows debug;
  LetterRuleContext ctx{tables, error, debug, true, 0};
  LoadLetterRules(ctx, ruleFile);
  if (!tables.RulesLoadOk) throw RunError("the rule file " + ruleFile.string() + " does not load");
  const std::vector<int> lines = RuleLines(ruleFile);

  ctx.NeverDebug = false;
  ConvertWord(ctx, LowerCase(word));
  return MatchApplied(tables, lines, BoxLines(debug.Advanced().FindControl("txtRulesAppld")->Text));
}

std::vector<LetterRuleUse> FiredRules(const std::filesystem::path& ruleFile,
                                      const std::u16string& appliedBox) {
  LetterRuleTables tables;
  ErrorRecord error;
  DebugWindows debug;
  LetterRuleContext ctx{tables, error, debug, true, 0};
  LoadLetterRules(ctx, ruleFile);
  if (!tables.RulesLoadOk) return {};
  std::vector<std::u16string> fired;
  for (std::u16string& line : BoxLines(appliedBox))
    if (line.starts_with(u"F= ")) fired.push_back(std::move(line));
  return MatchApplied(tables, RuleLines(ruleFile), fired);
}

}  // namespace parlan::cli
