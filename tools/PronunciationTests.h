// A language's pronunciation tests: tests.tsv in the language folder holds one case a line,
// the text, a tab, and the phonemes the language should give for it (UTF-8; blank lines and
// lines starting with "#" are skipped). Each text is spoken in the language's first native mode
// on engines that only record, and the phoneme strings handed over (each without its phrase's
// closing "#") are compared with the expected ones, spaces collapsed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace parlan::cli {

struct PronunciationCase {
  int Line = 0;  // in tests.tsv
  std::u16string Text;
  std::u16string Expected;
  std::u16string Actual;  // the phoneme strings of the Speak, joined by a space
  bool Passed = false;
};

struct PronunciationRun {
  std::filesystem::path File;  // the tests.tsv read
  std::vector<PronunciationCase> Cases;
  // Lines that hold no tab: reported, not run.
  std::vector<int> MalformedLines;
  int Failed() const;
};

// Phonemes as the tests compare them: blanks, tabs and line ends collapsed into single blanks,
// none at either end.
std::u16string CollapsedPhonemes(std::u16string_view phonemes);

// The tests file of a language folder.
std::filesystem::path PronunciationTestsFile(const std::filesystem::path& languageFolder);

// Runs every case of the language folder's tests.tsv. The control runs on a thread of its own,
// so that the caller's controls and debug windows are untouched. Throws UsageError when the
// folder has no tests file or its language offers no native mode.
PronunciationRun RunPronunciationTests(const std::filesystem::path& languageFolder);

}  // namespace parlan::cli
