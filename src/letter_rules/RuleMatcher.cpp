// Converting one word with the letter rules: at each point the rules of the next character's
// letter group are tried in file order, and the first whose focus and contexts fit applies.
#include "letter_rules/RuleMatcher.h"

#include "letter_rules/CompiledRules.h"

namespace parlan {
namespace {

void LogApplied(LetterRuleContext& ctx, const LetterRule& rule) {
  std::u16string line;
  line.reserve(rule.Focus.size() + rule.LeftContext.size() + rule.RightContext.size() +
               rule.Result.size() + 20);
  line.append(u"F= ").append(rule.Focus).append(u" LC= ").append(rule.LeftContext);
  line.append(u" RC= ").append(rule.RightContext).append(u" RES= ").append(rule.Result);
  ctx.Debug.LogRuleApplied(line);
}

// The word being converted, with its reversal made once for all the left contexts.
struct WordView {
  std::u16string_view Text;
  std::u16string Reversed;
};

// Whether rule i, whose focus stands at position `at`, fits there: both contexts, each
// inverted when written with "!", fit. A malformed context records its error each time.
bool ContextsFit(LetterRuleContext& ctx, const CompiledRules& compiled, int32_t i,
                 const WordView& word, size_t at) {
  const CompiledRule& c = compiled.Rules[static_cast<size_t>(i) - 1];
  bool malformed = false;
  // Matching starts next to the focus and moves away from it, over the reversed text.
  std::u16string_view before = std::u16string_view(word.Reversed).substr(word.Text.size() - at);
  bool left = !c.Left.SurelyMisses(before) && MatchCompiled(compiled, c.Left, before, malformed);
  if (malformed) {
    ctx.Error.Record(errors::kLeftContext, errors::kLeftContextText);
    ctx.Tables.ConversionOk = false;
  }
  if (left != c.LeftSense) return false;
  malformed = false;
  std::u16string_view after = word.Text.substr(at + c.FocusSize);
  bool right = !c.Right.SurelyMisses(after) && MatchCompiled(compiled, c.Right, after, malformed);
  if (malformed) ctx.Error.Record(errors::kRightContext, errors::kRightContextText);
  return right == c.RightSense;
}

int32_t GroupOf(LetterRuleContext& ctx, const CompiledRules& compiled, char16_t c) {
  if (c < 128 && compiled.AsciiGroup[c] > 0) return compiled.AsciiGroup[c];
  return LetterGroupNumber(ctx, c);
}

// The first rule of the group of word[at] whose focus stands there and whose contexts fit, or
// 0. Only the rules whose focus is a beginning of the rest of the word are tried, in file
// order.
int32_t FirstFittingRule(LetterRuleContext& ctx, const CompiledRules& compiled,
                         const WordView& word, size_t at) {
  std::u16string_view rest = word.Text.substr(at);
  int32_t g = GroupOf(ctx, compiled, rest.front());
  if (g < 1 || static_cast<size_t>(g) > compiled.Groups.size()) return 0;
  // A left-context error earlier in this word ends it at the next lookup.
  if (!ctx.Tables.ConversionOk) return 0;
  std::u16string_view before = std::u16string_view(word.Reversed).substr(word.Text.size() - at);
  const std::vector<int32_t>& candidates =
      compiled.Groups[static_cast<size_t>(g) - 1].CandidatesFor(compiled, rest, before);
  // The screens rule most candidates out without reading their records, which a large file
  // keeps far apart in memory.
  for (int32_t i : candidates) {
    if (compiled.Screens[static_cast<size_t>(i) - 1].Misses(before, rest)) continue;
    if (ContextsFit(ctx, compiled, i, word, at)) return i;
  }
  return 0;
}

}  // namespace

int32_t GroupLetterPosition(std::u16string_view letters, char16_t c) {
  std::u16string_view wanted(&c, 1);
  const bool asciiC = c < 0x80;
  const char16_t lowerC = asciiC && c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c | 0x20) : c;
  for (size_t g = 0; g < letters.size(); ++g) {
    const char16_t letter = letters[g];
    if (letter == c) return static_cast<int32_t>(g + 1);
    // Two ASCII characters fold alike only as the two cases of a Latin letter; ICU is asked
    // only when either side lies beyond ASCII (the Kelvin sign folds to k, for one).
    if (asciiC && letter < 0x80) {
      const char16_t lower =
          letter >= u'A' && letter <= u'Z' ? static_cast<char16_t>(letter | 0x20) : letter;
      if (lower == lowerC) return static_cast<int32_t>(g + 1);
      continue;
    }
    if (SameIgnoringCase(letters.substr(g, 1), wanted)) return static_cast<int32_t>(g + 1);
  }
  return 0;
}

int32_t LetterGroupNumber(LetterRuleContext& ctx, char16_t c) {
  if (int32_t g = GroupLetterPosition(ctx.Tables.GroupLetters, c); g > 0) return g;
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

namespace {

// The memory of converted words, emptied when it belongs to other tables or is full; null
// when the tables may record errors of their own.
ConvertedWords* ConvertedFor(LetterRuleContext& ctx, std::u16string_view word) {
  const std::shared_ptr<const CompiledRules>& compiled = ctx.Tables.Compiled;
  if (!compiled || compiled->AnyMalformed) return nullptr;
  ConvertedWords& memo = ctx.Tables.Converted;
  if (word.size() > ConvertedWords::kMaxLength || memo.Capacity == 0) return nullptr;
  if (memo.For != compiled || memo.Phonemes.size() >= memo.Capacity) {
    memo.Phonemes.clear();
    memo.For = compiled;
  }
  return &memo;
}

void Remember(ConvertedWords& memo, std::u16string_view word, ConvertedWords::Word converted) {
  try {
    memo.Phonemes.emplace(word, std::move(converted));
  } catch (...) {
    // Out of memory: the word is converted again next time.
  }
}

std::u16string ConvertByRules(LetterRuleContext& ctx, const CompiledRules& compiled,
                              std::u16string_view word, std::vector<int32_t>* applied);

// A remembered word: its phonemes, and the debug lines its conversion writes.
std::u16string Recall(LetterRuleContext& ctx, const ConvertedWords::Word& word) {
  if (!ctx.NeverDebug)
    for (int32_t i : word.Rules)
      LogApplied(ctx, ctx.Tables.LetterRules[static_cast<size_t>(i) - 1]);
  return word.Phonemes;
}

}  // namespace

std::u16string ConvertWord(LetterRuleContext& ctx, std::u16string_view word) {
  const CompiledRules* compiled = nullptr;
  try {
    compiled = &EnsureCompiled(ctx.Tables);
  } catch (...) {
    // Compiling the tables failed: the word is missing as a whole.
  }
  return ConvertCompiledWord(ctx, compiled, word);
}

std::u16string ConvertCompiledWord(LetterRuleContext& ctx, const CompiledRules* compiled,
                                   std::u16string_view word) {
  ctx.Tables.ConversionOk = true;
  try {
    if (compiled) {
      ConvertedWords* memo = ConvertedFor(ctx, word);
      if (!memo) return ConvertByRules(ctx, *compiled, word, nullptr);
      if (auto it = memo->Phonemes.find(word); it != memo->Phonemes.end())
        return Recall(ctx, it->second);
      ConvertedWords::Word converted;
      converted.Phonemes = ConvertByRules(ctx, *compiled, word, &converted.Rules);
      if (ctx.Tables.ConversionOk) Remember(*memo, word, converted);
      return std::move(converted.Phonemes);
    }
  } catch (...) {
    // Copying the phonemes out failed: the word is missing as a whole.
  }
  ctx.Tables.ConversionOk = false;
  try {
    ctx.Error.Record(errors::kMissingRule, errors::kMissingRuleText + std::u16string(word));
  } catch (...) {
    ctx.Error.Number = errors::kMissingRule;
  }
  return {};
}

namespace {

std::u16string ConvertByRules(LetterRuleContext& ctx, const CompiledRules& compiled,
                              std::u16string_view word, std::vector<int32_t>* applied) {
  std::u16string out;
  size_t at = 0;
  try {
    const WordView view{word, std::u16string(word.rbegin(), word.rend())};
    while (at < word.size()) {
      int32_t i = FirstFittingRule(ctx, compiled, view, at);
      if (i == 0) break;
      const LetterRule& rule = ctx.Tables.LetterRules[static_cast<size_t>(i) - 1];
      if (!ctx.NeverDebug) LogApplied(ctx, rule);
      if (applied) applied->push_back(i);
      out.push_back(u' ');
      out.append(rule.Result);
      at += rule.Focus.size();
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

}  // namespace

}  // namespace parlan
