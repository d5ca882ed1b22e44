// The commands of a language developer's work: `test` runs a language's pronunciation tests,
// `convert` turns a language file between UTF-16 and UTF-8, and `new` makes a language folder
// from an existing one. They live apart from the speaking commands so that each set can grow
// without the other.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "Options.h"

namespace CLI {
class App;
}

namespace parlan::cli {

struct LanguageSubcommands {
  CLI::App* Test = nullptr;
  CLI::App* Convert = nullptr;
  CLI::App* New = nullptr;
};

// Adds test, convert and new to the tool's command line; their options go to `o.Language`.
LanguageSubcommands AddLanguageSubcommands(CLI::App& app, CliOptions& o);

// The language command that was parsed, if any.
std::optional<Command> LanguageCommandOf(const LanguageSubcommands& subs);

// Runs `parlan test FOLDER`: one diff for each failing case on `out`, a summary line, and exit
// status 1 when a case fails or a line cannot be read as a case.
int RunTest(const std::filesystem::path& folder, std::ostream& out);

// Runs `parlan convert FILE`: see ConvertLanguageFile.
int RunConvert(const LanguageWork& work, std::ostream& err);

// Runs `parlan new LANGUAGE`: see MakeLanguage.
int RunNew(const CliOptions& options, std::ostream& out);

}  // namespace parlan::cli
