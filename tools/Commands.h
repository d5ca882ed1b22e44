// The commands of `parlan`. Each returns the exit status, prints its results to `out` and its
// warnings to `err`, and throws UsageError or RunError when it cannot go on.
#pragma once

#include <istream>
#include <ostream>

#include "Options.h"

namespace parlan::cli {

int RunModes(const CliOptions& options, std::ostream& out);
int RunSpeak(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err);
int RunPhonemes(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err);
int RunTrace(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

// Runs the command the options name; a UsageError or RunError becomes its one-line message on
// `err` and exit status 2 or 1.
int RunCommand(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace parlan::cli
