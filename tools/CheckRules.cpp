// Checks of the letter-rule file: its four parts, the wild-card classes, and each rule: its
// focus, its contexts and the classes they name, its letter group, rules that an earlier rule
// keeps from ever applying, and the phonemes of its result.
#include <optional>

#include "CheckContext.h"
#include "letter_rules/LetterRules.h"
#include "letter_rules/RuleFile.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

constexpr size_t kMaxItems = 10;

bool IsComment(const std::u16string& line) {
  return !line.empty() && line[0] == u'\'';
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

// The number a text begins with; nothing when it does not begin with a digit.
std::optional<long> LeadingDigits(std::u16string_view text) {
  if (text.empty() || !IsDigit(text[0])) return std::nullopt;
  long n = 0;
  for (size_t i = 0; i < text.size() && IsDigit(text[i]) && n < 1000000; ++i)
    n = n * 10 + (text[i] - u'0');
  return n;
}

size_t FindContaining(const std::vector<std::u16string>& lines, size_t from,
                      std::u16string_view keyword) {
  for (size_t i = from; i < lines.size(); ++i)
    if (InStrIgnoreCase(lines[i], keyword) > 0) return i;
  return lines.size();
}

// The wild-card section from `from` up to the RULES line. Returns the number of classes and
// sets `rulesLine` (lines.size() when the section never ends).
long CheckWildCards(const CheckedFile& file, size_t from, size_t& rulesLine, Problems& found) {
  long classes = 0;
  size_t i = from;
  for (; i < file.Lines.size() && InStrIgnoreCase(file.Lines[i], u"RULES") == 0; ++i) {
    const std::u16string& line = file.Lines[i];
    const int number = static_cast<int>(i + 1);
    if (IsComment(line)) continue;
    ++classes;
    if (classes == kMaxWildCards + 1)
      found.Add(file.Shown, number, "more than 50 classes, so the file does not load");
    if (classes > kMaxWildCards) continue;
    const size_t dropped = classes >= 10 ? 3 : 2;
    if (line.size() < dropped) {
      found.Add(file.Shown, number,
                "class line too short (a blank line?), so the file does not load");
      continue;
    }
    if (auto written = LeadingDigits(line); written && *written != classes)
      found.Add(file.Shown, number,
                "this line defines class " + std::to_string(classes) + ", not " +
                    std::to_string(*written) + ": classes are numbered by their order");
    if (line.size() == dropped)
      found.Add(file.Shown, number,
                "class " + std::to_string(classes) + " has no members, so it never matches");
  }
  rulesLine = i;
  if (i == file.Lines.size())
    found.Add(file.Shown, EndLine(file), "missing \"RULES\" line, so the file does not load");
  return classes;
}

struct ParsedRule {
  int Line = 0;
  LetterRule Rule;
};

bool AlwaysFits(const std::u16string& context, bool sense) {
  return (context == u"*" && sense) || (context.empty() && !sense);
}

void CheckItem(const CheckedFile& file, int line, const std::string& side, std::u16string_view item,
               long classes, Problems& found) {
  const std::string where = " in the " + side + " context";
  if (item.empty()) {
    found.Add(file.Shown, line, "an empty item" + where + " counts as class 0 and never matches");
    return;
  }
  if (item[0] == u':' || item[0] == u';') {
    item.remove_prefix(1);
    if (item.empty()) {
      found.Add(file.Shown, line, "\":\" or \";\" with nothing after it" + where);
      return;
    }
  }
  if (auto number = LeadingDigits(item); number && (*number < 1 || *number > classes))
    found.Add(file.Shown, line,
              "class " + std::to_string(*number) + where + " is not defined (the file defines " +
                  std::to_string(classes) + ")");
}

void CheckContext(const CheckedFile& file, int line, const std::string& side,
                  const std::u16string& context, bool sense, long classes, Problems& found) {
  if (context == u"*") {
    if (!sense)
      found.Add(file.Shown, line,
                "the " + side + " context \"!*\" never fits, so the rule never applies");
    return;
  }
  if (context.empty()) return;  // "!" alone: fits everywhere
  std::vector<std::u16string_view> items;
  std::u16string_view rest(context);
  for (size_t comma; (comma = rest.find(u',')) != std::u16string_view::npos;) {
    items.push_back(rest.substr(0, comma));
    rest.remove_prefix(comma + 1);
  }
  items.push_back(rest);
  if (items.size() > kMaxItems)
    found.Add(file.Shown, line,
              "the " + side + " context has " + std::to_string(items.size()) +
                  " items; more than 10 make its test fail");
  for (std::u16string_view item : items) CheckItem(file, line, side, item, classes, found);
}

// Reports the rule when an earlier rule of its group always applies first.
void CheckReachable(const CheckedFile& file, const ParsedRule& rule,
                    const std::vector<ParsedRule>& group, Problems& found) {
  const LetterRule& r = rule.Rule;
  for (const ParsedRule& earlier : group) {
    const LetterRule& e = earlier.Rule;
    const std::string at = std::to_string(earlier.Line);
    if (AlwaysFits(e.LeftContext, e.LeftSense) && AlwaysFits(e.RightContext, e.RightSense) &&
        r.Focus.starts_with(e.Focus)) {
      found.Add(file.Shown, rule.Line,
                "never used: the rule at line " + at + " for " + Quote(e.Focus) +
                    " in any context comes first");
      return;
    }
    if (e.Focus == r.Focus && e.LeftContext == r.LeftContext && e.LeftSense == r.LeftSense &&
        e.RightContext == r.RightContext && e.RightSense == r.RightSense) {
      found.Add(file.Shown, rule.Line,
                "never used: the rule at line " + at + " has the same focus and contexts");
      return;
    }
  }
}

// Cuts a rule line as the loader does; false (with the problem reported) when it has no focus.
bool ParseRule(const CheckedFile& file, int line, const std::u16string& text, ParsedRule& out,
               Problems& found) {
  const size_t open = text.find(u'[');
  const size_t close = text.find(u']');
  if (open == std::u16string::npos || close == std::u16string::npos || close < open) {
    found.Add(file.Shown, line, "no focus in \"[\" and \"]\", so the rule never applies");
    return false;
  }
  if (close == open + 1) {
    found.Add(file.Shown, line, "empty focus \"[]\", so the rule never applies");
    return false;
  }
  LetterRuleTables scratch;
  AddRule(scratch, LowerCase(ParseLeftContext(text)),
          LowerCase(text.substr(open + 1, close - open - 1)), LowerCase(ParseRightContext(text)),
          ParseResult(text), 1);
  out = {line, scratch.LetterRules.at(0)};
  return true;
}

void CheckRules(const CheckedFile& file, size_t from, long classes, CheckState& state) {
  Problems& found = state.Found;
  GroupTracker groups("rules for");
  std::vector<ParsedRule> group;
  size_t i = from;
  for (; i < file.Lines.size(); ++i) {
    const std::u16string& text = file.Lines[i];
    if (IsComment(text)) continue;
    if (text.find(u"END") != std::u16string::npos) break;
    const int line = static_cast<int>(i + 1);
    ParsedRule rule;
    if (!ParseRule(file, line, text, rule, found)) continue;
    const LetterRule& r = rule.Rule;
    groups.Next(file, line, std::u16string_view(r.Focus).substr(0, 1), found);
    if (!group.empty() && group.front().Rule.Focus[0] != r.Focus[0]) group.clear();
    CheckContext(file, line, "left", r.LeftContext, r.LeftSense, classes, found);
    CheckContext(file, line, "right", r.RightContext, r.RightSense, classes, found);
    CheckReachable(file, rule, group, found);
    if (text.find(u'=') == std::u16string::npos)
      found.Add(file.Shown, line, "no \"=\": the whole line becomes the result");
    else
      CheckPhonemes(state, file, line, r.Result);
    if (r.RightContext == u"_" && r.RightSense)
      NoteWordEnd(state, file, line, r.Result, "word-end rule");
    group.push_back(std::move(rule));
  }
  if (i == file.Lines.size())
    found.Add(file.Shown, EndLine(file), "missing \"END\" line, so the file does not load");
}

// The loader does not read the name, so a file copied from another language keeps working
// while saying it is that language: in the debug window, and to whoever edits it.
void CheckLanguageLine(const CheckedFile& file, size_t index, CheckState& state) {
  const std::u16string& text = file.Lines[index];
  std::u16string named = text.substr(InStrIgnoreCase(text, u"LANGUAGE=") - 1 + 9);
  if (const size_t wild = InStrIgnoreCase(named, u"WILD CARDS"); wild > 0) named.resize(wild - 1);
  while (!named.empty() && (named.back() == u' ' || named.back() == u'\t')) named.pop_back();
  if (state.Language.empty() || EqualsIgnoreCase(named, state.Language)) return;
  state.Found.Add(
      file.Shown, static_cast<int>(index + 1),
      "LANGUAGE= names " + Quote(named) + ", but the folder is that of " + Quote(state.Language));
}

}  // namespace

void CheckRuleFile(const CheckedFile& file, CheckState& state) {
  const size_t language = FindContaining(file.Lines, 0, u"LANGUAGE=");
  if (language == file.Lines.size()) {
    state.Found.Add(file.Shown, EndLine(file),
                    "missing \"LANGUAGE=\" line, so the file does not load");
    return;
  }
  CheckLanguageLine(file, language, state);
  const size_t wild = FindContaining(file.Lines, language, u"WILD CARDS");
  if (wild == file.Lines.size()) {
    state.Found.Add(file.Shown, EndLine(file),
                    "missing \"WILD CARDS\" line, so the file does not load");
    return;
  }
  size_t rulesLine = 0;
  const long classes = CheckWildCards(file, wild + 1, rulesLine, state.Found);
  if (rulesLine < file.Lines.size()) CheckRules(file, rulesLine + 1, classes, state);
}

}  // namespace parlan::cli
