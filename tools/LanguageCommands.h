// The commands of a language developer's work: `test` runs a language's pronunciation tests,
// `convert` turns a language file between UTF-16 and UTF-8, and `new` makes a language folder
// from an existing one. They live apart from the speaking commands so that each set can grow
// without the other.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "Options.h"

namespace CLI {
class App;
}

namespace parlan::cli {

// The options of test, convert and new, for the tool's table of commands; they go to
// `o.Language`.
void AddTest(CLI::App& app, CliOptions& o);
void AddConvert(CLI::App& app, CliOptions& o);
void AddNew(CLI::App& app, CliOptions& o);

// Runs `parlan test FOLDER`: one diff for each failing case on `out`, a summary line, and exit
// status 1 when a case fails or a line cannot be read as a case.
int RunTest(const std::filesystem::path& folder, std::ostream& out);

// Runs `parlan convert FILE`: see ConvertLanguageFile.
int RunConvert(const LanguageWork& work, std::ostream& err);

// Runs `parlan new LANGUAGE`: see MakeLanguage.
int RunNew(const CliOptions& options, std::ostream& out);

}  // namespace parlan::cli
