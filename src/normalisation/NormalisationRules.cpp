// The normalisation file loader: LOCALE, CHARSET, NO, NOSTR, the ABBR section up to ABBREND
// and the seven fixed lines after it, read into the tables the passes use.
#include <limits>

#include "normalisation/Normalisation.h"
#include "strings/NumberText.h"
#include "strings/TextFiles.h"

namespace parlan {
namespace {

constexpr std::u16string_view kArrow = u" --> ";
constexpr std::u16string_view kAlwaysMark = u" **";

// Reads lines until one is exactly the keyword; false when the file ends first.
bool SkipTo(Utf16LineReader& in, std::u16string_view keyword) {
  std::u16string line;
  while (in.ReadLine(line))
    if (line == keyword) return true;
  return false;
}

// The number the next line begins with, rounded; false past the end or outside 16 bits.
bool ReadNumberLine(Utf16LineReader& in, int16_t& out) {
  std::u16string line;
  if (!in.ReadLine(line)) return false;
  std::optional<int16_t> number = NarrowTo16(LeadingNumber(line));
  if (!number) return false;
  out = *number;
  return true;
}

// Counters of the tables are 16-bit: a counter that would pass 32767 fails the load.
bool Advance(int16_t& counter) {
  if (counter == std::numeric_limits<int16_t>::max()) return false;
  ++counter;
  return true;
}

std::u16string_view FirstChar(std::u16string_view s) {
  return s.substr(0, 1);
}
std::u16string_view LastChar(std::u16string_view s) {
  return s.empty() ? s : s.substr(s.size() - 1);
}

// The state of the ABBR section: next always index, next abbreviation index, next group, and
// the key and expansion, which live across lines so that a line without an arrow repeats the
// entry before it.
struct EntryState {
  int16_t a = 1;
  int16_t b = 1;
  int16_t g = 1;
  std::u16string key;
  std::u16string expansion;
};

void GrowGroups(NormalisationTables& t, int16_t g) {
  auto size = static_cast<size_t>(g);
  if (t.AbbrGroupFirst.size() < size) t.AbbrGroupFirst.resize(size, 0);
  if (t.AbbrGroupLast.size() < size) t.AbbrGroupLast.resize(size, 0);
}

// Files the abbreviation into its group: a new group opens whenever the first character of
// the key differs from the initial of the group before.
bool AddAbbreviation(NormalisationTables& t, EntryState& s) {
  t.AbbrKeys.push_back(s.key);
  std::u16string expansion = s.expansion;
  t.AbbrExpansions.push_back(SpacesToSlashes(expansion));
  std::u16string_view first = FirstChar(s.key);
  if (s.b == 1) {
    GrowGroups(t, s.g);
    t.AbbrInitials.append(first);
    t.AbbrGroupFirst[static_cast<size_t>(s.g) - 1] = 1;
    if (!Advance(s.g)) return false;
  } else if (first != LastChar(t.AbbrInitials)) {
    GrowGroups(t, s.g);
    t.AbbrInitials.append(first);
    t.AbbrGroupLast[static_cast<size_t>(s.g) - 2] = static_cast<int16_t>(s.b - 1);
    t.AbbrGroupFirst[static_cast<size_t>(s.g) - 1] = s.b;
    if (!Advance(s.g)) return false;
  }
  return Advance(s.b);
}

bool AddEntry(NormalisationTables& t, EntryState& s, std::u16string_view line) {
  SplitAtArrow(line, s.key, s.expansion);
  if (StripAlwaysMark(s.expansion)) {
    t.AlwaysKeys.push_back(s.key);
    t.AlwaysReplacements.push_back(SpacesToSlashes(s.expansion));
    return Advance(s.a);
  }
  return AddAbbreviation(t, s);
}

// Every line up to "ABBREND" is an entry.
bool ReadAbbreviations(Utf16LineReader& in, NormalisationTables& t) {
  if (!SkipTo(in, u"ABBR")) return false;
  EntryState s;
  std::u16string line;
  while (true) {
    if (!in.ReadLine(line)) return false;
    if (line == u"ABBREND") break;
    if (!AddEntry(t, s, line)) return false;
  }
  t.AlwaysCount = static_cast<int16_t>(s.a - 1);
  t.AbbrCount = static_cast<int16_t>(s.b - 1);
  if (s.g > 1) t.AbbrGroupLast[static_cast<size_t>(s.g) - 2] = t.AbbrCount;
  return true;
}

// The seven lines after "ABBREND": one unused, then the character lists and the words.
bool ReadFixedLines(Utf16LineReader& in, NormalisationTables& t) {
  std::u16string unused;
  std::u16string* targets[] = {
      &unused,         &t.PhraseEndChars, &t.SymbolChars,     &t.IgnoreChars,
      &t.DecimalPoint, &t.DotWord,        &t.DecimalPointWord};
  for (std::u16string* target : targets)
    if (!in.ReadLine(*target)) return false;
  t.DecimalPointNotDot = t.DecimalPoint != u".";
  if (t.DecimalPointNotDot) t.DecimalPointIgnored = InStr(t.IgnoreChars, t.DecimalPoint) > 0;
  return true;
}

bool ReadDigits(Utf16LineReader& in, NormalisationTables& t) {
  if (!SkipTo(in, u"NO")) return false;
  for (std::u16string& word : t.NumberWords)
    if (!in.ReadLine(word)) return false;
  if (!SkipTo(in, u"NOSTR")) return false;
  t.Digits.OwnDigits = false;
  for (size_t i = 0; i < 10; ++i) {
    if (!in.ReadLine(t.Digits.DigitStrings[i])) return false;
    if (t.Digits.DigitStrings[i] != std::u16string(1, static_cast<char16_t>(u'0' + i)))
      t.Digits.OwnDigits = true;
  }
  return true;
}

// What follows the seven lines may hold the number section; a file without it reads as before.
void ReadNumberSection(Utf16LineReader& in, NormalisationTables& t) {
  std::vector<std::u16string> rest;
  for (std::u16string line; in.ReadLine(line);) rest.push_back(std::move(line));
  ParseNumberReading(rest, 0, t.Numbers, nullptr);
}

bool ReadTables(Utf16LineReader& in, NormalisationTables& t) {
  const bool ok = SkipTo(in, u"LOCALE") && ReadNumberLine(in, t.NormLocale) &&
                  SkipTo(in, u"CHARSET") && ReadNumberLine(in, t.NormCharset) &&
                  ReadDigits(in, t) && ReadAbbreviations(in, t) && ReadFixedLines(in, t);
  if (ok) ReadNumberSection(in, t);
  return ok;
}

}  // namespace

bool LoadNormalisationRules(NormContext& ctx, const std::filesystem::path& normFile) {
  bool ok = false;
  try {
    NormalisationTables loaded;
    Utf16LineReader in;
    ok = in.Open(normFile) && ReadTables(in, loaded);
    in.Close();
    // A failed load leaves no half-filled tables behind from this or an earlier language.
    ctx.Tables = ok ? std::move(loaded) : NormalisationTables{};
  } catch (const std::exception&) {
    ctx.Tables = NormalisationTables{};
    ok = false;
  }
  if (ok) {
    ctx.Debug.SetFontCharset(ctx.Tables.NormCharset);
    ctx.Debug.SetLocale(ctx.Tables.NormLocale);
  }
  return ok;
}

void SplitAtArrow(std::u16string_view line, std::u16string& key, std::u16string& expansion) {
  size_t p = line.find(kArrow);
  if (p == std::u16string_view::npos) return;
  key.assign(line.substr(0, p));
  expansion.assign(line.substr(p + kArrow.size()));
}

bool StripAlwaysMark(std::u16string& text) {
  if (!std::u16string_view(text).ends_with(kAlwaysMark)) return false;
  text.resize(text.size() - kAlwaysMark.size());
  return true;
}

std::u16string SpacesToSlashes(std::u16string& text) {
  for (char16_t& c : text)
    if (c == u' ') c = u'/';
  return text;
}

void LogNormRule(DebugWindows& debug, std::u16string_view message) {
  debug.LogNormRule(message);
}

}  // namespace parlan
