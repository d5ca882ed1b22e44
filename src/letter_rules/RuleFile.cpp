// Loading a language's letter-to-sound rule file into the rule tables.

#include "letter_rules/RuleFile.h"
#include "letter_rules/CompiledRules.h"
#include "strings/NumberText.h"
#include "strings/StringFunctions.h"
#include "strings/TextFiles.h"
#include "strings/Unicode.h"

namespace parlan {
namespace {

constexpr char16_t kLoadFailed[] = u"Error in Load to Letter Rules";

bool IsComment(std::u16string_view line) {
  return !line.empty() && line.front() == u'\'';
}

bool Holds(std::u16string_view line, std::u16string_view keyword) {
  return InStrIgnoreCase(line, keyword) > 0;
}

// One pass over a rule file. Each step reads on from where the previous one stopped; every step
// returns false when the file ends too soon or a line cannot be used, which fails the load.
class RuleFileLoad {
 public:
  explicit RuleFileLoad(LetterRuleContext& ctx) : ctx_(ctx), tables_(ctx.Tables) {}

  bool Run(const std::filesystem::path& file) {
    if (!reader_.Open(file)) return false;
    tables_.RulesLoadOk = true;
    if (!FindLanguageLine() || !FindWildCardsLine()) return false;
    ClearRuleSetBox();
    if (!ReadWildCards()) return false;
    int32_t ruleCount = 0;
    if (!ReadRules(ruleCount)) return false;
    reader_.Close();
    BuildLetterIndex(tables_, ruleCount);
    if (!ctx_.NeverDebug) ShowRuleSet(ruleCount);
    return true;
  }

  void Close() { reader_.Close(); }

 private:
  bool Next() { return reader_.ReadLine(line_); }

  bool FindLanguageLine() {
    do {
      if (!Next()) return false;
    } while (!Holds(line_, u"LANGUAGE="));
    if (!ctx_.NeverDebug) ctx_.Debug.LogRuleApplied(line_);
    return true;
  }

  // The language line is the first line tested, so both keywords may share it.
  bool FindWildCardsLine() {
    while (!Holds(line_, u"WILD CARDS"))
      if (!Next()) return false;
    return true;
  }

  // Cleared on every load, debugging or not; this creates the advanced window unseen.
  void ClearRuleSetBox() {
    DebugControl& box = ctx_.Debug.Box(ctx_.Debug.Advanced(), "txtRuleSet");
    ctx_.Debug.TextExy(box, ctx_.Debug.Locale(), u"");
  }

  // Classes are numbered by their order; the number and separator written in front of the
  // members (two characters, three from class 10 on) are dropped unread.
  bool ReadWildCards() {
    if (tables_.WildCards.size() < static_cast<size_t>(kMaxWildCards))
      tables_.WildCards.resize(kMaxWildCards);
    int32_t c = 1;
    if (!Next()) return false;
    while (!Holds(line_, u"RULES")) {
      if (!IsComment(line_)) {
        size_t drop = c >= 10 ? 3 : 2;
        if (c > kMaxWildCards || line_.size() < drop) return false;
        std::u16string& members = tables_.WildCards[static_cast<size_t>(c) - 1];
        members = LowerCase(std::u16string_view(line_).substr(drop));
        if (!ctx_.NeverDebug) ctx_.Debug.LogRuleSet(u"WC" + FormatSigned(c) + u" : " + members);
        ++c;
      }
      if (!Next()) return false;
    }
    return true;
  }

  // Rules run up to the first line that is not a comment and holds "END" in capitals.
  bool ReadRules(int32_t& ruleCount) {
    if (!Next()) return false;
    int32_t n = 1;
    while (IsComment(line_) || line_.find(u"END") == std::u16string::npos) {
      if (!IsComment(line_)) {
        if (n > kMaxRules) return false;
        std::u16string left = LowerCase(ParseLeftContext(line_));
        std::u16string focus = LowerCase(ParseFocus(ctx_, line_));
        std::u16string right = LowerCase(ParseRightContext(line_));
        n += AddRule(tables_, left, focus, right, ParseResult(line_), n);
      }
      if (!Next()) return false;
    }
    ruleCount = n - 1;
    return true;
  }

  void ShowRuleSet(int32_t ruleCount) {
    ctx_.Debug.LogRuleSet(u"Full Set");
    for (int32_t i = 1; i <= ruleCount; ++i)
      ctx_.Debug.LogRuleSet(RuleText(tables_.LetterRules[static_cast<size_t>(i) - 1]));
  }

  LetterRuleContext& ctx_;
  LetterRuleTables& tables_;
  Utf16LineReader reader_;
  std::u16string line_;
};

// A failed load leaves no usable index: the rule table may hold a mix of two files, so every
// word fails with a missing rule instead of converting with it.
void FailLoad(LetterRuleContext& ctx, const std::filesystem::path& file) {
  LetterRuleTables& tables = ctx.Tables;
  tables.LetterGroups.clear();
  tables.GroupLetters.clear();
  tables.RulesLoadOk = false;
  tables.RulesLoaded = false;
  ctx.Error.Record(errors::kRulesNotLoaded,
                   errors::kRulesNotLoadedText + Utf8OrLatin1ToUtf16(file.native()));
  if (!ctx.NeverDebug) ctx.Debug.LogRuleApplied(kLoadFailed);
}

}  // namespace

void LoadLetterRules(LetterRuleContext& ctx, const std::filesystem::path& ruleFile) {
  ctx.Tables.Compiled.reset();
  RuleFileLoad load(ctx);
  bool ok = false;
  try {
    ok = load.Run(ruleFile);
    // Compiled once here rather than at the first word; a failure leaves it to the first word.
    if (ok) ctx.Tables.Compiled = CompileRules(ctx.Tables);
  } catch (...) {
    ok = false;
  }
  load.Close();
  if (!ok) {
    try {
      FailLoad(ctx, ruleFile);
    } catch (...) {
      ctx.Tables.RulesLoadOk = false;
      ctx.Tables.RulesLoaded = false;
    }
    return;
  }
  ctx.Tables.RulesLoaded = ctx.Tables.RulesLoadOk;
}

}  // namespace parlan
