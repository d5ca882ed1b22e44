// Converting one word with the letter rules: at each point the rules of the next character's
// letter group are tried in file order, and the first whose focus and contexts fit applies.
#include "letter_rules/RuleMatcher.h"

namespace parlan {
namespace {

const LetterRule* RuleAt(const LetterRuleTables& tables, int32_t i) {
  if (i < 1 || static_cast<size_t>(i) > tables.LetterRules.size()) return nullptr;
  return &tables.LetterRules[static_cast<size_t>(i) - 1];
}

void LogApplied(LetterRuleContext& ctx, const LetterRule& rule) {
  std::u16string line;
  line.reserve(rule.Focus.size() + rule.LeftContext.size() + rule.RightContext.size() +
               rule.Result.size() + 20);
  line.append(u"F= ").append(rule.Focus).append(u" LC= ").append(rule.LeftContext);
  line.append(u" RC= ").append(rule.RightContext).append(u" RES= ").append(rule.Result);
  ctx.Debug.LogRuleApplied(line);
}

// Whether rule fits at position `at` of word: its focus stands there and both contexts, each
// inverted when written with "!", fit. A rule without focus never fits.
bool Fits(LetterRuleContext& ctx, const LetterRule& rule, std::u16string_view word, size_t at) {
  const std::u16string& focus = rule.Focus;
  std::u16string_view rest = word.substr(at);
  if (focus.empty() || !rest.starts_with(focus)) return false;
  bool left = MatchLeftContext(ctx, word.substr(0, at), rule.LeftContext);
  if (left != rule.LeftSense) return false;
  bool right = MatchRightContext(ctx, rest.substr(focus.size()), rule.RightContext);
  return right == rule.RightSense;
}

// The first rule of the group of word[at] that fits, or nullptr.
const LetterRule* FirstFittingRule(LetterRuleContext& ctx, std::u16string_view word, size_t at) {
  int32_t first = 0;
  int32_t last = 0;
  if (!FindLetterGroup(ctx, word.substr(at), first, last)) return nullptr;
  // A left-context error earlier in this word ends it at the next lookup.
  if (!ctx.Tables.ConversionOk) return nullptr;
  for (int32_t i = first; i <= last; ++i) {
    const LetterRule* rule = RuleAt(ctx.Tables, i);
    if (rule && Fits(ctx, *rule, word, at)) return rule;
  }
  return nullptr;
}

}  // namespace

int32_t LetterGroupNumber(LetterRuleContext& ctx, char16_t c) {
  std::u16string_view letters = ctx.Tables.GroupLetters;
  std::u16string_view wanted(&c, 1);
  for (size_t g = 0; g < letters.size(); ++g)
    if (letters[g] == c || SameIgnoringCase(letters.substr(g, 1), wanted))
      return static_cast<int32_t>(g + 1);
  std::u16string text = errors::kNoLetterGroupText + std::u16string(1, c);
  ctx.Tables.ConversionOk = false;
  if (!ctx.NeverDebug) ctx.Debug.LogRuleApplied(text);
  ctx.Error.Record(errors::kNoLetterGroup, std::move(text));
  return 0;
}

bool FindLetterGroup(LetterRuleContext& ctx, std::u16string_view text, int32_t& first,
                     int32_t& last) {
  if (text.empty()) return false;
  int32_t g = LetterGroupNumber(ctx, text.front());
  if (g < 1 || static_cast<size_t>(g) > ctx.Tables.LetterGroups.size()) return false;
  const LetterGroup& group = ctx.Tables.LetterGroups[static_cast<size_t>(g) - 1];
  first = group.First;
  last = group.Last;
  return true;
}

std::u16string ConvertWord(LetterRuleContext& ctx, std::u16string_view word) {
  ctx.Tables.ConversionOk = true;
  std::u16string out;
  size_t at = 0;
  try {
    while (at < word.size()) {
      const LetterRule* rule = FirstFittingRule(ctx, word, at);
      if (!rule) break;
      if (!ctx.NeverDebug) LogApplied(ctx, *rule);
      out.push_back(u' ');
      out.append(rule->Result);
      at += rule->Focus.size();
    }
    if (at >= word.size()) return out;
  } catch (...) {
    // Whatever failed, the word ends as missing with the phonemes found so far.
  }
  ctx.Tables.ConversionOk = false;
  try {
    ctx.Error.Record(errors::kMissingRule,
                     errors::kMissingRuleText + std::u16string(word.substr(at)));
  } catch (...) {
    ctx.Error.Number = errors::kMissingRule;
  }
  return out;
}

}  // namespace parlan
