// The pieces of the rule file loader: cutting a rule line into its four parts, storing a rule,
// and building the letter index over the stored rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "letter_rules/LetterRules.h"

namespace parlan {

// The text before the first "[", taken unchanged; "*" when that text is empty or the line has
// no "[".
std::u16string ParseLeftContext(std::u16string_view line);

// The text strictly between the first "[" and the first "]". A line whose first "]" does not
// come after its first "[" (or lacks either) has no focus: the result is empty and
// "Error in Rule - no focus" goes to the rules-applied box.
std::u16string ParseFocus(LetterRuleContext& ctx, std::u16string_view line);

// The text strictly between the first "]" and the first "="; "*" when that text is empty, or
// the line has no "=" or no "]".
std::u16string ParseRightContext(std::u16string_view line);

// The text after the first "=" (the whole line without "="), without leading and trailing
// spaces.
std::u16string ParseResult(std::u16string_view line);

// Stores the rule as rule n (1-based), growing the table when needed; a leading "!" of either
// context is removed and turns that context's sense to false. Returns the number of rules
// added: 1, or 0 when n lies outside 1..kMaxRules.
int32_t AddRule(LetterRuleTables& tables, std::u16string_view left, std::u16string_view focus,
                std::u16string_view right, std::u16string_view result, int32_t n);

// Rebuilds LetterGroups and GroupLetters over rules 1..ruleCount: one group per run of
// consecutive rules whose foci start with the same character. A rule with an empty focus can
// never apply; it neither opens nor closes a group, so the groups around it keep their letters
// and GroupLetters keeps one character per group.
void BuildLetterIndex(LetterRuleTables& tables, int32_t ruleCount);

// The line the rule-set box shows for a rule: left[focus]right=result, as stored.
std::u16string RuleText(const LetterRule& rule);

}  // namespace parlan
