// Placeholder until the letter-to-sound rules arrive: the phrase passes through unchanged.
#include "letter_rules/LetterRules.h"

namespace parlan {

void LoadLetterRules(LetterRuleContext& ctx, const std::filesystem::path&) {
  ctx.Tables.RulesLoadOk = true;
  ctx.Tables.RulesLoaded = true;
}

std::u16string ConvertWord(LetterRuleContext& ctx, std::u16string_view word) {
  ctx.Tables.ConversionOk = true;
  return std::u16string(word);
}

std::u16string ConvertTokens(LetterRuleContext&, std::u16string_view chunk) {
  return std::u16string(chunk);
}

std::u16string MarksToSapi5(std::u16string_view phonemes) { return std::u16string(phonemes); }

std::u16string TextToPhonemes(LetterRuleContext& ctx, std::u16string& chunk,
                              const std::filesystem::path& ruleFile) {
  if (!ctx.Tables.RulesLoaded) LoadLetterRules(ctx, ruleFile);
  ctx.Tables.ConversionOk = true;
  chunk = ConvertTokens(ctx, chunk);
  return chunk;
}

}  // namespace parlan
