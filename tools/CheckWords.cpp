// The words the normalisation file makes the language say (number words, expansions, the dot
// and decimal point words) must convert with the language's own letter rules, unless the
// exception dictionary holds them: otherwise every number or abbreviation that uses them loses
// its phonemes.
#include <algorithm>
#include <set>

#include "CheckContext.h"
#include "letter_rules/LetterRules.h"
#include "strings/Unicode.h"

namespace parlan::cli {

void CheckSpokenWords(const CheckedFile& rules, const CheckedFile& normalisation,
                      CheckState& state) {
  LetterRuleTables tables;
  ErrorRecord error;
  DebugWindows debug;
  LetterRuleContext ctx{tables, error, debug, true, 0};
  LoadLetterRules(ctx, rules.Path);
  if (!tables.RulesLoadOk) {
    const auto& all = state.Found.All();
    if (std::none_of(all.begin(), all.end(),
                     [&](const Problem& p) { return p.File == rules.Shown; }))
      state.Found.Add(rules.Shown, 0, "does not load");
    return;
  }
  std::set<std::pair<int, std::u16string>> reported;
  for (const SpokenWord& spoken : state.SpokenWords) {
    const std::u16string word = LowerCase(spoken.Word);
    if (std::find(state.ExceptionWords.begin(), state.ExceptionWords.end(), word) !=
            state.ExceptionWords.end() ||
        !reported.insert({spoken.Line, word}).second)
      continue;
    error = {};
    ConvertWord(ctx, word);
    if (!tables.ConversionOk)
      state.Found.Add(normalisation.Shown, spoken.Line,
                      "the word " + Quote(word) + " does not convert with the letter rules (" +
                          ToUtf8(error.Text) + ")");
  }
}

}  // namespace parlan::cli
