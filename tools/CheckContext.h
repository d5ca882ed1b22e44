// What the checks of one language folder share: the problem list, the lines of each file, and
// the words and entries one file's check hands to another's.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "LanguageCheck.h"

namespace parlan::cli {

class Problems {
 public:
  void Add(const std::string& file, int line, std::string message) {
    list_.push_back({file, line, std::move(message)});
  }
  const std::vector<Problem>& All() const { return list_; }

 private:
  std::vector<Problem> list_;
};

// One language file as the checks see it.
struct CheckedFile {
  std::filesystem::path Path;
  std::string Shown;                  // the name problems are reported under
  std::vector<std::u16string> Lines;  // Lines[i] is line i + 1
  bool Readable = false;              // false: the lines cannot be trusted
};

// A word the normalisation hands to the letter rules: a number word, a word of an expansion or
// of a whole-phrase replacement, the dot word or the decimal point word.
struct SpokenWord {
  std::u16string Word;
  int Line = 0;
};

// A phoneme string that ends a word without the tab which keeps it apart from the next word.
struct UntabbedWordEnd {
  std::string File;
  int Line = 0;
  std::string What;  // "word-end rule", "dictionary entry"
};

struct CheckState {
  Problems Found;
  std::u16string Language;    // the folder's language name
  bool CheckPhonemes = true;  // the language is spoken by eSpeak NG's English
  bool JoinsWords = false;    // SPACE is not 1: the blanks between words are removed
  int SpaceLine = 0;          // the SPACE line of the configuration; 0 when it has none
  std::vector<UntabbedWordEnd> Untabbed;
  bool AnyTabbedWordEnd = false;
  std::vector<SpokenWord> SpokenWords;
  std::vector<std::u16string> ExceptionWords;
};

// Reads a language file (UTF-16 little-endian, or UTF-8 with a byte-order mark); reports a
// missing or unreadable file, a file in another encoding (UTF-8 or ASCII without the mark,
// big-endian, an odd number of bytes), invalid UTF-8 and unpaired surrogates. Readable is false
// when the file's lines cannot be checked.
CheckedFile ReadLanguageFile(const std::filesystem::path& path, const std::string& shown,
                             Problems& problems);

void CheckNormalisationFile(const CheckedFile& file, CheckState& state);
void CheckExceptionFile(const CheckedFile& file, CheckState& state);
void CheckRuleFile(const CheckedFile& file, CheckState& state);
// Loads the normalisation file and the dictionary with the library's loaders and reports a file
// that does not load although no other problem was found in it.
void CheckLoading(const CheckedFile& normalisation, const CheckedFile& exceptions,
                  CheckState& state);
// Loads the rule file with the library's loader (reporting it when it does not load) and
// converts the spoken words of the normalisation file with it.
void CheckSpokenWords(const CheckedFile& rules, const CheckedFile& normalisation,
                      CheckState& state);

// Reports SAPINO values other than 4 and 5, and UID, MALE and FEMALE values that name no voice
// of the engine.
void CheckEngineKeys(const std::vector<std::u16string>& lines, const std::string& shown,
                     Problems& found);

// Notes a phoneme string that ends a word: with or without its tab.
void NoteWordEnd(CheckState& state, const CheckedFile& file, int line, std::u16string_view result,
                 const char* what);

// When the blanks between words are removed, reports every word end without a tab, or the SPACE
// line when no word end of the language has one.
void CheckWordEnds(const std::string& configShown, CheckState& state);

// The value of the first line that begins with key "=" (without regard to case), as the
// configuration reader finds it; `line` receives its 1-based number, 0 when there is none.
std::u16string ConfigValue(const std::vector<std::u16string>& lines, std::u16string_view key,
                           int& line);

// Reports the unknown phonemes of `phonemes` (when the language is checked for them).
void CheckPhonemes(CheckState& state, const CheckedFile& file, int line,
                   std::u16string_view phonemes);

// Tracks runs of entries grouped by their first character and reports an initial that opens a
// second run: only the first run of a character is ever searched.
class GroupTracker {
 public:
  GroupTracker(std::string what) : what_(std::move(what)) {}
  void Next(const CheckedFile& file, int line, std::u16string_view initial, Problems& problems);

 private:
  std::string what_;
  std::u16string last_;
  bool any_ = false;
  std::vector<std::pair<std::u16string, int>> firstLines_;
};

// Quotes text for a message (UTF-8, in double quotes).
std::string Quote(std::u16string_view text);

// Index of the first line at or after `from` that is exactly `keyword`; lines.size() when none.
size_t FindLine(const std::vector<std::u16string>& lines, size_t from, std::u16string_view keyword);

// The line number to report a missing part at: the last line of the file (1 for an empty file).
int EndLine(const CheckedFile& file);

}  // namespace parlan::cli
