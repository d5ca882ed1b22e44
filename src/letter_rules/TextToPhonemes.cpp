// Converting a prepared phrase into the phoneme string for the underlying engine.
#include "letter_rules/CompiledRules.h"
#include "letter_rules/LetterRules.h"
#include "letter_rules/RuleMatcher.h"
#include "strings/StringFunctions.h"

namespace parlan {
namespace {

constexpr int32_t kVoiceEngine = 2;

// Whether phonemes hold anything besides blanks and marks.
bool HasSpeech(std::u16string_view phonemes) {
  for (size_t i = 0; i < phonemes.size(); ++i) {
    if (phonemes[i] == u'*') {
      ++i;
    } else if (phonemes[i] != u' ') {
      return true;
    }
  }
  return false;
}

}  // namespace

std::u16string MarksToSapi5(std::u16string_view phonemes) {
  std::u16string out;
  out.reserve(phonemes.size() + phonemes.size() / 8);
  size_t from = 0;
  while (from < phonemes.size()) {
    size_t star = phonemes.find(u'*', from);
    if (star == std::u16string_view::npos) break;
    out.append(phonemes.substr(from, star - from));
    // A "*" with nothing after it ends the string like any mark other than ",", "?" and "!".
    char16_t mark = star + 1 < phonemes.size() ? phonemes[star + 1] : u'.';
    out.push_back(u' ');
    out.push_back(mark == u',' || mark == u'?' || mark == u'!' ? mark : u'.');
    from = star + 2;
  }
  if (from < phonemes.size()) out.append(phonemes.substr(from));
  return out;
}

// Walks the tokens with a moving position, so the cost follows the length of the chunk. The
// walk ends when the text is used up: an empty phoneme block ("[]") is passed over like any
// other block and the tokens after it are still converted.
// A word that fails (its errors recorded by the matcher) is left out and the phrase is spoken
// with the rest: one emoji or foreign word must not silence the words around it. The phrase
// counts as failed only when nothing of it is left to say.
std::u16string ConvertTokens(LetterRuleContext& ctx, std::u16string_view chunk) {
  ctx.Tables.ConversionOk = true;
  std::u16string out;
  bool failed = false;
  try {
    const CompiledRules* compiled = nullptr;
    try {
      compiled = &EnsureCompiled(ctx.Tables);
    } catch (...) {
      // Every word of the phrase is then missing, with its error recorded.
    }
    size_t pos = 0;
    while (pos < chunk.size()) {
      int32_t kind = kWord;
      std::u16string token = NextTokenAt(chunk, pos, kind);
      if (kind != kWord) {
        out.append(token);
      } else if (!token.empty()) {
        std::u16string phonemes = ConvertCompiledWord(ctx, compiled, token);
        if (ctx.Tables.ConversionOk)
          out.append(phonemes);
        else
          failed = true;
      }
    }
    ctx.Tables.ConversionOk = !failed || HasSpeech(out);
    if (ctx.NativeEngineKind == kVoiceEngine) out = MarksToSapi5(out);
  } catch (...) {
    ctx.Tables.ConversionOk = false;
  }
  return out;
}

std::u16string TextToPhonemes(LetterRuleContext& ctx, std::u16string& chunk,
                              const std::filesystem::path& ruleFile) {
  try {
    if (!ctx.Tables.RulesLoaded) {
      if (!ctx.NeverDebug) ctx.Debug.LogRuleApplied(u"Loading Rules");
      LoadLetterRules(ctx, ruleFile);
    }
    chunk = ConvertTokens(ctx, chunk);
  } catch (...) {
    ctx.Tables.ConversionOk = false;
    chunk.clear();
  }
  return chunk;
}

}  // namespace parlan
