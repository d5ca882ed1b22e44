// `parlan check`: validates a language folder ("Parlan <language>" with its configuration,
// normalisation, exception and letter-rule files) and reports every problem found as
// "file:line: message".
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace parlan::cli {

struct Problem {
  std::string File;
  int Line = 0;  // 0: the file as a whole
  std::string Message;
};

// "file:line: message", or "file: message" for a problem of the whole file.
std::string FormatProblem(const Problem& problem);

// Checks the folder and returns its problems in the order of the files and lines. Throws
// UsageError when the folder does not exist.
std::vector<Problem> CheckLanguageFolder(const std::filesystem::path& folder);

// Prints the problems, one a line, and returns the exit status: 0 without problems, 1 with.
int RunCheck(const std::filesystem::path& folder, std::ostream& out);

}  // namespace parlan::cli
