#include "ModeChoice.h"

#include <algorithm>
#include <optional>

#include "CliErrors.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

bool EndsWith(const std::u16string& text, std::u16string_view suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(),
                                                      suffix.data(), suffix.size()) == 0;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Lower case with every run of blanks made one blank: "X  (SAPI 4)" and "x (sapi 4)" agree.
std::u16string Folded(std::u16string_view text) {
  std::u16string folded;
  for (char16_t c : LowerCase(text))
    if (c != u' ' || folded.empty() || folded.back() != u' ') folded.push_back(c);
  return folded;
}

// The gender an eSpeak NG variant asks for: "m", "m1".."m7" male, "f", "f1".."f5" female.
std::optional<bool> VariantIsFemale(const std::string& variant) {
  const std::string v = Lower(variant);
  if (v.empty() || (v[0] != 'm' && v[0] != 'f') ||
      !std::all_of(v.begin() + 1, v.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  return v[0] == 'f';
}

int32_t FindByLanguage(const std::vector<ModeEntry>& modes, const std::string& code,
                       std::optional<bool> female) {
  const std::string wanted = Lower(code);
  for (bool exact : {true, false})
    for (const ModeEntry& m : modes) {
      if (m.Language.empty() || (female && m.Female != *female)) continue;
      if (exact ? Lower(m.Language) == wanted : LanguageMatches(m.Language, wanted))
        return m.Number;
    }
  return 0;
}

// The words of a name, cut at blanks, brackets and commas: "English (Great Britain)" has three.
std::vector<std::u16string> Words(const std::u16string& text) {
  std::vector<std::u16string> words;
  std::u16string word;
  for (char16_t c : text + u' ') {
    if (c != u' ' && c != u'(' && c != u')' && c != u',') {
      word.push_back(c);
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  return words;
}

// Every word wanted begins a word of the name: "eng fem" finds "English Female (Parlan)", while
// "fr" does not find "Afrikaans".
int32_t FindByWords(const std::vector<ModeEntry>& modes, const std::u16string& wanted) {
  const std::vector<std::u16string> words = Words(Folded(wanted));
  if (words.empty()) return 0;
  for (const ModeEntry& m : modes) {
    const std::vector<std::u16string> name = Words(Folded(m.Name));
    if (std::all_of(words.begin(), words.end(), [&](const std::u16string& w) {
          return std::any_of(name.begin(), name.end(),
                             [&](const std::u16string& n) { return n.starts_with(w); });
        }))
      return m.Number;
  }
  return 0;
}

}  // namespace

std::string KindOfMode(const std::u16string& displayName) {
  if (EndsWith(displayName, u" (Parlan)")) return "native";
  if (EndsWith(displayName, u"  (SAPI 4)")) return "SAPI 4";
  if (EndsWith(displayName, u" (SAPI 5)")) return "SAPI 5";
  return "unknown";
}

bool IsFemaleMode(const std::u16string& displayName) {
  return EndsWith(displayName, u" Female (Parlan)") ||
         EndsWith(displayName, u" Female  (SAPI 4)") || EndsWith(displayName, u" Female (SAPI 5)");
}

bool LanguageMatches(const std::string& language, const std::string& code) {
  const std::string l = Lower(language);
  const std::string c = Lower(code);
  return !c.empty() && (l == c || (l.starts_with(c) && l[c.size()] == '-'));
}

int32_t FindMode(const std::vector<ModeEntry>& modes, const std::string& wanted) {
  std::u16string name;
  if (!Utf8ToUtf16(wanted, name)) throw UsageError("the mode name is not valid UTF-8");
  for (const ModeEntry& m : modes)
    if (m.Name == name) return m.Number;
  const std::u16string folded = Folded(name);
  for (const ModeEntry& m : modes)
    if (Folded(m.Name) == folded) return m.Number;
  // A language code, as eSpeak NG takes it, with a variant after "+".
  const size_t plus = wanted.find('+');
  const std::string code = wanted.substr(0, plus);
  std::optional<bool> female;
  if (plus != std::string::npos) {
    const std::string variant = wanted.substr(plus + 1);
    female = VariantIsFemale(variant);
    if (!female)
      throw UsageError("no mode has the variant +" + variant +
                       ": the modes come in male (+m) and female (+f) forms");
  }
  if (code.find(' ') == std::string::npos)
    if (int32_t number = FindByLanguage(modes, code, female)) return number;
  return plus == std::string::npos ? FindByWords(modes, name) : 0;
}

}  // namespace parlan::cli
