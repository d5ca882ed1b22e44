// The pieces of the rule matcher: letter group lookup, context patterns and their items.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "letter_rules/LetterRules.h"

namespace parlan {

// A context holds at most this many items; more is a malformed context.
inline constexpr int32_t kMaxContextItems = 10;

// Position (1-based) of the first group letter that is c, compared without regard to case; 0
// when there is none. Nothing is recorded.
int32_t GroupLetterPosition(std::u16string_view groupLetters, char16_t c);

// Position (1-based) of c in GroupLetters, compared without regard to case. 0 when absent,
// after recording error 7, turning ConversionOk false and logging the error text.
int32_t LetterGroupNumber(LetterRuleContext& ctx, char16_t c);

// First and last rule of the letter group of text's first character. False when the text is
// empty, the character has no group, or the index does not fit the rule table.
bool FindLetterGroup(LetterRuleContext& ctx, std::u16string_view text, int32_t& first,
                     int32_t& last);

// True when the pattern fits the end of the converted text (the foci consumed so far). A
// malformed pattern records error 5, turns ConversionOk false and gives false.
bool MatchLeftContext(LetterRuleContext& ctx, std::u16string_view converted,
                      std::u16string_view pattern);

// True when the pattern fits the beginning of the text after the focus. A malformed pattern
// records error 6 and gives false.
bool MatchRightContext(LetterRuleContext& ctx, std::u16string_view after,
                       std::u16string_view pattern);

// Item matchers. Each removes what it matched from the front of text.
// The first letters.size() characters of text equal letters, without regard to case. The empty
// literal matches nothing.
bool MatchLiteral(std::u16string_view& text, std::u16string_view letters);
// The longest member of class classNumber that text starts with (exact comparison).
bool MatchWildCard(const LetterRuleTables& tables, std::u16string_view& text, int32_t classNumber);
// ":x" and ";x": the literal or class x, as often as it matches; one or more, zero or more.
// malformed is set when x names a class number beyond the 16-bit range.
bool MatchOneOrMore(const LetterRuleTables& tables, std::u16string_view& text,
                    std::u16string_view item, bool& malformed);
bool MatchZeroOrMore(const LetterRuleTables& tables, std::u16string_view& text,
                     std::u16string_view item, bool& malformed);

// The leading decimal number of an item; nothing when it does not fit 16 bits.
std::optional<int16_t> ClassNumber(std::u16string_view item);

// Pattern functions: the number of items (commas plus one), the next item taken off the front,
// and the items in reverse order.
int32_t CountItems(std::u16string_view pattern);
std::u16string_view TakeItem(std::u16string_view& pattern);
std::u16string ReverseItems(std::u16string_view pattern);

// ConvertWord with the compiled form of the tables already at hand (null when it could not be
// built): a phrase compiles, or checks, them once for all its words.
struct CompiledRules;
std::u16string ConvertCompiledWord(LetterRuleContext& ctx, const CompiledRules* compiled,
                                   std::u16string_view word);

// Comparison without regard to case, quick for plain ASCII text.
bool SameIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace parlan
