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

enum class Command { Speak, Modes, Phonemes, Trace, Check, Test, Convert, New, Learn, Help };

// Where the text comes from: the words of the command line, a file, or standard input.
struct TextSource {
  std::vector<std::string> Words;
  std::string File;  // -f; "-" is standard input
  // Standard input is a terminal: every line is spoken as it is typed.
  bool LineByLine = false;
};

// --punct without characters: every punctuation character (and --voices without a language:
// every mode).
inline constexpr char kAllPunctuation[] = "\x1F";

struct SpeakOptions {
  std::string Mode;  // -v: see ControlHost::ResolveMode; empty for the saved or first mode
  std::optional<int32_t> Speed;     // -s, words per minute 80..450
  std::optional<int32_t> Pitch;     // -p, 0..99
  std::optional<int32_t> Volume;    // -a, 0..200
  std::string OutputFile;           // -w: a .wav or .flac file
  bool ToStdout = false;            // --stdout: WAV to standard output
  std::optional<int32_t> WordGap;   // -g, in 10 ms units
  std::optional<int32_t> Capitals;  // -k, as eSpeak NG takes it
  std::string Punctuation;          // --punct[=CHARS]: kAllPunctuation, the characters, or ""
  bool Ssml = false;                // -m: the text is SSML
  bool Ipa = false;                 // --ipa: print the phonemes spoken, in IPA
  bool NoAudio = false;             // -q: synthesise without sound
  bool PrintPhonemes = false;       // -x
  bool PrintTrace = false;          // -X
  bool PrintEvents = false;         // --events
  std::optional<double> TimeoutSeconds;
};

// The options of the language developer's commands: test, convert and new.
struct LanguageWork {
  std::string Folder;    // test: the language folder; new --into: where the new one goes
  std::string File;      // convert: the file to convert
  std::string To;        // convert: "utf8" or "utf16"; empty for the other of the file's
  std::string Output;    // convert -o: where to write; empty to rewrite FILE in place
  bool Force = false;    // convert --force: replace an existing output or backup
  std::string Language;  // new: the name of the new language
  std::string From;      // new: the language copied; "English" when empty
};

// Which modes `parlan modes` lists.
struct ModeFilter {
  std::string Language;  // a language code; its subtags too ("en" takes "en-us")
  std::string Kind;      // "native", "sapi4", "sapi5"; empty for all
};

struct CliOptions {
  Command Cmd = Command::Speak;
  std::string Root;      // --root: the install root; empty for the library's default
  std::string Settings;  // --settings: the text file of saved settings
  SpeakOptions Speak;    // speak, and the mode of phonemes and trace
  TextSource Text;
  bool Json = false;       // modes: JSON Lines; trace: one JSON document
  bool JsonLines = false;  // trace
  ModeFilter Modes;        // modes
  std::string CheckFolder;
  LanguageWork Language;
  std::string HelpTopic;  // help COMMAND
  learn::LearnOptions Learn;
};

// Parses the command line. Returns an exit status when the program should end here: after
// --help or --version (printed to `out`, status 0) or after a usage error (one line on `err`,
// status 2). Returns nothing when a command is to run.
std::optional<int> ParseCommandLine(int argc, const char* const* argv, CliOptions& options,
                                    std::ostream& out, std::ostream& err);

// The subcommand a word is a slip of (an insertion, a deletion, a change or a swap of
// neighbours; two for names of seven letters or more), or "" when it is none or is a name itself.
// Only lower-case words of 3 to 12 letters count.
std::string NearestSubcommand(const std::string& word);

// The names of the subcommands, in the order the help lists them.
std::vector<std::string> SubcommandNames();

}  // namespace parlan::cli
