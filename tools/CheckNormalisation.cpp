// Checks of the normalisation file: its sections in the order the loader reads them, the number
// words and digit strings, the abbreviations and whole-phrase entries, and the seven lines after
// the abbreviations.
#include <array>
#include <cmath>

#include "CheckContext.h"
#include "normalisation/Normalisation.h"
#include "strings/NumberText.h"

namespace parlan::cli {
namespace {

constexpr std::u16string_view kArrow = u" --> ";
constexpr size_t kAfterAbbrLines = 7;
constexpr std::array<const char*, kAfterAbbrLines> kAfterAbbrNames = {
    "unused line",        "phrase-end characters", "symbol characters",
    "ignored characters", "decimal point",         "dot word",
    "decimal point word"};

void AddSpokenWords(CheckState& state, std::u16string_view text, int line) {
  std::u16string word;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == u' ' || text[i] == u'/') {
      if (!word.empty()) state.SpokenWords.push_back({word, line});
      word.clear();
    } else {
      word.push_back(text[i]);
    }
  }
}

// Finds the keyword line from `at` on; reports it missing. Returns the index of the keyword
// line, or lines.size() when it is missing.
size_t Section(const CheckedFile& file, size_t at, std::u16string_view keyword, Problems& found) {
  size_t k = FindLine(file.Lines, at, keyword);
  if (k == file.Lines.size())
    found.Add(file.Shown, EndLine(file), "missing section " + Quote(keyword));
  return k;
}

bool StartsWithNumber(std::u16string_view text) {
  size_t i = text.find_first_not_of(u' ');
  if (i == std::u16string_view::npos) return false;
  if (text[i] == u'+' || text[i] == u'-') ++i;
  if (i < text.size() && text[i] == u'.') ++i;
  return i < text.size() && text[i] >= u'0' && text[i] <= u'9';
}

// LOCALE or CHARSET and the number on the line after it. Returns where reading goes on.
size_t CheckNumberSection(const CheckedFile& file, size_t at, std::u16string_view keyword,
                          Problems& found) {
  size_t k = Section(file, at, keyword, found);
  if (k == file.Lines.size()) return at;
  const int valueLine = static_cast<int>(k + 2);
  if (k + 1 >= file.Lines.size()) {
    found.Add(file.Shown, EndLine(file), Quote(keyword) + " has no value line after it");
    return file.Lines.size();
  }
  const std::u16string& value = file.Lines[k + 1];
  if (!StartsWithNumber(value)) {
    found.Add(file.Shown, valueLine,
              "the value of " + Quote(keyword) + " is not a number (read as 0): " + Quote(value));
  } else if (!NarrowTo16(RoundHalfEven(LeadingNumber(value)))) {
    found.Add(
        file.Shown, valueLine,
        "the value of " + Quote(keyword) + " is outside -32768..32767, so the file does not load");
  }
  return k + 2;
}

// A section keyword followed by ten lines, one per digit. False when the section is missing or
// cut short; `at` moves behind the section when it is there.
bool ReadTenLines(const CheckedFile& file, size_t& at, std::u16string_view keyword,
                  std::array<std::u16string, 10>& values, Problems& found) {
  size_t k = Section(file, at, keyword, found);
  if (k == file.Lines.size()) return false;
  for (size_t i = 0; i < 10; ++i) {
    if (k + 1 + i >= file.Lines.size()) {
      found.Add(file.Shown, EndLine(file),
                "the section " + Quote(keyword) + " ends after " + std::to_string(i) +
                    " of its ten lines, so the file does not load");
      at = file.Lines.size();
      return false;
    }
    values[i] = file.Lines[k + 1 + i];
  }
  at = k + 11;
  return true;
}

// The number words and digit strings. Returns where reading goes on.
size_t CheckNumberWords(const CheckedFile& file, size_t at, CheckState& state) {
  std::array<std::u16string, 10> words;
  const bool haveWords = ReadTenLines(file, at, u"NO", words, state.Found);
  const size_t firstWord = haveWords ? at - 10 : 0;
  std::array<std::u16string, 10> digits;
  const bool haveDigits = ReadTenLines(file, at, u"NOSTR", digits, state.Found);
  const size_t firstDigit = haveDigits ? at - 10 : 0;
  for (size_t i = 0; i < 10; ++i) {
    const std::string digit = std::to_string(i);
    if (haveDigits && digits[i].empty())
      state.Found.Add(file.Shown, static_cast<int>(firstDigit + i + 1),
                      "the digit string for " + digit + " is empty");
    if (!haveWords) continue;
    const int line = static_cast<int>(firstWord + i + 1);
    const std::u16string ascii(1, static_cast<char16_t>(u'0' + i));
    if (words[i].empty())
      state.Found.Add(file.Shown, line, "the number word for " + digit + " is empty");
    else if (words[i].find(ascii) != std::u16string::npos ||
             (haveDigits && !digits[i].empty() && words[i].find(digits[i]) != std::u16string::npos))
      state.Found.Add(
          file.Shown, line,
          "the number word for " + digit + " contains the digit itself: " + Quote(words[i]));
    AddSpokenWords(state, words[i], line);
  }
  return at;
}

// The optional number section after the seven lines: its reader's own complaints, with the
// line they stand on.
void CheckNumberSection(const CheckedFile& file, size_t at, CheckState& state) {
  NumberReading reading;
  std::vector<NumberProblem> problems;
  ParseNumberReading(file.Lines, at, reading, &problems);
  for (const NumberProblem& p : problems)
    state.Found.Add(file.Shown, static_cast<int>(p.Line + 1), p.Text);
}

struct EntryScan {
  std::u16string Key;
  std::u16string Expansion;
  bool Any = false;
  GroupTracker Groups{"abbreviations beginning with"};
};

void CheckEntry(const CheckedFile& file, size_t index, EntryScan& scan, CheckState& state) {
  const std::u16string& text = file.Lines[index];
  const int line = static_cast<int>(index + 1);
  if (text.find(kArrow) == std::u16string::npos) {
    state.Found.Add(file.Shown, line,
                    scan.Any ? "no \" --> \": the line repeats the entry before it"
                             : "no \" --> \": the line adds an entry with an empty key");
    scan.Any = true;
    return;
  }
  scan.Any = true;
  SplitAtArrow(text, scan.Key, scan.Expansion);
  std::u16string expansion = scan.Expansion;
  if (StripAlwaysMark(expansion)) {
    if (scan.Key.empty())
      state.Found.Add(file.Shown, line,
                      "whole-phrase entry with an empty key: it would be found everywhere and "
                      "loop");
    else if (expansion.find(scan.Key) != std::u16string::npos)
      state.Found.Add(file.Shown, line,
                      "the replacement " + Quote(expansion) + " contains its key " +
                          Quote(scan.Key) + ", so it would replace itself again and again");
  } else {
    if (scan.Key.empty())
      state.Found.Add(file.Shown, line, "abbreviation with an empty key: it is never found");
    else if (scan.Key.find(u' ') != std::u16string::npos)
      state.Found.Add(file.Shown, line,
                      "the abbreviation " + Quote(scan.Key) +
                          " holds a blank: words never do, so it is never found");
    scan.Groups.Next(file, line, std::u16string_view(scan.Key).substr(0, 1), state.Found);
  }
  AddSpokenWords(state, expansion, line);
}

void CheckAbbreviations(const CheckedFile& file, size_t at, CheckState& state) {
  size_t k = Section(file, at, u"ABBR", state.Found);
  if (k == file.Lines.size()) return;
  size_t end = FindLine(file.Lines, k + 1, u"ABBREND");
  if (end == file.Lines.size()) {
    state.Found.Add(file.Shown, EndLine(file),
                    "missing \"ABBREND\": the section \"ABBR\" at line " + std::to_string(k + 1) +
                        " never ends");
    return;
  }
  EntryScan scan;
  for (size_t i = k + 1; i < end; ++i) CheckEntry(file, i, scan, state);
  const size_t available = file.Lines.size() - end - 1;
  if (available < kAfterAbbrLines) {
    state.Found.Add(file.Shown, EndLine(file),
                    "only " + std::to_string(available) +
                        " of the seven lines after \"ABBREND\": missing the " +
                        kAfterAbbrNames[available] + " line and what follows it");
    return;
  }
  const int decimalLine = static_cast<int>(end + 5 + 1);
  if (file.Lines[end + 5].size() != 1)
    state.Found.Add(
        file.Shown, decimalLine,
        "the decimal point line must hold exactly one character: " + Quote(file.Lines[end + 5]));
  AddSpokenWords(state, file.Lines[end + 6], decimalLine + 1);
  AddSpokenWords(state, file.Lines[end + 7], decimalLine + 2);
  CheckNumberSection(file, end + 1 + kAfterAbbrLines, state);
}

}  // namespace

void CheckNormalisationFile(const CheckedFile& file, CheckState& state) {
  size_t at = CheckNumberSection(file, 0, u"LOCALE", state.Found);
  at = CheckNumberSection(file, at, u"CHARSET", state.Found);
  at = CheckNumberWords(file, at, state);
  if (at < file.Lines.size())
    CheckAbbreviations(file, at, state);
  else if (FindLine(file.Lines, 0, u"ABBR") == file.Lines.size())
    state.Found.Add(file.Shown, EndLine(file), "missing section \"ABBR\"");
}

}  // namespace parlan::cli
