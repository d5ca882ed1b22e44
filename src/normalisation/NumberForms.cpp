// Reading a word that is a number, an amount of money, a percentage, a measure, an ordinal, a
// year, a clock time, a date, a range or a phone number, by the language's number section.
#include <algorithm>
#include <limits>

#include "normalisation/Normalisation.h"
#include "normalisation/NumberForms.h"
#include "normalisation/NumberReading.h"

namespace parlan {
namespace {

constexpr std::u16string_view kLeading = u"(\"'[{\u00ab\u00bf\u00a1\u201c\u2018";
constexpr std::u16string_view kTrailing = u".,;:!?)]}\"'\u00bb\u201d\u2019\u2026";

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

bool AllDigits(std::u16string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit);
}

bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](auto x, auto y) { return lower(x) == lower(y); });
}

std::vector<std::u16string_view> SplitAt(std::u16string_view s, char16_t by) {
  std::vector<std::u16string_view> parts;
  size_t from = 0;
  for (size_t p; (p = s.find(by, from)) != std::u16string_view::npos; from = p + 1)
    parts.push_back(s.substr(from, p - from));
  parts.push_back(s.substr(from));
  return parts;
}

// The words of a number form, built with blanks.
class Reader {
 public:
  explicit Reader(const NormalisationTables& t) : t_(t), n_(t.Numbers) {}

  std::u16string Digits(std::u16string_view digits) const {
    std::u16string out;
    for (char16_t c : digits) Append(out, t_.NumberWords[static_cast<size_t>(c - u'0')]);
    return out;
  }

  // A whole number as a reader says it: "007" and long strings digit by digit.
  std::u16string Integer(std::u16string_view digits, bool grouped) const {
    const bool tooLong = !grouped && n_.LongestNumber > 0 && digits.size() > n_.LongestNumber;
    if ((digits.size() > 1 && digits[0] == u'0') || tooLong || digits.size() > 18)
      return Digits(digits);
    auto spelled = SpellNumber(n_, Value(digits), n_.Cardinal);
    return spelled ? *spelled : Digits(digits);
  }

  std::u16string Spell(int64_t value, const std::u16string& ruleSet) const {
    auto spelled = SpellNumber(n_, value, ruleSet);
    return spelled ? *spelled : Digits(NumberText(value));
  }

  std::u16string Amount(const ParsedNumber& a) const {
    std::u16string out;
    if (a.Negative) Append(out, n_.MinusWord);
    if (!a.Whole.empty()) Append(out, Integer(a.Whole, a.Grouped));
    if (a.Point) {
      Append(out, t_.DecimalPointWord);
      Append(out, Digits(a.Fraction));
    }
    return out;
  }

  bool IsYear(const ParsedNumber& a) const {
    if (n_.Year.empty() || a.Negative || a.Grouped || a.Point || a.Whole.size() != 4) return false;
    const int64_t v = Value(a.Whole);
    return a.Whole[0] != u'0' && v >= n_.YearFirst && v <= n_.YearLast;
  }

  std::u16string Number(const ParsedNumber& a) const {
    return IsYear(a) ? Spell(Value(a.Whole), n_.Year) : Amount(a);
  }

  static void Append(std::u16string& out, std::u16string_view words) {
    if (words.empty()) return;
    if (!out.empty()) out.push_back(u' ');
    out.append(words);
  }

  // Saturates past 18 digits; callers read such numbers digit by digit.
  static int64_t Value(std::u16string_view digits) {
    int64_t v = 0;
    for (char16_t c : digits) {
      if (v > 99'999'999'999'999'999) return std::numeric_limits<int64_t>::max();
      v = v * 10 + (c - u'0');
    }
    return v;
  }

  static std::u16string NumberText(int64_t v) {
    std::u16string s;
    do {
      s.insert(s.begin(), static_cast<char16_t>(u'0' + v % 10));
      v /= 10;
    } while (v > 0);
    return s;
  }

  const NormalisationTables& t_;
  const NumberReading& n_;
};

std::u16string FillTemplate(
    std::u16string text,
    std::initializer_list<std::pair<std::u16string_view, std::u16string>> values) {
  // The search goes on after each inserted value, so a value may hold a placeholder's name.
  for (const auto& [name, value] : values)
    for (size_t p = text.find(name); p != std::u16string::npos; p = text.find(name, p)) {
      text.replace(p, name.size(), value);
      p += value.size();
    }
  return text;
}

std::optional<std::u16string> Money(const Reader& r, std::u16string_view core) {
  for (const CurrencyForm& c : r.n_.Currencies) {
    std::u16string_view rest = core;
    bool negative = false;
    if (!rest.empty() && r.n_.MinusSigns.find(rest.front()) != std::u16string::npos) {
      negative = true;
      rest.remove_prefix(1);
    }
    if (c.Before ? !rest.starts_with(c.Sign) : !rest.ends_with(c.Sign)) continue;
    rest = c.Before ? rest.substr(c.Sign.size()) : rest.substr(0, rest.size() - c.Sign.size());
    std::optional<ParsedNumber> a = ParseNumber(r.t_, rest);
    if (!a || a->Negative) continue;
    a->Negative = negative;
    const bool cents = a->Point && a->Fraction.size() == 2 && !c.MinorOne.empty();
    if (!cents) {
      const bool one = !a->Point && a->Whole == u"1";
      return r.Amount(*a) + u" " + (one ? c.One : c.Many);
    }
    const int64_t major = Reader::Value(a->Whole), minor = Reader::Value(a->Fraction);
    std::u16string sign = negative ? r.n_.MinusWord + u" " : u"";
    std::u16string majorPart = r.Integer(a->Whole.empty() ? u"0" : a->Whole, a->Grouped);
    std::u16string majorUnit = major == 1 ? c.One : c.Many;
    std::u16string minorPart = r.Spell(minor, r.n_.Cardinal);
    std::u16string minorUnit = minor == 1 ? c.MinorOne : c.MinorMany;
    if (minor == 0) return sign + majorPart + u" " + majorUnit;
    if (major == 0) return sign + minorPart + u" " + minorUnit;
    std::u16string form = r.n_.MoneyTemplate.empty()
                              ? std::u16string(u"{major} {majorunit} {minor} {minorunit}")
                              : r.n_.MoneyTemplate;
    return sign + FillTemplate(form, {{u"{majorunit}", majorUnit},
                                      {u"{minorunit}", minorUnit},
                                      {u"{major}", majorPart},
                                      {u"{minor}", minorPart}});
  }
  return std::nullopt;
}

// The unit glued to the end of the core, the longest that fits.
const UnitForm* UnitAtEnd(const NumberReading& n, std::u16string_view core) {
  const UnitForm* best = nullptr;
  for (const UnitForm& u : n.Units)
    if (core.size() > u.Key.size() && core.ends_with(u.Key) &&
        (!best || u.Key.size() > best->Key.size()))
      best = &u;
  return best;
}

std::optional<std::u16string> Measure(const Reader& r, std::u16string_view core) {
  const UnitForm* unit = UnitAtEnd(r.n_, core);
  if (!unit) return std::nullopt;
  std::optional<ParsedNumber> a = ParseNumber(r.t_, core.substr(0, core.size() - unit->Key.size()));
  if (!a) return std::nullopt;
  const bool one = !a->Point && a->Whole == u"1";
  return r.Amount(*a) + u" " + (one ? unit->One : unit->Many);
}

// A whole number with one of the suffixes glued to it, read by the rule set: "22nd", "1990s".
std::optional<std::u16string> Suffixed(const Reader& r, std::u16string_view core,
                                       const std::u16string& ruleSet,
                                       const std::vector<std::u16string>& suffixes, bool decade) {
  if (ruleSet.empty()) return std::nullopt;
  size_t d = 0;
  while (d < core.size() && (IsDigit(core[d]) || core.substr(d, 1) == r.n_.Group)) ++d;
  std::u16string_view suffix = core.substr(d);
  auto fits = [&](const std::u16string& s) { return SameIgnoringAsciiCase(s, suffix); };
  if (d == 0 || suffix.empty() || std::none_of(suffixes.begin(), suffixes.end(), fits))
    return std::nullopt;
  std::optional<ParsedNumber> a = ParseNumber(r.t_, core.substr(0, d));
  if (!a || a->Point || a->Negative || a->Whole.size() > 18) return std::nullopt;
  if (decade && a->Whole.back() != u'0') return std::nullopt;
  return r.Spell(Reader::Value(a->Whole), ruleSet);
}

std::optional<std::u16string> Ordinal(const Reader& r, std::u16string_view core) {
  return Suffixed(r, core, r.n_.Ordinal, r.n_.OrdinalSuffixes, false);
}

std::optional<std::u16string> Decade(const Reader& r, std::u16string_view core) {
  return Suffixed(r, core, r.n_.Decades, r.n_.DecadeSuffixes, true);
}

std::optional<std::u16string> Time(const Reader& r, std::u16string_view core) {
  if (r.n_.Hours.empty()) return std::nullopt;
  const size_t colon = core.find(u':');
  if (colon == std::u16string_view::npos || colon == 0 || colon > 2) return std::nullopt;
  std::u16string_view h = core.substr(0, colon), m = core.substr(colon + 1, 2);
  std::u16string_view rest = core.substr(std::min(core.size(), colon + 3));
  if (!AllDigits(h) || m.size() != 2 || !AllDigits(m)) return std::nullopt;
  const UnitForm* unit = rest.empty() ? nullptr : UnitAtEnd(r.n_, core);
  if (!rest.empty() && (!unit || unit->Key != rest)) return std::nullopt;
  const int64_t hours = Reader::Value(h), minutes = Reader::Value(m);
  if (hours > 24 || minutes > 59) return std::nullopt;
  std::u16string out = r.Spell(hours, r.n_.Hours) + u" " + r.Spell(minutes, r.n_.Minutes);
  return unit ? out + u" " + unit->One : out;
}

std::optional<std::u16string> DateOf(const Reader& r, std::u16string_view year,
                                     std::u16string_view month, std::u16string_view day) {
  if (r.n_.Months.size() < 12 || r.n_.DateTemplate.empty() || year.size() != 4 ||
      !AllDigits(year) || !AllDigits(month) || !AllDigits(day) || month.size() > 2 ||
      day.size() > 2)
    return std::nullopt;
  const int64_t m = Reader::Value(month), d = Reader::Value(day);
  if (m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
  ParsedNumber y;
  y.Whole.assign(year);
  return FillTemplate(r.n_.DateTemplate, {{u"{day}", r.Spell(d, r.n_.Ordinal)},
                                          {u"{month}", r.n_.Months[size_t(m - 1)]},
                                          {u"{year}", r.Number(y)}});
}

std::optional<std::u16string> Date(const Reader& r, std::u16string_view core) {
  std::vector<std::u16string_view> dashed = SplitAt(core, u'-');
  if (dashed.size() == 3 && dashed[0].size() == 4)
    return DateOf(r, dashed[0], dashed[1], dashed[2]);
  std::vector<std::u16string_view> slashed = SplitAt(core, u'/');
  if (slashed.size() != 3 || r.n_.DateOrder.empty()) return std::nullopt;
  const bool mdy = r.n_.DateOrder == u"mdy";
  return DateOf(r, slashed[2], slashed[mdy ? 0 : 1], slashed[mdy ? 1 : 0]);
}

// Digit groups joined by "-" or ".", as phone numbers are written: read digit by digit with a
// pause between the groups.
std::optional<std::u16string> Phone(const Reader& r, std::u16string_view core) {
  std::u16string_view digits = core;
  std::u16string out;
  if (digits.starts_with(u"+")) {
    out = u"+ ";
    digits.remove_prefix(1);
  }
  const char16_t joint = digits.find(u'-') != std::u16string_view::npos ? u'-' : u'.';
  std::vector<std::u16string_view> groups = SplitAt(digits, joint);
  if (!std::all_of(groups.begin(), groups.end(), AllDigits)) return std::nullopt;
  const bool phone = groups.size() >= 3 ||
                     (groups.size() == 2 && groups[0].size() == 3 && groups[1].size() == 4) ||
                     (!out.empty() && digits.size() >= 7);
  // "1.2.3" is a version, not a phone number.
  const bool shortGroup =
      std::any_of(groups.begin(), groups.end(), [](std::u16string_view g) { return g.size() < 2; });
  if (!phone || (joint == u'.' && (groups.size() < 3 || shortGroup))) return std::nullopt;
  for (size_t g = 0; g < groups.size(); ++g) out += (g ? u" , " : u"") + r.Digits(groups[g]);
  return out;
}

std::optional<std::u16string> Range(const Reader& r, std::u16string_view core) {
  if (r.n_.RangeWord.empty()) return std::nullopt;
  std::vector<std::u16string_view> sides = SplitAt(core, u'-');
  if (sides.size() != 2) return std::nullopt;
  std::optional<ParsedNumber> a = ParseNumber(r.t_, sides[0]), b = ParseNumber(r.t_, sides[1]);
  if (!a || !b || a->Negative || b->Negative) return std::nullopt;
  return r.Number(*a) + u" " + r.n_.RangeWord + u" " + r.Number(*b);
}

bool IsMonth(const NumberReading& n, std::u16string_view word) {
  while (!word.empty() && kTrailing.find(word.back()) != std::u16string_view::npos)
    word.remove_suffix(1);
  return std::any_of(n.Months.begin(), n.Months.end(),
                     [&](const std::u16string& m) { return SameIgnoringAsciiCase(m, word); });
}

// A unit standing apart after a number: "300 m", "5 am".
std::optional<std::u16string> UnitAfterNumber(const Reader& r, std::u16string_view core,
                                              std::u16string_view previous) {
  const auto unit = std::find_if(r.n_.Units.begin(), r.n_.Units.end(),
                                 [&](const UnitForm& u) { return u.Key == core; });
  if (unit == r.n_.Units.end() || previous.empty()) return std::nullopt;
  std::optional<ParsedNumber> a = ParseNumber(r.t_, previous);
  if (!a) return std::nullopt;
  return !a->Point && a->Whole == u"1" ? unit->One : unit->Many;
}

std::optional<std::u16string> Read(const Reader& r, std::u16string_view core,
                                   const WordNeighbours& around) {
  for (auto form : {Time, Date, Phone, Money, Measure, Ordinal, Decade, Range})
    if (auto words = form(r, core)) return words;
  std::optional<ParsedNumber> a = ParseNumber(r.t_, core);
  if (!a) return std::nullopt;
  const bool day = !a->Negative && !a->Point && !a->Grouped && a->Whole.size() <= 2 &&
                   !r.n_.Ordinal.empty() &&
                   (IsMonth(r.n_, around.Previous) || IsMonth(r.n_, around.Next));
  const int64_t v = Reader::Value(a->Whole);
  if (day && v >= 1 && v <= 31) return r.Spell(v, r.n_.Ordinal);
  return r.Number(*a);
}

// Blanks and hyphens of the spelled words become token separators.
std::u16string AsTokens(std::u16string words) {
  for (char16_t& c : words)
    if (c == u' ' || c == u'-' || c == u'\u00ad') c = u'/';
  return words;
}

}  // namespace

std::optional<ParsedNumber> ParseNumber(const NormalisationTables& t, std::u16string_view s) {
  ParsedNumber a;
  size_t i = 0;
  const NumberReading& n = t.Numbers;
  if (i < s.size() && n.MinusSigns.find(s[i]) != std::u16string::npos) {
    a.Negative = true;
    ++i;
  }
  size_t run = 0;
  for (; i < s.size(); ++i) {
    if (IsDigit(s[i])) {
      a.Whole.push_back(s[i]);
      ++run;
    } else if (s.substr(i, 1) == n.Group && !n.Group.empty() && run > 0 &&
               (!a.Grouped ? run <= 3 : run == 3)) {
      a.Grouped = true;
      run = 0;
    } else {
      break;
    }
  }
  if (a.Grouped && run != 3) return std::nullopt;
  if (i < s.size() && s.substr(i, 1) == t.DecimalPoint && i + 1 < s.size()) {
    a.Point = true;
    for (++i; i < s.size() && IsDigit(s[i]); ++i) a.Fraction.push_back(s[i]);
    if (a.Fraction.empty()) return std::nullopt;
  }
  if (i != s.size() || (a.Whole.empty() && !a.Point)) return std::nullopt;
  return a;
}

void ReadNumberForms(NormContext& ctx, std::u16string& word, const WordNeighbours& around) {
  const NormalisationTables& t = ctx.Tables;
  if (!t.Numbers.Present || ReadContextWord(ctx, word, around.Next)) return;
  size_t first = 0, last = word.size();
  while (first < last && kLeading.find(word[first]) != std::u16string_view::npos) ++first;
  while (last > first && kTrailing.find(word[last - 1]) != std::u16string_view::npos) --last;
  std::u16string_view core = std::u16string_view(word).substr(first, last - first);
  std::optional<std::u16string> words = ReadAddress(t, core);
  if (!words && std::any_of(core.begin(), core.end(), IsDigit))
    words = Read(Reader(t), core, around);
  else if (!words)
    words = UnitAfterNumber(Reader(t), core, around.Previous);
  if (!words) return;
  if (!ctx.NeverDebug) LogNormRule(ctx.Debug, u"num " + std::u16string(core) + u" " + *words);
  // The apostrophe of "'90s" leaves out digits; it is not said.
  std::u16string lead = word.substr(0, first);
  if (!lead.empty() && lead.back() == u'\'') lead.pop_back();
  word = lead + u"/" + AsTokens(*words) + u"/" + word.substr(last);
}

void ReadDigitRuns(NormContext& ctx, std::u16string& word) {
  const NormalisationTables& t = ctx.Tables;
  const Reader r(t);
  const std::u16string afterPoint = u"/" + t.DecimalPointWord + u"/";
  std::u16string out;
  for (size_t i = 0; i < word.size();) {
    if (!IsDigit(word[i])) {
      out.push_back(word[i++]);
      continue;
    }
    size_t j = i;
    while (j < word.size() && IsDigit(word[j])) ++j;
    std::u16string_view run = std::u16string_view(word).substr(i, j - i);
    const bool fraction =
        !t.DecimalPointWord.empty() && std::u16string_view(out).ends_with(afterPoint);
    std::u16string words = fraction ? r.Digits(run) : r.Integer(run, false);
    if (!ctx.NeverDebug) LogNormRule(ctx.Debug, u"num " + std::u16string(run) + u" " + words);
    out += u"/" + AsTokens(words) + u"/";
    i = j;
  }
  word = std::move(out);
}

}  // namespace parlan
