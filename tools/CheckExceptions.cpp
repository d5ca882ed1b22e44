// Checks of the exception dictionary: its EXCEPT and END lines, and each entry's word and
// phoneme string.
#include <map>

#include "CheckContext.h"
#include "normalisation/Normalisation.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

constexpr std::u16string_view kArrow = u" --> ";

void CheckWord(const CheckedFile& file, int line, const std::u16string& word, Problems& found) {
  if (word.empty()) {
    found.Add(file.Shown, line, "empty word: it is never found");
  } else if (LowerCase(word) != word) {
    found.Add(file.Shown, line,
              "the word " + Quote(word) +
                  " has capital letters: words are looked up in lower case, so it never matches");
  } else if (word.find_first_of(u" /") != std::u16string::npos) {
    found.Add(file.Shown, line,
              "the word " + Quote(word) + " holds a blank or \"/\": a word never does");
  }
}

}  // namespace

void CheckExceptionFile(const CheckedFile& file, CheckState& state) {
  const size_t begin = FindLine(file.Lines, 0, u"EXCEPT");
  if (begin == file.Lines.size()) {
    state.Found.Add(file.Shown, EndLine(file), "missing \"EXCEPT\" line");
    return;
  }
  const size_t end = FindLine(file.Lines, begin + 1, u"END");
  if (end == file.Lines.size())
    state.Found.Add(file.Shown, EndLine(file),
                    "missing \"END\" line: the dictionary does not load");
  GroupTracker groups("words beginning with");
  std::map<std::u16string, int> firstLines;
  std::u16string word;
  std::u16string replacement;
  for (size_t i = begin + 1; i < end; ++i) {
    const int line = static_cast<int>(i + 1);
    if (file.Lines[i].find(kArrow) == std::u16string::npos) {
      state.Found.Add(file.Shown, line,
                      i == begin + 1 ? "no \" --> \": the line adds an entry with an empty word"
                                     : "no \" --> \": the line repeats the entry before it");
      continue;
    }
    SplitAtArrow(file.Lines[i], word, replacement);
    CheckWord(file, line, word, state.Found);
    state.ExceptionWords.push_back(word);
    if (auto [first, isNew] = firstLines.emplace(word, line); !isNew)
      state.Found.Add(file.Shown, line,
                      "the word " + Quote(word) + " has an entry already at line " +
                          std::to_string(first->second) + ": both are spoken, one after the other");
    groups.Next(file, line, std::u16string_view(word).substr(0, 1), state.Found);
    if (replacement.find_first_not_of(u' ') == std::u16string::npos)
      state.Found.Add(file.Shown, line,
                      "empty phoneme string: it ends the conversion of the phrase");
    else if (replacement.find_first_of(u"/[]") != std::u16string::npos)
      state.Found.Add(file.Shown, line,
                      "the phoneme string " + Quote(replacement) +
                          " holds \"/\", \"[\" or \"]\", which cut the phrase's tokens apart");
    else
      CheckPhonemes(state, file, line, replacement);
    if (replacement.find_first_not_of(u' ') != std::u16string::npos)
      NoteWordEnd(state, file, line, replacement, "dictionary entry");
  }
}

}  // namespace parlan::cli
