#include "LanguageCommands.h"

#include <CLI/CLI.hpp>

#include <algorithm>

#include "CliErrors.h"
#include "LanguageFolder.h"
#include "PronunciationTests.h"
#include "control/DefaultRoot.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

void PrintFailure(const std::string& file, const PronunciationCase& c, std::ostream& out) {
  const std::string expected = ToUtf8(CollapsedPhonemes(c.Expected));
  const std::string actual = ToUtf8(c.Actual);
  size_t column = 0;
  while (column < expected.size() && column < actual.size() && expected[column] == actual[column])
    ++column;
  // The mark stands under the first differing character: count characters, not bytes.
  const size_t characters = static_cast<size_t>(
      std::count_if(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(column),
                    [](char b) { return (static_cast<unsigned char>(b) & 0xC0) != 0x80; }));
  out << file << ":" << c.Line << ": " << ToUtf8(c.Text) << "\n"
      << "  - expected: " << expected << "\n"
      << "  + got:      " << actual << "\n"
      << "              " << std::string(characters, ' ') << "^\n";
}

}  // namespace

void AddTest(CLI::App& app, CliOptions& o) {
  app.add_option("FOLDER", o.Language.Folder, "The \"Parlan <language>\" folder")->required();
}

void AddConvert(CLI::App& app, CliOptions& o) {
  LanguageWork& w = o.Language;
  app.add_option("FILE", w.File, "The language file")->required();
  app.add_option("--to", w.To, "utf8 or utf16 (default: the other of the file's)")
      ->check(CLI::IsMember({"utf8", "utf16"}));
  app.add_option("-o,--output", w.Output,
                 "Write here instead of rewriting FILE (which keeps a copy as FILE~)");
  app.add_flag("--force", w.Force, "Replace an existing output file or FILE~");
}

void AddNew(CLI::App& app, CliOptions& o) {
  LanguageWork& w = o.Language;
  app.add_option("--root", o.Root, "Install root holding the language copied from");
  app.add_option("LANGUAGE", w.Language, "The new language's name")->required();
  app.add_option("--from", w.From, "The language copied, by name or folder (English)");
  app.add_option("--into", w.Folder, "Where the new folder goes (the current folder)");
}

int RunTest(const std::filesystem::path& folder, std::ostream& out) {
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec))
    throw UsageError("cannot read folder " + folder.string() + ": " +
                     (ec ? ec.message() : std::string("not a folder")));
  const PronunciationRun run = RunPronunciationTests(folder);
  const std::string file = run.File.string();
  for (int line : run.MalformedLines)
    out << file << ":" << line << ": no tab between the text and the expected phonemes\n";
  for (const PronunciationCase& c : run.Cases)
    if (!c.Passed) PrintFailure(file, c, out);
  const int failed = run.Failed() + static_cast<int>(run.MalformedLines.size());
  out << run.Cases.size() - static_cast<size_t>(run.Failed()) << " passed, " << failed
      << " failed\n";
  if (run.Cases.empty() && failed == 0) {
    out << file << ": holds no cases\n";
    return kExitFailure;
  }
  return failed == 0 ? kExitOk : kExitFailure;
}

int RunConvert(const LanguageWork& work, std::ostream& err) {
  const ConvertResult result = ConvertLanguageFile(work);
  err << "parlan: wrote " << result.Written.string() << " as "
      << (result.Utf8 ? "UTF-8 with a byte-order mark, LF line ends"
                      : "UTF-16 little-endian, CR LF line ends");
  if (!result.Backup.empty()) err << "; the original is kept as " << result.Backup.string();
  err << "\n";
  return kExitOk;
}

int RunNew(const CliOptions& options, std::ostream& out) {
  const LanguageWork& w = options.Language;
  std::filesystem::path from = w.From.empty() ? "English" : w.From;
  std::error_code ec;
  if (from.filename() == from && !std::filesystem::is_directory(from, ec)) {
    const std::filesystem::path root =
        options.Root.empty() ? DefaultInstallRoot() : std::filesystem::path(options.Root);
    from = root / ("Parlan " + from.string());
    if (!std::filesystem::is_directory(from, ec))
      throw UsageError("no language " + w.From + " under " + root.string() +
                       " to copy (--root names another install root, --from a folder)");
  }
  const std::filesystem::path into = w.Folder.empty() ? "." : w.Folder;
  const std::filesystem::path made = MakeLanguage(from, w.Language, into);
  out << "made " << made.string() << "\n"
      << "next: parlan check \"" << made.string() << "\"; parlan test \"" << made.string()
      << "\"\n";
  return kExitOk;
}

}  // namespace parlan::cli
