#include "PronunciationTests.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <thread>

#include "CliErrors.h"
#include "PhonemeTap.h"
#include "engines/RecordingEngines.h"
#include "parlan/Parlana.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

constexpr std::u16string_view kFolderPrefix = u"Parlan ";
constexpr std::u16string_view kNativeSuffix = u" (Parlan)";

std::u16string CollapseSpaces(std::u16string_view text) {
  std::u16string out;
  bool space = false;
  for (char16_t c : text) {
    if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') {
      space = !out.empty();
      continue;
    }
    if (space) out.push_back(u' ');
    space = false;
    out.push_back(c);
  }
  return out;
}

std::vector<std::string> ReadLines(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw UsageError("cannot read " + file.string() + ": " + std::strerror(errno));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  if (!lines.empty() && lines[0].starts_with("\xEF\xBB\xBF")) lines[0].erase(0, 3);
  return lines;
}

// The first native mode of the folder's language.
int32_t LanguageMode(Parlana& control, const std::u16string& language) {
  const int32_t count = control.CountEngines();
  for (int32_t i = 1; i <= count; ++i) {
    const std::u16string name = control.ModeName(static_cast<int16_t>(i));
    if (name.starts_with(language + u" ") && name.ends_with(kNativeSuffix)) return i;
  }
  return 0;
}

void RunCases(const std::filesystem::path& folder, PronunciationRun& run) {
  const std::u16string folderName = folder.filename().u16string();
  const std::u16string language =
      folderName.starts_with(kFolderPrefix) ? folderName.substr(kFolderPrefix.size()) : u"";
  auto tap = std::make_shared<PhonemeTap>(std::make_shared<engines::RecordingEngineFactory>());
  Parlana control(ParlanaSettings{folder.parent_path(), tap});
  const int32_t mode = language.empty() ? 0 : LanguageMode(control, language);
  if (mode == 0)
    throw UsageError("the folder " + folder.string() + " offers no native mode to test with");
  control.SetNeverDebug(true);
  control.SetCurrentMode(mode);
  for (PronunciationCase& c : run.Cases) {
    tap->Take();
    std::u16string text = c.Text;
    control.Speak(text);
    std::u16string joined;
    for (std::u16string part : tap->Take()) {
      // The phrase's end mark is the pipeline's, not the language's.
      if (part.ends_with(u'#')) part.pop_back();
      joined += (joined.empty() ? u"" : u" ") + part;
    }
    c.Actual = CollapseSpaces(joined);
    c.Passed = c.Actual == CollapseSpaces(c.Expected);
  }
}

}  // namespace

std::u16string CollapsedPhonemes(std::u16string_view phonemes) {
  return CollapseSpaces(phonemes);
}

int PronunciationRun::Failed() const {
  return static_cast<int>(
      std::count_if(Cases.begin(), Cases.end(), [](const auto& c) { return !c.Passed; }));
}

std::filesystem::path PronunciationTestsFile(const std::filesystem::path& languageFolder) {
  return languageFolder / "tests.tsv";
}

PronunciationRun RunPronunciationTests(const std::filesystem::path& given) {
  // Absolute, so that a folder given as "Parlan X" still has the folder it stands in as root.
  std::filesystem::path folder = std::filesystem::absolute(given).lexically_normal();
  if (folder.filename().empty()) folder = folder.parent_path();
  PronunciationRun run;
  run.File = PronunciationTestsFile(given.lexically_normal());
  const std::vector<std::string> lines = ReadLines(run.File);
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty() || line.starts_with('#')) continue;
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) {
      run.MalformedLines.push_back(static_cast<int>(i + 1));
      continue;
    }
    run.Cases.push_back({static_cast<int>(i + 1), Utf8OrLatin1ToUtf16(line.substr(0, tab)),
                         Utf8OrLatin1ToUtf16(line.substr(tab + 1)), u"", false});
  }
  // A fresh thread has fresh module state: the caller's loaded language and debug boxes stay.
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      RunCases(folder, run);
    } catch (...) {
      failure = std::current_exception();
    }
  });
  worker.join();
  if (failure) std::rethrow_exception(failure);
  return run;
}

}  // namespace parlan::cli
