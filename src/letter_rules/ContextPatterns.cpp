// Context patterns of the letter rules: lists of items matched against the text before or after
// a rule's focus.
#include <array>

#include "letter_rules/RuleMatcher.h"
#include "strings/StringFunctions.h"
#include "strings/Unicode.h"

namespace parlan {
namespace {

bool IsAsciiDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

char16_t AsciiLower(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c;
}

// Matches one item against the front of text by its kind. malformed is set for a class number
// beyond the 16-bit range.
bool MatchItem(const LetterRuleTables& tables, std::u16string_view& text, std::u16string_view item,
               bool& malformed) {
  if (item.empty()) return false;  // an empty item is class 0, which never matches
  switch (item.front()) {
    case u':':
      return MatchOneOrMore(tables, text, item, malformed);
    case u';':
      return MatchZeroOrMore(tables, text, item, malformed);
    case u'_':
      return text.empty();
    default:
      break;
  }
  if (!IsAsciiDigit(item.front())) return MatchLiteral(text, item);
  std::optional<int16_t> c = ClassNumber(item);
  if (!c) {
    malformed = true;
    return false;
  }
  return MatchWildCard(tables, text, *c);
}

// Repeats the literal or class after the mark while it matches; returns how often it did.
int32_t Repeat(const LetterRuleTables& tables, std::u16string_view& text, std::u16string_view item,
               bool& malformed) {
  std::u16string_view x = item.substr(1);
  int32_t count = 0;
  if (!x.empty() && IsAsciiDigit(x.front())) {
    std::optional<int16_t> c = ClassNumber(x);
    if (!c) {
      malformed = true;
      return 0;
    }
    while (MatchWildCard(tables, text, *c)) ++count;
  } else {
    // Every successful match consumes at least one character, so the loop ends.
    while (MatchLiteral(text, x)) ++count;
  }
  return count;
}

// Matches every item of the pattern in turn, each continuing where the previous one stopped;
// all items are tried even after one failed. Items are taken last to first when reversed.
bool MatchItems(const LetterRuleTables& tables, std::u16string_view text,
                std::u16string_view pattern, bool reversed, bool& malformed) {
  int32_t k = CountItems(pattern);
  if (k > kMaxContextItems) {
    malformed = true;
    return false;
  }
  std::array<std::u16string_view, kMaxContextItems> items;
  for (int32_t i = 0; i < k; ++i) items[static_cast<size_t>(i)] = TakeItem(pattern);
  bool all = true;
  for (int32_t i = 0; i < k; ++i) {
    size_t at = static_cast<size_t>(reversed ? k - 1 - i : i);
    if (!MatchItem(tables, text, items[at], malformed)) all = false;
    if (malformed) return false;
  }
  return all;
}

}  // namespace

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return EqualsIgnoreCase(a, b);
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] >= 0x80 || b[i] >= 0x80) return EqualsIgnoreCase(a.substr(i), b.substr(i));
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool MatchLiteral(std::u16string_view& text, std::u16string_view letters) {
  if (letters.empty() || text.size() < letters.size()) return false;
  if (!SameIgnoringCase(text.substr(0, letters.size()), letters)) return false;
  text.remove_prefix(letters.size());
  return true;
}

bool MatchWildCard(const LetterRuleTables& tables, std::u16string_view& text, int32_t classNumber) {
  if (text.empty() || classNumber < 1 || classNumber > kMaxWildCards ||
      static_cast<size_t>(classNumber) > tables.WildCards.size())
    return false;
  std::u16string_view members = tables.WildCards[static_cast<size_t>(classNumber) - 1];
  // Only members that begin with the text's first character can fit: find that character at
  // the start of a member instead of walking every member.
  size_t longest = 0;
  for (size_t at = members.find(text.front()); at != std::u16string_view::npos;
       at = members.find(text.front(), at + 1)) {
    if (at > 0 && members[at - 1] != u',') continue;
    std::u16string_view member = members.substr(at, members.find(u',', at) - at);
    if (member.size() > longest && text.starts_with(member)) longest = member.size();
  }
  if (longest == 0) return false;
  text.remove_prefix(longest);
  return true;
}

bool MatchOneOrMore(const LetterRuleTables& tables, std::u16string_view& text,
                    std::u16string_view item, bool& malformed) {
  return Repeat(tables, text, item, malformed) > 0;
}

bool MatchZeroOrMore(const LetterRuleTables& tables, std::u16string_view& text,
                     std::u16string_view item, bool& malformed) {
  Repeat(tables, text, item, malformed);
  return true;
}

std::optional<int16_t> ClassNumber(std::u16string_view item) {
  int32_t value = 0;
  for (char16_t c : item) {
    if (!IsAsciiDigit(c)) break;
    value = value * 10 + (c - u'0');
    if (value > 32767) return std::nullopt;
  }
  return static_cast<int16_t>(value);
}

int32_t CountItems(std::u16string_view pattern) {
  int32_t k = 1;
  for (char16_t c : pattern)
    if (c == u',') ++k;
  return k;
}

std::u16string_view TakeItem(std::u16string_view& pattern) {
  size_t comma = pattern.find(u',');
  std::u16string_view item = pattern.substr(0, comma);
  pattern.remove_prefix(comma == std::u16string_view::npos ? pattern.size() : comma + 1);
  return item;
}

std::u16string ReverseItems(std::u16string_view pattern) {
  std::u16string out;
  out.reserve(pattern.size());
  size_t end = pattern.size();
  while (true) {
    size_t comma = end == 0 ? std::u16string_view::npos : pattern.rfind(u',', end - 1);
    if (comma == std::u16string_view::npos) {
      out.append(pattern.substr(0, end));
      return out;
    }
    out.append(pattern.substr(comma + 1, end - comma - 1)).push_back(u',');
    end = comma;
  }
}

bool MatchLeftContext(LetterRuleContext& ctx, std::u16string_view converted,
                      std::u16string_view pattern) {
  if (pattern == u"*") return true;
  // Matching starts next to the focus and moves away from it: over the reversed text, with
  // the items taken from the last (nearest the focus) to the first.
  std::u16string reversed = ReverseText(converted);
  bool malformed = false;
  bool fits = MatchItems(ctx.Tables, reversed, pattern, true, malformed);
  if (!malformed) return fits;
  ctx.Error.Record(errors::kLeftContext, errors::kLeftContextText);
  ctx.Tables.ConversionOk = false;
  return false;
}

bool MatchRightContext(LetterRuleContext& ctx, std::u16string_view after,
                       std::u16string_view pattern) {
  if (pattern == u"*") return true;
  bool malformed = false;
  bool fits = MatchItems(ctx.Tables, after, pattern, false, malformed);
  if (!malformed) return fits;
  ctx.Error.Record(errors::kRightContext, errors::kRightContextText);
  return false;
}

}  // namespace parlan
