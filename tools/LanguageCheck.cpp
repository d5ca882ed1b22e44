#include "LanguageCheck.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "CheckContext.h"
#include "CliErrors.h"
#include "EspeakPhonemes.h"
#include "PronunciationTests.h"
#include "strings/NumberText.h"
#include "strings/TextFiles.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

constexpr std::u16string_view kFolderPrefix = u"Parlan ";

// A Windows language number of English (primary language 9), written in decimal or in
// hexadecimal with or without "0x".
bool IsEnglishLanguageNumber(const std::string& text) {
  std::string digits = text;
  int base = 10;
  if (digits.starts_with("0x") || digits.starts_with("0X")) {
    digits = digits.substr(2);
    base = 16;
  }
  for (int b : {base, 16}) {
    unsigned value = 0;
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, b);
    if (ec == std::errc() && ptr == digits.data() + digits.size() && value > 0 &&
        (value & 0x3FF) == 9)
      return true;
  }
  return false;
}

// Whether the language is spoken by eSpeak NG's English, whose phonemes the checks know: the
// voice names of a voice language, the language of a direct-engine language. A language that
// names no language at all is spoken by the default voice, which is English.
bool SpokenInEnglish(const std::vector<std::u16string>& config) {
  int line = 0;
  if (LeadingNumber(ConfigValue(config, u"SAPINO", line)) == 5.0) {
    for (const char16_t* key : {u"MALE", u"FEMALE"}) {
      std::u16string voice = ConfigValue(config, key, line);
      if (!voice.empty() && !StartsWithIgnoreCase(voice, u"English")) return false;
    }
    return true;
  }
  std::u16string language = ConfigValue(config, u"LANGID", line);
  if (language.empty() || StartsWithIgnoreCase(language, u"en")) return true;
  return IsEnglishLanguageNumber(ToUtf8(language));
}

void CheckConfiguration(const std::filesystem::path& path, const std::string& shown,
                        CheckState& state) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    state.Found.Add(shown, 0, "missing");
    return;
  }
  if (!std::filesystem::is_regular_file(path, ec)) {
    state.Found.Add(shown, 0, "not a regular file");
    return;
  }
  std::vector<std::u16string> lines;
  if (!ReadConfigLines(path, lines)) {
    state.Found.Add(shown, 0, UnreadableFile());
    return;
  }
  int line = 0;
  std::u16string gender = ConfigValue(lines, u"GENDER", line);
  if (line == 0) {
    state.Found.Add(shown, std::max<int>(1, static_cast<int>(lines.size())),
                    "missing key GENDER (Male, Female or Both): the language offers no mode");
  } else if (gender != u"Male" && gender != u"Female" && gender != u"Both") {
    state.Found.Add(shown, line,
                    "GENDER is " + Quote(gender) +
                        ": only Male, Female or Both, written exactly so, give a mode");
  }
  state.CheckPhonemes = SpokenInEnglish(lines);
  CheckEngineKeys(lines, shown, state.Found);
  const std::u16string space = ConfigValue(lines, u"SPACE", line);
  state.JoinsWords = RoundHalfEven(LeadingNumber(space)) != 1.0;
  state.SpaceLine = line;
}

// The pronunciation tests are optional; a line that `parlan test` cannot read as a case is not.
void CheckTestsFile(const std::filesystem::path& path, Problems& found) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return;
  std::vector<std::u16string> lines;
  if (!ReadConfigLines(path, lines)) {
    found.Add(path.string(), 0, UnreadableFile());
    return;
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    std::u16string_view line = lines[i];
    if (i == 0 && line.starts_with(u'\uFEFF')) line.remove_prefix(1);
    if (!line.empty() && line[0] != u'#' && line.find(u'\t') == std::u16string_view::npos)
      found.Add(path.string(), static_cast<int>(i + 1),
                "no tab between the text and the expected phonemes: parlan test fails it");
  }
}

std::filesystem::path FolderOf(const std::filesystem::path& given) {
  std::filesystem::path folder = given;
  if (folder.filename().empty()) folder = folder.parent_path();
  return folder;
}

}  // namespace

std::u16string ConfigValue(const std::vector<std::u16string>& lines, std::u16string_view key,
                           int& line) {
  const std::u16string prefix = std::u16string(key) + u"=";
  for (size_t i = 0; i < lines.size(); ++i) {
    if (StartsWithIgnoreCase(lines[i], prefix)) {
      line = static_cast<int>(i + 1);
      return lines[i].substr(prefix.size());
    }
  }
  line = 0;
  return {};
}

std::string Quote(std::u16string_view text) {
  return "\"" + ToUtf8(text) + "\"";
}

size_t FindLine(const std::vector<std::u16string>& lines, size_t from,
                std::u16string_view keyword) {
  for (size_t i = from; i < lines.size(); ++i)
    if (lines[i] == keyword) return i;
  return lines.size();
}

int EndLine(const CheckedFile& file) {
  return std::max<int>(1, static_cast<int>(file.Lines.size()));
}

void GroupTracker::Next(const CheckedFile& file, int line, std::u16string_view initial,
                        Problems& problems) {
  if (initial.empty() || (any_ && initial == last_)) return;
  any_ = true;
  last_.assign(initial);
  auto first = std::find_if(firstLines_.begin(), firstLines_.end(),
                            [&](const auto& entry) { return entry.first == initial; });
  if (first == firstLines_.end()) {
    firstLines_.emplace_back(last_, line);
    return;
  }
  problems.Add(file.Shown, line,
               what_ + " " + Quote(initial) + " start a second group (the first begins at line " +
                   std::to_string(first->second) + "), so they are never used");
}

void CheckPhonemes(CheckState& state, const CheckedFile& file, int line,
                   std::u16string_view phonemes) {
  if (!state.CheckPhonemes) return;
  std::vector<std::u16string> unknown = UnknownPhonemes(phonemes);
  if (unknown.empty()) return;
  std::string list;
  for (const std::u16string& part : unknown) list += (list.empty() ? "" : ", ") + Quote(part);
  state.Found.Add(file.Shown, line,
                  "unknown eSpeak NG phoneme" + std::string(unknown.size() > 1 ? "s " : " ") +
                      list + " in " + Quote(phonemes));
}

std::string FormatProblem(const Problem& problem) {
  if (problem.Line <= 0) return problem.File + ": " + problem.Message;
  return problem.File + ":" + std::to_string(problem.Line) + ": " + problem.Message;
}

std::vector<Problem> CheckLanguageFolder(const std::filesystem::path& given) {
  std::error_code ec;
  if (!std::filesystem::is_directory(given, ec))
    throw UsageError("cannot read folder " + given.string() + ": " +
                     (ec                                   ? ec.message()
                      : std::filesystem::exists(given, ec) ? "not a folder"
                                                           : "No such file or directory"));
  const std::filesystem::path folder = FolderOf(given);
  CheckState state;
  const std::u16string folderName = folder.filename().u16string();
  if (!folderName.starts_with(kFolderPrefix) || folderName.size() == kFolderPrefix.size()) {
    state.Found.Add(folder.string(), 0,
                    "the folder name must be \"Parlan \" followed by the language name");
    return state.Found.All();
  }
  const std::u16string language = folderName.substr(kFolderPrefix.size());
  state.Language = language;
  auto fileOf = [&](const char16_t* suffix) { return folder / (language + suffix); };
  auto shownOf = [&](const char16_t* suffix) { return fileOf(suffix).string(); };

  CheckConfiguration(fileOf(u"c.ttg"), shownOf(u"c.ttg"), state);
  CheckedFile norm = ReadLanguageFile(fileOf(u"n.ttg"), shownOf(u"n.ttg"), state.Found);
  CheckedFile except = ReadLanguageFile(fileOf(u"e.ttg"), shownOf(u"e.ttg"), state.Found);
  CheckedFile rules = ReadLanguageFile(fileOf(u"r.ttg"), shownOf(u"r.ttg"), state.Found);
  if (norm.Readable) CheckNormalisationFile(norm, state);
  if (except.Readable) CheckExceptionFile(except, state);
  if (rules.Readable) CheckRuleFile(rules, state);
  CheckWordEnds(shownOf(u"c.ttg"), state);
  CheckLoading(norm, except, state);
  if (rules.Readable && norm.Readable) CheckSpokenWords(rules, norm, state);
  const std::filesystem::path tests = PronunciationTestsFile(folder);
  CheckTestsFile(tests, state.Found);

  // Report file by file, in the order above, and line by line within each file.
  std::map<std::string, int> order;
  for (const char16_t* suffix : {u"c.ttg", u"n.ttg", u"e.ttg", u"r.ttg"})
    order.emplace(shownOf(suffix), static_cast<int>(order.size()));
  order.emplace(tests.string(), static_cast<int>(order.size()));
  std::vector<Problem> problems = state.Found.All();
  std::stable_sort(problems.begin(), problems.end(), [&](const Problem& a, const Problem& b) {
    return std::pair(order[a.File], a.Line) < std::pair(order[b.File], b.Line);
  });
  return problems;
}

int RunCheck(const std::filesystem::path& folder, std::ostream& out) {
  std::vector<Problem> problems = CheckLanguageFolder(folder);
  for (const Problem& problem : problems) out << FormatProblem(problem) << "\n";
  return problems.empty() ? kExitOk : kExitFailure;
}

}  // namespace parlan::cli
