// Text normalisation: the tables a language's normalisation file is loaded into, the loader,
// the cutting of text into phrases and the per-word passes.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "debug_ui/DebugWindows.h"
#include "strings/CharLookup.h"
#include "normalisation/NumberReading.h"
#include "strings/RemainingText.h"
#include "strings/StringFunctions.h"

namespace parlan {

// The loaded normalisation file of the current language, shared by the controls of one thread.
// The whole-phrase keys by first character: for each ASCII character a bit mask of the keys it
// begins (bit i of word i / 64 for key i), and one mask for the keys beginning beyond ASCII.
inline constexpr size_t kMaxMaskWords = 64;  // more than 4096 keys are searched one by one
struct AlwaysKeyIndex {
  bool Built = false;
  size_t KeyCount = 0;
  size_t ListSize = 0;
  size_t Words = 0;
  std::vector<uint64_t> ByAscii;  // 128 * Words
  std::vector<uint64_t> NonAscii;
};

struct NormalisationTables {
  int16_t NormLocale = 0;
  int16_t NormCharset = 0;
  std::array<std::u16string, 10> NumberWords;
  DigitSet Digits;                       // DigitStrings and OwnDigits
  std::vector<std::u16string> AbbrKeys;  // AbbrKeys[b - 1] is entry b
  std::vector<std::u16string> AbbrExpansions;
  int16_t AbbrCount = 0;
  std::u16string AbbrInitials;
  std::vector<int16_t> AbbrGroupFirst;  // AbbrGroupFirst[g - 1] is group g
  std::vector<int16_t> AbbrGroupLast;
  std::vector<std::u16string> AlwaysKeys;
  std::vector<std::u16string> AlwaysReplacements;
  int16_t AlwaysCount = 0;
  std::u16string PhraseEndChars;
  std::u16string SymbolChars;
  std::u16string IgnoreChars;
  std::u16string DecimalPoint;
  std::u16string DotWord;
  std::u16string DecimalPointWord;
  bool DecimalPointNotDot = false;
  bool DecimalPointIgnored = false;
  // IgnoreChars and SymbolChars as sets, for the per-word passes.
  CharLookup IgnoreLookup;
  CharLookup SymbolLookup;
  AlwaysKeyIndex AlwaysIndex;
  NumberReading Numbers;  // the optional number section after the seven fixed lines
};

struct NormContext {
  NormalisationTables& Tables;
  DebugWindows& Debug;
  bool NeverDebug = false;
};

// --- The rule file (NormalisationRules.cpp) ---

// Reads the language's normalisation file into ctx.Tables. True on success; on failure the
// tables are left empty. A successful load gives the debug boxes the file's character set and
// locale.
bool LoadNormalisationRules(NormContext& ctx, const std::filesystem::path& normFile);

// Splits "key --> expansion" at the first " --> ". Without the separator, key and expansion
// keep the values they had.
void SplitAtArrow(std::u16string_view line, std::u16string& key, std::u16string& expansion);

// Removes a final " **" (the mark of a whole-phrase replacement); true when it was there.
bool StripAlwaysMark(std::u16string& text);

// Replaces every space by "/" in place and returns the result.
std::u16string SpacesToSlashes(std::u16string& text);

// Appends one line to the normalisation "Rules Applied" box. Passes call it only while
// debugging is allowed.
void LogNormRule(DebugWindows& debug, std::u16string_view message);

// --- Cutting text into phrases (Chunking.cpp) ---

// Makes the text end in a phrase end: trailing spaces removed, "." appended (and DotAdded set)
// unless the last character is "." or a phrase-end character.
void EnsureFinalStop(const NormalisationTables& tables, RemainingText& text, bool& dotAdded);

// The text before the first space; the text keeps what follows that space.
std::u16string TakeFirstWord(RemainingText& text);
// The same, taking at most maxLength characters of a longer word: the rest of it stays in
// front as if a space stood there.
std::u16string TakeFirstWord(RemainingText& text, size_t maxLength);

// Cheap test whether a word can hold a phrase end: a dot or a phrase-end character.
bool HasPhraseEnd(const NormalisationTables& tables, std::u16string_view word);

// Dot classes: the dot ends the phrase, is a decimal point, or is a plain dot inside a word.
enum DotClass : int { kPlainDot = 1, kDecimalDot = 2, kFinalDot = 3 };

// Classifies the "." at 1-based position d of the word.
int ClassifyDot(const NormalisationTables& tables, std::u16string_view word, size_t d);

// Returns the part of the word that belongs to the current phrase, in normalised form, with
// the dots and decimal points before the phrase end spoken as words. The word keeps what
// follows the phrase end; phraseEnded tells whether the phrase ends in this word.
std::u16string SplitAtPhraseEnd(NormContext& ctx, std::u16string& word, bool& phraseEnded);

// --- Per-word passes ---

// Replaces every occurrence of each whole-phrase key by "/" replacement "/" (AlwaysPhrases.cpp).
std::u16string ApplyAlwaysReplacements(NormContext& ctx, std::u16string& word);

// Drops the ignored characters; a foreign decimal separator between digits becomes "."
// (CharacterPasses.cpp).
void RemoveIgnoredCharacters(NormContext& ctx, std::u16string& word);

// Cuts each symbol character out of the word as a token "*" + character (CharacterPasses.cpp).
void SeparateSymbols(NormContext& ctx, std::u16string& word);

// Replaces every digit by its number word (Digits.cpp).
std::u16string ExpandDigits(NormContext& ctx, std::u16string& word);

// Expands the abbreviations that stand as tokens of their own and rebuilds the word with a "/"
// before and after every token; the word is consumed (Abbreviations.cpp).
std::u16string ExpandAbbreviations(NormContext& ctx, std::u16string& word);

}  // namespace parlan
