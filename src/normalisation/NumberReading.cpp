// The reader of the number section and the spelling of numbers by its rules. The rules are
// ICU rule-based number format text, so a language states its own number words, joins and
// exceptions ("soixante-dix", "einundzwanzig") as data.
#include "normalisation/NumberReading.h"

#include <unicode/rbnf.h>

#include <algorithm>
#include <charconv>

#include "strings/Unicode.h"

namespace parlan {

struct NumberRules {
  std::unique_ptr<icu::RuleBasedNumberFormat> Format;
};

namespace {

std::vector<std::u16string> Fields(std::u16string_view line) {
  std::vector<std::u16string> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) ++i;
    size_t j = i;
    while (j < line.size() && line[j] != u' ' && line[j] != u'\t') ++j;
    if (j > i) out.emplace_back(line.substr(i, j - i));
    i = j;
  }
  return out;
}

// "_" stands for a blank inside a field: "degrees_Celsius".
std::u16string Words(std::u16string field) {
  for (char16_t& c : field)
    if (c == u'_') c = u' ';
  return field;
}

std::optional<int64_t> Whole(const std::u16string& field) {
  std::string ascii = ToUtf8(field);
  int64_t value = 0;
  auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (ec != std::errc() || end != ascii.data() + ascii.size()) return std::nullopt;
  return value;
}

bool IsBlank(std::u16string_view line) {
  return line.find_first_not_of(u" \t") == std::u16string_view::npos;
}

class SectionReader {
 public:
  SectionReader(const std::vector<std::u16string>& lines, NumberReading& out,
                std::vector<NumberProblem>* problems)
      : lines_(lines), out_(out), problems_(problems) {}

  void Read(size_t at) {
    while (at < lines_.size() && IsBlank(lines_[at])) ++at;
    if (at >= lines_.size() || Fields(lines_[at]) != std::vector<std::u16string>{u"NUMBERS"})
      return;
    out_.Present = true;
    const size_t start = at;
    for (++at; at < lines_.size(); ++at) {
      const std::vector<std::u16string> f = Fields(lines_[at]);
      if (f.empty() || f[0].starts_with(u"//")) continue;
      if (f[0] == u"NUMBERSEND") {
        CheckRuleSets();
        return;
      }
      if (f[0] == u"RULES")
        at = ReadRules(at);
      else
        Directive(at, f);
    }
    Problem(start, "the section \"NUMBERS\" has no \"NUMBERSEND\"");
    CheckRuleSets();
  }

 private:
  void Problem(size_t line, std::string text) {
    if (problems_) problems_->push_back({line, std::move(text)});
  }

  // Lines up to "RULESEND" are rule text; returns the index of "RULESEND".
  size_t ReadRules(size_t at) {
    const size_t start = at;
    std::u16string text;
    for (++at; at < lines_.size(); ++at) {
      if (Fields(lines_[at]) == std::vector<std::u16string>{u"RULESEND"}) break;
      text += lines_[at];
      text += u'\n';
    }
    if (at >= lines_.size()) Problem(start, "\"RULES\" has no \"RULESEND\"");
    UParseError where{};
    UErrorCode status = U_ZERO_ERROR;
    auto rules = std::make_shared<NumberRules>();
    rules->Format = std::make_unique<icu::RuleBasedNumberFormat>(
        icu::UnicodeString(false, text.data(), static_cast<int32_t>(text.size())),
        icu::Locale::getRoot(), where, status);
    if (U_FAILURE(status)) {
      std::u16string near(where.preContext);
      Problem(start, std::string("the number rules do not compile (") + u_errorName(status) +
                         ") near \"" + ToUtf8(near) + "\"");
      return at;
    }
    rulesLine_ = start;
    out_.Rules = std::move(rules);
    return at;
  }

  bool Count(size_t at, const std::vector<std::u16string>& f, size_t least, size_t most) {
    if (f.size() - 1 >= least && f.size() - 1 <= most) return true;
    Problem(at, "\"" + ToUtf8(f[0]) + "\" takes " + std::to_string(least) +
                    (most == least ? "" : " to " + std::to_string(most)) + " values, not " +
                    std::to_string(f.size() - 1));
    return false;
  }

  std::optional<int64_t> Number(size_t at, const std::u16string& field) {
    std::optional<int64_t> n = Whole(field);
    if (!n || *n < 0) Problem(at, "not a whole number: \"" + ToUtf8(field) + "\"");
    return n && *n >= 0 ? n : std::nullopt;
  }

  void RuleSet(size_t at, std::u16string& target, const std::u16string& name) {
    target = name;
    used_.push_back({at, name});
  }

  void Directive(size_t at, const std::vector<std::u16string>& f);
  void Money(size_t at, const std::vector<std::u16string>& f);
  void Letter(size_t at, const std::vector<std::u16string>& f);
  void Date(size_t at, const std::vector<std::u16string>& f);
  void Before(size_t at, const std::vector<std::u16string>& f);
  void CheckRuleSets();

  const std::vector<std::u16string>& lines_;
  NumberReading& out_;
  std::vector<NumberProblem>* problems_;
  size_t rulesLine_ = 0;
  std::vector<std::pair<size_t, std::u16string>> used_;
};

std::u16string RestOf(const std::vector<std::u16string>& f, size_t from) {
  std::u16string out;
  for (size_t i = from; i < f.size(); ++i) {
    if (i > from) out += u' ';
    out += f[i];
  }
  return out;
}

void SectionReader::Directive(size_t at, const std::vector<std::u16string>& f) {
  const std::u16string& k = f[0];
  if (k == u"CARDINAL" && Count(at, f, 1, 1)) {
    RuleSet(at, out_.Cardinal, f[1]);
  } else if (k == u"ORDINAL" && Count(at, f, 2, 64)) {
    RuleSet(at, out_.Ordinal, f[1]);
    out_.OrdinalSuffixes.assign(f.begin() + 2, f.end());
  } else if (k == u"DECADES" && Count(at, f, 2, 64)) {
    RuleSet(at, out_.Decades, f[1]);
    out_.DecadeSuffixes.assign(f.begin() + 2, f.end());
  } else if (k == u"YEAR" && Count(at, f, 3, 3)) {
    auto first = Number(at, f[2]), last = Number(at, f[3]);
    if (first && last && *first > *last) Problem(at, "the first year is after the last");
    if (!first || !last || *first > *last) return;
    RuleSet(at, out_.Year, f[1]);
    out_.YearFirst = *first;
    out_.YearLast = *last;
  } else if (k == u"TIME" && Count(at, f, 2, 2)) {
    RuleSet(at, out_.Hours, f[1]);
    RuleSet(at, out_.Minutes, f[2]);
  } else if (k == u"GROUP" && Count(at, f, 1, 1)) {
    if (f[1].size() != 1) Problem(at, "the group separator must be one character");
    if (f[1].size() == 1) out_.Group = f[1];
  } else if (k == u"MINUS" && Count(at, f, 2, 2)) {
    out_.MinusWord = Words(f[1]);
    out_.MinusSigns = f[2];
  } else if (k == u"RANGE" && Count(at, f, 1, 1)) {
    out_.RangeWord = Words(f[1]);
  } else if (k == u"DIGITS" && Count(at, f, 1, 1)) {
    if (auto n = Number(at, f[1])) out_.LongestNumber = static_cast<size_t>(*n);
  } else if (k == u"CURRENCY" || k == u"MONEY") {
    Money(at, f);
  } else if (k == u"UNIT" && Count(at, f, 3, 3)) {
    out_.Units.push_back({f[1], Words(f[2]), Words(f[3])});
  } else if (k == u"MONTHS" || k == u"DATE") {
    Date(at, f);
  } else if (k == u"SPELL" && Count(at, f, 1, 1)) {
    if (auto n = Number(at, f[1])) out_.SpellLongest = static_cast<size_t>(*n);
  } else if (k == u"LETTER" || k == u"SEPARATOR") {
    Letter(at, f);
  } else if (k == u"DOMAINS" && Count(at, f, 1, 1000)) {
    out_.Domains.insert(out_.Domains.end(), f.begin() + 1, f.end());
  } else if (k == u"ADDRESSWORDS" && Count(at, f, 1, 1000)) {
    out_.AddressWords.insert(out_.AddressWords.end(), f.begin() + 1, f.end());
  } else if (k == u"BEFORE") {
    Before(at, f);
  } else if (k == u"ACRONYMS" && Count(at, f, 1, 1000)) {
    out_.SpellAlways.insert(out_.SpellAlways.end(), f.begin() + 1, f.end());
  } else if (k != u"CARDINAL" && k != u"ORDINAL" && k != u"DECADES" && k != u"YEAR" &&
             k != u"TIME" && k != u"GROUP" && k != u"MINUS" && k != u"RANGE" && k != u"DIGITS" &&
             k != u"UNIT" && k != u"SPELL" && k != u"DOMAINS" && k != u"ACRONYMS" &&
             k != u"ADDRESSWORDS") {
    Problem(at, "unknown keyword \"" + ToUtf8(k) + "\"");
  }
}

void SectionReader::Money(size_t at, const std::vector<std::u16string>& f) {
  if (f[0] == u"MONEY") {
    if (Count(at, f, 1, 64)) out_.MoneyTemplate = Words(RestOf(f, 1));
    return;
  }
  if (!Count(at, f, 4, 6)) return;
  if (f[1] != u"before" && f[1] != u"after") {
    Problem(at, "the sign stands \"before\" or \"after\" the amount, not \"" + ToUtf8(f[1]) + "\"");
    return;
  }
  if (f.size() == 6) Problem(at, "the minor unit needs both its singular and its plural");
  CurrencyForm c{f[2], f[1] == u"before", Words(f[3]), Words(f[4]), {}, {}};
  if (f.size() == 7) {
    c.MinorOne = Words(f[5]);
    c.MinorMany = Words(f[6]);
  }
  out_.Currencies.push_back(std::move(c));
}

void SectionReader::Letter(size_t at, const std::vector<std::u16string>& f) {
  if (!Count(at, f, 2, 2)) return;
  if (f[1].size() != 1) {
    Problem(at, "\"" + ToUtf8(f[0]) + "\" names one character, not \"" + ToUtf8(f[1]) + "\"");
    return;
  }
  auto& table = f[0] == u"LETTER" ? out_.Letters : out_.Separators;
  table.emplace_back(f[1][0], Words(f[2]));
}

void SectionReader::Date(size_t at, const std::vector<std::u16string>& f) {
  if (f[0] == u"MONTHS") {
    if (!Count(at, f, 12, 12)) return;
    for (size_t i = 1; i < f.size(); ++i) out_.Months.push_back(Words(f[i]));
    return;
  }
  if (!Count(at, f, 2, 64)) return;
  if (f[1] != u"mdy" && f[1] != u"dmy") {
    Problem(at, "the date order is \"mdy\" or \"dmy\", not \"" + ToUtf8(f[1]) + "\"");
    return;
  }
  out_.DateOrder = f[1];
  out_.DateTemplate = Words(RestOf(f, 2));
}

// "BEFORE St. capital Saint": the kinds are joined by commas, the words may be several fields.
void SectionReader::Before(size_t at, const std::vector<std::u16string>& f) {
  if (!Count(at, f, 3, 64)) return;
  ContextForm form{f[1], 0, Words(RestOf(f, 3))};
  for (size_t from = 0; from <= f[2].size();) {
    const size_t comma = std::min(f[2].find(u',', from), f[2].size());
    const std::u16string kind = f[2].substr(from, comma - from);
    if (kind == u"capital") {
      form.Next |= ContextForm::kCapital;
    } else if (kind == u"lower") {
      form.Next |= ContextForm::kLower;
    } else if (kind == u"digit") {
      form.Next |= ContextForm::kDigit;
    } else if (kind == u"other") {
      form.Next |= ContextForm::kOther;
    } else {
      Problem(at, "the word after is \"capital\", \"lower\", \"digit\" or \"other\", not \"" +
                      ToUtf8(kind) + "\"");
      return;
    }
    from = comma + 1;
  }
  out_.Contexts.push_back(std::move(form));
}

void SectionReader::CheckRuleSets() {
  for (const auto& [at, name] : used_) {
    if (!out_.Rules) {
      Problem(at, "the rule set \"" + ToUtf8(name) + "\" is named but there are no rules");
      return;
    }
    if (!SpellNumber(out_, 1, name))
      Problem(at, "no public rule set \"" + ToUtf8(name) + "\" in the rules at line " +
                      std::to_string(rulesLine_ + 1));
  }
}

}  // namespace

void ParseNumberReading(const std::vector<std::u16string>& lines, size_t first, NumberReading& out,
                        std::vector<NumberProblem>* problems) {
  out = NumberReading{};
  SectionReader(lines, out, problems).Read(first);
}

std::optional<std::u16string> SpellNumber(const NumberReading& reading, int64_t number,
                                          const std::u16string& ruleSet) {
  if (!reading.Rules || !reading.Rules->Format || ruleSet.empty()) return std::nullopt;
  icu::UnicodeString text;
  icu::FieldPosition pos;
  UErrorCode status = U_ZERO_ERROR;
  reading.Rules->Format->format(
      number, icu::UnicodeString(false, ruleSet.data(), static_cast<int32_t>(ruleSet.size())), text,
      pos, status);
  if (U_FAILURE(status) || text.isEmpty()) return std::nullopt;
  return std::u16string(text.getBuffer(), static_cast<size_t>(text.length()));
}

}  // namespace parlan
