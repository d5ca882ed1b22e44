// The letter-rule loader, then a few words through the rules it loaded.
#include "FuzzFile.h"
#include "letter_rules/LetterRules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path file = parlan::fuzz::ScratchFolder() / "Fuzzr.ttg";
  parlan::fuzz::WriteInput(file, data, size);
  parlan::LetterRuleTables tables;
  parlan::ErrorRecord error;
  parlan::DebugWindows debug;
  parlan::LetterRuleContext ctx{tables, error, debug, true, 0};
  parlan::LoadLetterRules(ctx, file);
  if (tables.RulesLoadOk)
    for (const char16_t* word : {u"hello", u"a", u"the", u"xyz'q"})
      (void)parlan::ConvertWord(ctx, word);
  return 0;
}
