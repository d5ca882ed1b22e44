// The two ways a command of the tool fails: bad input from the user (exit status 2) and a
// failure while running (exit status 1). Both carry the one-line message shown on standard error.
#pragma once

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace parlan::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // problems found, or the speech could not be completed
inline constexpr int kExitUsage = 2;    // bad command line or bad input

class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

class RunError : public std::runtime_error {
 public:
  explicit RunError(const std::string& message) : std::runtime_error(message) {}
};

// "cannot read WHAT: REASON" with the system's reason for the failure that just happened, so
// that a missing file and a forbidden one are told apart.
inline std::string CannotRead(const std::string& what, int error = errno) {
  return "cannot read " + what + ": " + (error != 0 ? std::strerror(error) : "input/output error");
}

// The problem line of a file that `check` could open but not read, with the system's reason.
inline std::string UnreadableFile(int error = errno) {
  return std::string("cannot be read: ") +
         (error != 0 ? std::strerror(error) : "input/output error");
}

}  // namespace parlan::cli
