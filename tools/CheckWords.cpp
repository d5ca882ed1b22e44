// Checks made with the library's own loaders: each file must load as the control loads it, and
// the words the normalisation file makes the language say (number words, expansions, the dot
// and decimal point words) must convert with the language's letter rules, unless the exception
// dictionary holds them: otherwise every number or abbreviation that uses them loses its
// phonemes.
#include <algorithm>
#include <set>

#include "CheckContext.h"
#include "letter_rules/LetterRules.h"
#include "normalisation/Normalisation.h"
#include "pipeline/Exceptions.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

bool HasProblem(const CheckState& state, const CheckedFile& file) {
  const auto& all = state.Found.All();
  return std::any_of(all.begin(), all.end(),
                     [&](const Problem& p) { return p.File == file.Shown; });
}

}  // namespace

void CheckLoading(const CheckedFile& normalisation, const CheckedFile& exceptions,
                  CheckState& state) {
  // A file whose problems were reported already is known not to load; a file that the checks
  // found nothing wrong with and that still does not load is reported here.
  if (normalisation.Readable && !HasProblem(state, normalisation)) {
    NormalisationTables tables;
    DebugWindows debug;
    NormContext ctx{tables, debug, true};
    if (!LoadNormalisationRules(ctx, normalisation.Path))
      state.Found.Add(normalisation.Shown, 0, "does not load");
  }
  if (exceptions.Readable && !HasProblem(state, exceptions)) {
    ExceptionTables tables;
    if (!LoadExceptions(tables, exceptions.Path))
      state.Found.Add(exceptions.Shown, 0, "does not load");
  }
}

void CheckSpokenWords(const CheckedFile& rules, const CheckedFile& normalisation,
                      CheckState& state) {
  LetterRuleTables tables;
  ErrorRecord error;
  DebugWindows debug;
  LetterRuleContext ctx{tables, error, debug, true, 0};
  LoadLetterRules(ctx, rules.Path);
  if (!tables.RulesLoadOk) {
    if (!HasProblem(state, rules)) state.Found.Add(rules.Shown, 0, "does not load");
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

namespace parlan::cli {

void NoteWordEnd(CheckState& state, const CheckedFile& file, int line, std::u16string_view result,
                 const char* what) {
  if (result.ends_with(u'\t'))
    state.AnyTabbedWordEnd = true;
  else
    state.Untabbed.push_back({file.Shown, line, what});
}

void CheckWordEnds(const std::string& configShown, CheckState& state) {
  if (!state.JoinsWords || state.Untabbed.empty()) return;
  if (!state.AnyTabbedWordEnd) {
    state.Found.Add(configShown, state.SpaceLine,
                    "SPACE is not 1, so the blanks between rule results are removed, and no "
                    "word-end rule or dictionary entry ends in a tab: the words of a phrase run "
                    "together (end them with a tab, or write SPACE=1)");
    return;
  }
  for (const UntabbedWordEnd& end : state.Untabbed)
    state.Found.Add(end.File, end.Line,
                    "this " + end.What +
                        " ends a word without the tab the others end in: with SPACE not 1 the "
                        "word runs into the next one");
}

}  // namespace parlan::cli
