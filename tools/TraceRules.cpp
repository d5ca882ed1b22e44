#include "TraceRules.h"

#include <filesystem>
#include <map>
#include <vector>

#include "WordRules.h"
#include "modes/ParlanFileManagement.h"
#include "normalisation/Normalisation.h"
#include "strings/TextFiles.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

namespace fs = std::filesystem;

// "file:line: text", the tab that ends a word shown as "\t" (it would be invisible).
std::string Located(const fs::path& file, int line, std::u16string_view text) {
  std::string shown = ToUtf8(text);
  for (size_t at; (at = shown.find('\t')) != std::string::npos;) shown.replace(at, 1, "\\t");
  return file.string() + ":" + (line > 0 ? std::to_string(line) : "?") + ": " + shown + "\n";
}

std::vector<std::u16string> BoxLines(const std::u16string& text) {
  std::vector<std::u16string> lines;
  size_t from = 0;
  for (size_t end; from < text.size(); from = end + 2) {
    end = text.find(u"\r\n", from);
    if (end == std::u16string::npos) end = text.size();
    if (end > from) lines.push_back(text.substr(from, end - from));
  }
  return lines;
}

struct FileLine {
  std::u16string Text;
  int Line = 0;
};

// The lines strictly between the first line that is `begin` and the next that is `end`.
std::vector<FileLine> Section(const fs::path& file, std::u16string_view begin,
                              std::u16string_view end) {
  std::vector<FileLine> lines;
  Utf16LineReader reader;
  if (!reader.Open(file)) return lines;
  std::u16string line;
  bool inside = false;
  for (int number = 1; reader.ReadLine(line) && !(inside && line == end); ++number) {
    if (inside)
      lines.push_back({line, number});
    else
      inside = line == begin;
  }
  return lines;
}

std::u16string Slashed(std::u16string text) {
  for (char16_t& c : text)
    if (c == u' ') c = u'/';
  return text;
}

// Each way the normalisation box logs an entry of the ABBR section, with the entry's line; the
// first entry wins, as the passes search them in order.
std::map<std::u16string, FileLine> NormalisationForms(const fs::path& file) {
  std::map<std::u16string, FileLine> forms;
  for (const FileLine& entry : Section(file, u"ABBR", u"ABBREND")) {
    std::u16string key;
    std::u16string expansion;
    SplitAtArrow(entry.Text, key, expansion);
    if (expansion.ends_with(u" **")) expansion.resize(expansion.size() - 3);
    for (const std::u16string& form :
         {u"always" + key + u" " + Slashed(expansion), u"always" + key + u" " + expansion,
          u"isol " + key + u" " + expansion, u"isol " + key + u" " + Slashed(expansion)})
      forms.emplace(form, entry);
  }
  return forms;
}

std::map<std::u16string, FileLine> DictionaryForms(const fs::path& file) {
  std::map<std::u16string, FileLine> forms;
  for (const FileLine& entry : Section(file, u"EXCEPT", u"END")) {
    std::u16string word;
    std::u16string replacement;
    SplitAtArrow(entry.Text, word, replacement);
    forms.emplace(word + u" -> " + replacement, entry);
  }
  return forms;
}

std::string LocateLogged(const fs::path& file, const std::map<std::u16string, FileLine>& forms,
                         const std::u16string& box) {
  std::string section;
  for (const std::u16string& logged : BoxLines(box))
    if (auto it = forms.find(logged); it != forms.end())
      section += Located(file, it->second.Line, it->second.Text);
  return section;
}

}  // namespace

std::string FiredRulesSection(Parlana& control) {
  std::map<std::string, std::u16string> boxes;
  for (const DebugBox& box : control.DebugBoxes()) boxes[box.Control] = box.Text;
  const fs::path root = control.InstallRoot();
  const std::u16string language =
      LanguageOfMode(control.ModeName(static_cast<int16_t>(control.CurrentMode())));
  const fs::path norm = LanguageFilePath(root, language, LanguageFile::Normalisation);
  const fs::path words = LanguageFilePath(root, language, LanguageFile::Exceptions);
  const fs::path rules = LanguageFilePath(root, language, LanguageFile::Rules);
  std::string section = LocateLogged(norm, NormalisationForms(norm), boxes["txtNormAppld"]);
  section += LocateLogged(words, DictionaryForms(words), boxes["txtExceptAppld"]);
  for (const LetterRuleUse& use : FiredRules(rules, boxes["txtRulesAppld"]))
    section += Located(rules, use.Line, use.Rule);
  return section.empty() ? section : "== Rules Fired (file:line: rule) ==\n" + section;
}

}  // namespace parlan::cli
