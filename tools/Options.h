// The command line of `parlan`: global options, the subcommands and their options, parsed with
// CLI11 into one plain structure that the commands read.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "learn/Learn.h"

namespace parlan::cli {

enum class Command { Speak, Modes, Phonemes, Trace, Check, Learn };

// Where the text comes from: the words of the command line, a file, or standard input.
struct TextSource {
  std::vector<std::string> Words;
  std::string File;  // -f; "-" is standard input
};

struct SpeakOptions {
  std::string Mode;  // -v: a mode number or a display name; empty for the saved or first mode
  std::optional<int32_t> Speed;   // -s, in the engine's units
  std::optional<int32_t> Pitch;   // -p, in the engine's units
  std::optional<int32_t> Volume;  // -a, 0..10
  std::string OutputFile;         // -w: a .wav or .flac file
  bool NoAudio = false;           // -q: synthesise without sound
  bool PrintPhonemes = false;     // -x
  bool PrintTrace = false;        // -X
  bool PrintEvents = false;       // --events
  std::optional<double> TimeoutSeconds;
};

struct CliOptions {
  Command Cmd = Command::Speak;
  std::string Root;      // --root: the install root; empty for the library's default
  std::string Settings;  // --settings: the text file of saved settings
  SpeakOptions Speak;    // speak, and the mode of phonemes and trace
  TextSource Text;
  bool Json = false;  // modes, trace
  std::string CheckFolder;
  learn::LearnOptions Learn;
};

// Parses the command line. Returns an exit status when the program should end here: after
// --help or --version (printed to `out`, status 0) or after a usage error (one line on `err`,
// status 2). Returns nothing when a command is to run.
std::optional<int> ParseCommandLine(int argc, const char* const* argv, CliOptions& options,
                                    std::ostream& out, std::ostream& err);

// True when a word looks like a mistyped subcommand: lower-case letters one edit (an insertion,
// a deletion, a change or a swap of neighbours) away from a subcommand's name.
bool LooksLikeSubcommand(const std::string& word);

// True when the words given as the text of the default command look like a mistyped command
// rather than text: the first word looks like a subcommand and stands alone or is followed by
// something that looks like an option or a path.
bool LooksLikeMistypedCommand(const std::vector<std::string>& words);

}  // namespace parlan::cli
