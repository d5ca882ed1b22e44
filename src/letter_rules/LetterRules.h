// Letter-to-sound rules: the tables a language's rule file is loaded into, the loader, the
// matcher that converts one word, and the conversion of a prepared phrase into phonemes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "debug_ui/DebugWindows.h"
#include "strings/ErrorRecord.h"

namespace parlan {

struct CompiledRules;

struct LetterRule {
  std::u16string LeftContext;
  bool LeftSense = true;
  std::u16string Focus;
  std::u16string RightContext;
  bool RightSense = true;
  std::u16string Result;
};

struct LetterGroup {
  std::u16string Letter;
  int16_t First = 0;
  int16_t Last = 0;
};

// Table sizes. A file may hold up to kMaxWildCards classes; a 51st class line fails the load.
// The rule and group tables start at the customary 1000 rules and 201 groups and grow as a file
// needs, up to what the 16-bit rule and group numbers can address; a file with more rules fails
// the load.
inline constexpr int32_t kMaxWildCards = 50;
inline constexpr int32_t kUsualRules = 1000;
inline constexpr int32_t kUsualGroups = 201;
inline constexpr int32_t kMaxRules = 32767;

// Words converted with the current compiled tables: prose repeats its words, and a word
// converts the same way every time, writing the debug lines of the same rules. Bounded by
// kMaxWords; a word that recorded an error is never kept, so that it records it again.
struct ConvertedWords {
  static constexpr size_t kMaxWords = 16384;
  static constexpr size_t kMaxLength = 40;
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::u16string_view s) const { return std::hash<std::u16string_view>{}(s); }
  };
  size_t Capacity = kMaxWords;               // 0 converts every word afresh
  std::shared_ptr<const CompiledRules> For;  // held, so that its address names only it
  struct Word {
    std::u16string Phonemes;
    std::vector<int32_t> Rules;  // applied, in order: their debug lines are written again
  };
  std::unordered_map<std::u16string, Word, Hash, std::equal_to<>> Phonemes;
};

// The loaded rule file of the current language, shared by the controls of one thread.
struct LetterRuleTables {
  std::vector<std::u16string> WildCards;  // WildCards[c - 1] is class c
  std::vector<LetterRule> LetterRules;    // LetterRules[i - 1] is rule i
  std::vector<LetterGroup> LetterGroups;  // LetterGroups[g - 1] is group g
  std::u16string GroupLetters;
  bool RulesLoaded = false;
  bool RulesLoadOk = false;
  bool ConversionOk = false;
  // The tables above compiled for matching; rebuilt when they change (CompiledRules.h).
  std::shared_ptr<const CompiledRules> Compiled;
  ConvertedWords Converted;
};

// What the rule functions read and write besides their tables.
struct LetterRuleContext {
  LetterRuleTables& Tables;
  ErrorRecord& Error;
  DebugWindows& Debug;
  bool NeverDebug = false;
  int32_t NativeEngineKind = 0;  // 2: the phrase goes to a voice, marks are rewritten
};

// Loads the rule file into the tables (see the file format in the language developers' guide).
void LoadLetterRules(LetterRuleContext& ctx, const std::filesystem::path& ruleFile);

// Converts one word; sets ConversionOk and records errors 4 to 7.
std::u16string ConvertWord(LetterRuleContext& ctx, std::u16string_view word);

// Converts a prepared phrase ("/"-separated tokens) into its phoneme string, loading the rules
// from `ruleFile` first when they are not loaded. `chunk` receives the result as well.
std::u16string TextToPhonemes(LetterRuleContext& ctx, std::u16string& chunk,
                              const std::filesystem::path& ruleFile);

std::u16string ConvertTokens(LetterRuleContext& ctx, std::u16string_view chunk);

// Rewrites "*" marks into the voice's form: "*," -> " ,", "*?" -> " ?", any other -> " .".
std::u16string MarksToSapi5(std::u16string_view phonemes);

}  // namespace parlan
