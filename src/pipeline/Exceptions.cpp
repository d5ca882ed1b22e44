// The exception dictionary: the loader of the "EXCEPT" ... "END" file and the replacement of
// dictionary words in a prepared chunk by their phoneme strings.
#include "pipeline/Exceptions.h"

#include <algorithm>
#include <limits>

#include "normalisation/Normalisation.h"
#include "strings/StringFunctions.h"
#include "strings/TextFiles.h"
#include "strings/Unicode.h"

namespace parlan {
namespace {

// Counters are 16-bit: one that would pass 32767 fails the load.
bool Advance(int16_t& counter) {
  if (counter == std::numeric_limits<int16_t>::max()) return false;
  ++counter;
  return true;
}

void Clear(ExceptionTables& t) {
  t.ExceptInitials.clear();
  t.ExceptWords.clear();
  t.ExceptReplacements.clear();
  t.ExceptGroupFirst.clear();
  t.ExceptGroupLast.clear();
  t.EntriesByWord.clear();
  t.Indexed = false;
}

struct EntryState {
  int16_t n = 1;  // next entry
  int16_t g = 1;  // next group
  std::u16string initial;
  std::u16string word;
  std::u16string replacement;
};

// A new group opens whenever the first character of the word differs from the one before.
bool AddEntry(ExceptionTables& t, EntryState& s, std::u16string_view line) {
  SplitAtArrow(line, s.word, s.replacement);
  std::u16string_view first = std::u16string_view(s.word).substr(0, 1);
  if (first != s.initial) {
    s.initial.assign(first);
    t.ExceptGroupFirst.resize(static_cast<size_t>(s.g), 0);
    t.ExceptGroupLast.resize(static_cast<size_t>(s.g), 0);
    t.ExceptInitials.append(first);
    t.ExceptGroupFirst[static_cast<size_t>(s.g) - 1] = s.n;
    if (s.g > 1) t.ExceptGroupLast[static_cast<size_t>(s.g) - 2] = static_cast<int16_t>(s.n - 1);
    if (!Advance(s.g)) return false;
  }
  t.ExceptWords.push_back(s.word);
  t.ExceptReplacements.push_back(s.replacement);
  return Advance(s.n);
}

bool ReadEntries(Utf16LineReader& in, ExceptionTables& t) {
  std::u16string line;
  do {
    if (!in.ReadLine(line)) return false;
  } while (line != u"EXCEPT");
  EntryState s;
  while (true) {
    if (!in.ReadLine(line)) return false;
    if (line == u"END") break;
    if (!AddEntry(t, s, line)) return false;
  }
  if (s.n > 1 && s.g > 1)
    t.ExceptGroupLast[static_cast<size_t>(s.g) - 2] = static_cast<int16_t>(s.n - 1);
  return true;
}

// The entries the lookup searches for a word beginning with `initial`: those of the first group
// of that initial. Nothing when the initial has no group.
bool GroupRange(const ExceptionTables& t, char16_t initial, int& first, int& last) {
  size_t g = InStrChar(t.ExceptInitials, initial);
  if (g == 0 || g > t.ExceptGroupFirst.size() || g > t.ExceptGroupLast.size()) return false;
  first = std::max<int>(t.ExceptGroupFirst[g - 1], 1);
  last =
      std::min<int>(t.ExceptGroupLast[g - 1],
                    static_cast<int>(std::min(t.ExceptWords.size(), t.ExceptReplacements.size())));
  return true;
}

// Every entry that a word equal to it would find, filed under that word in file order.
void IndexEntries(ExceptionTables& t) {
  t.EntriesByWord.clear();
  t.EntriesByWord.reserve(t.ExceptWords.size());
  for (size_t n = 1; n <= t.ExceptWords.size(); ++n) {
    const std::u16string& word = t.ExceptWords[n - 1];
    int first = 0;
    int last = 0;
    if (word.empty() || !GroupRange(t, word.front(), first, last)) continue;
    if (static_cast<int>(n) >= first && static_cast<int>(n) <= last)
      t.EntriesByWord[word].push_back(static_cast<int32_t>(n));
  }
  t.Indexed = true;
}

void AppendEntry(const ExceptionTables& t, DebugWindows& debug, bool neverDebug, int i,
                 std::u16string& out) {
  const std::u16string& replacement = t.ExceptReplacements[static_cast<size_t>(i) - 1];
  out.append(u"/[");
  out.append(replacement);
  out.push_back(u']');
  if (!neverDebug)
    LogException(debug, t.ExceptWords[static_cast<size_t>(i) - 1] + u" -> " + replacement);
}

// Appends "/[" replacement "]" for every entry of the word's group that equals it; false when
// none does.
bool ReplaceWord(const ExceptionTables& t, DebugWindows& debug, bool neverDebug,
                 const std::u16string& word, std::u16string& out) {
  if (word.empty()) return false;
  if (t.Indexed) {
    auto it = t.EntriesByWord.find(word);
    if (it == t.EntriesByWord.end()) return false;
    for (int32_t i : it->second) AppendEntry(t, debug, neverDebug, i, out);
    return true;
  }
  int first = 0;
  int last = 0;
  if (!GroupRange(t, word.front(), first, last)) return false;
  bool matched = false;
  for (int i = first; i <= last; ++i) {
    if (t.ExceptWords[static_cast<size_t>(i) - 1] != word) continue;
    AppendEntry(t, debug, neverDebug, i, out);
    matched = true;
  }
  return matched;
}

}  // namespace

bool LoadExceptions(ExceptionTables& tables, const std::filesystem::path& exceptFile) {
  try {
    Clear(tables);
    Utf16LineReader in;
    bool ok = in.Open(exceptFile) && ReadEntries(in, tables);
    in.Close();
    if (ok) IndexEntries(tables);
    return ok;
  } catch (const std::exception&) {
    return false;
  }
}

// Walks the chunk by position and runs at least once, as the chunk's tokens are read until
// nothing is left; an empty phoneme block gives an empty token and the walk goes on.
std::u16string ApplyExceptions(const ExceptionTables& tables, DebugWindows& debug, bool neverDebug,
                               std::u16string& chunk) {
  std::u16string out;
  size_t pos = 0;
  do {
    int32_t kind = kWord;
    std::u16string token = LowerCase(NextTokenAt(chunk, pos, kind));
    if (kind == kWord && ReplaceWord(tables, debug, neverDebug, token, out)) continue;
    out.push_back(u'/');
    out.append(token);
  } while (pos < chunk.size());
  chunk.clear();
  return out;
}

void LogException(DebugWindows& debug, std::u16string_view line) {
  debug.LogException(line);
}

}  // namespace parlan
