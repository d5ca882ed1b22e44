// Cutting rule lines into their parts, storing rules and indexing them by first letter.
#include <algorithm>

#include "letter_rules/CompiledRules.h"
#include "letter_rules/RuleFile.h"
#include "strings/StringFunctions.h"

namespace parlan {
namespace {

constexpr char16_t kAnything[] = u"*";
constexpr char16_t kNoFocus[] = u"Error in Rule - no focus";

// 0-based positions of the first "[", "]" and "=", npos when absent.
struct RuleMarks {
  size_t open;
  size_t close;
  size_t equals;
};

RuleMarks FindMarks(std::u16string_view line) {
  return {line.find(u'['), line.find(u']'), line.find(u'=')};
}

bool HasFocus(const RuleMarks& m) {
  return m.open != std::u16string_view::npos && m.close != std::u16string_view::npos &&
         m.close > m.open;
}

std::u16string OrAnything(std::u16string_view text) {
  return text.empty() ? std::u16string(kAnything) : std::u16string(text);
}

// Splits a leading "!" off a context into its sense.
void StoreContext(std::u16string_view context, std::u16string& pattern, bool& sense) {
  sense = context.empty() || context.front() != u'!';
  if (!sense) context.remove_prefix(1);
  pattern.assign(context);
}

}  // namespace

std::u16string ParseLeftContext(std::u16string_view line) {
  RuleMarks m = FindMarks(line);
  if (m.open == std::u16string_view::npos) return kAnything;
  return OrAnything(line.substr(0, m.open));
}

std::u16string ParseFocus(LetterRuleContext& ctx, std::u16string_view line) {
  RuleMarks m = FindMarks(line);
  if (!HasFocus(m)) {
    if (!ctx.NeverDebug) ctx.Debug.LogRuleApplied(kNoFocus);
    return {};
  }
  return std::u16string(line.substr(m.open + 1, m.close - m.open - 1));
}

std::u16string ParseRightContext(std::u16string_view line) {
  RuleMarks m = FindMarks(line);
  if (m.equals == std::u16string_view::npos || m.close == std::u16string_view::npos ||
      m.equals <= m.close)
    return kAnything;
  return OrAnything(line.substr(m.close + 1, m.equals - m.close - 1));
}

std::u16string ParseResult(std::u16string_view line) {
  size_t q = line.find(u'=');
  return TrimSpaces(q == std::u16string_view::npos ? line : line.substr(q + 1));
}

int32_t AddRule(LetterRuleTables& tables, std::u16string_view left, std::u16string_view focus,
                std::u16string_view right, std::u16string_view result, int32_t n) {
  if (n < 1 || n > kMaxRules) return 0;
  tables.Compiled.reset();  // built again from the changed rules when next needed
  auto& rules = tables.LetterRules;
  if (rules.size() < static_cast<size_t>(n)) {
    if (rules.capacity() < static_cast<size_t>(kUsualRules)) rules.reserve(kUsualRules);
    rules.resize(static_cast<size_t>(n));
  }
  LetterRule& rule = rules[static_cast<size_t>(n) - 1];
  StoreContext(left, rule.LeftContext, rule.LeftSense);
  rule.Focus.assign(focus);
  StoreContext(right, rule.RightContext, rule.RightSense);
  rule.Result.assign(result);
  return 1;
}

void BuildLetterIndex(LetterRuleTables& tables, int32_t ruleCount) {
  tables.Compiled.reset();
  tables.LetterGroups.clear();
  tables.GroupLetters.clear();
  ruleCount = std::min({ruleCount, kMaxRules, static_cast<int32_t>(tables.LetterRules.size())});
  tables.LetterGroups.reserve(kUsualGroups);
  for (int32_t i = 1; i <= ruleCount; ++i) {
    const std::u16string& focus = tables.LetterRules[static_cast<size_t>(i) - 1].Focus;
    if (focus.empty()) continue;  // never applies: not part of any run
    char16_t letter = focus.front();
    if (tables.GroupLetters.empty() || tables.GroupLetters.back() != letter) {
      tables.LetterGroups.push_back(
          {std::u16string(1, letter), static_cast<int16_t>(i), static_cast<int16_t>(i)});
      tables.GroupLetters.push_back(letter);
    } else {
      tables.LetterGroups.back().Last = static_cast<int16_t>(i);
    }
  }
}

std::u16string RuleText(const LetterRule& rule) {
  std::u16string line;
  line.reserve(rule.LeftContext.size() + rule.Focus.size() + rule.RightContext.size() +
               rule.Result.size() + 3);
  line.append(rule.LeftContext).append(u"[").append(rule.Focus).append(u"]");
  line.append(rule.RightContext).append(u"=").append(rule.Result);
  return line;
}

}  // namespace parlan
