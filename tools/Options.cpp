#include "Options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <ostream>

#include "CliErrors.h"
#include "parlan/Identity.h"

namespace parlan::cli {
namespace {

constexpr std::array<const char*, 6> kSubcommands = {"speak", "modes", "phonemes",
                                                     "trace", "check", "learn"};

void AddGlobalOptions(CLI::App& app, CliOptions& o) {
  app.add_option("--root", o.Root, "Install root holding the \"Parlan <language>\" folders");
  app.add_option("--settings", o.Settings,
                 "Text file of saved settings, read at start and written back after speak");
}

void AddTextOptions(CLI::App& app, CliOptions& o) {
  app.add_option("-f,--file", o.Text.File, "Read the text from FILE (\"-\" for standard input)");
  app.add_option("TEXT", o.Text.Words, "Text to speak (UTF-8); standard input when absent");
  // Everything after the first word of text is text, so words such as "-5" or "modes" inside
  // the text are never taken for options or subcommands.
  app.positionals_at_end(true);
}

void AddModeOption(CLI::App& app, CliOptions& o) {
  app.add_option("-v,--mode", o.Speak.Mode, "Mode by number or by display name");
}

void AddSpeakOptions(CLI::App& app, CliOptions& o) {
  AddModeOption(app, o);
  SpeakOptions& s = o.Speak;
  app.add_option("-s,--speed", s.Speed, "Speed in the engine's units");
  app.add_option("-p,--pitch", s.Pitch, "Pitch in the engine's units");
  app.add_option("-a,--volume", s.Volume, "Volume 0..10");
  app.add_option("-w,--wav", s.OutputFile, "Write the audio to FILE (.wav or .flac)");
  app.add_flag("-q,--quiet", s.NoAudio, "Synthesise without playing");
  app.add_flag("-x", s.PrintPhonemes, "Print the phoneme strings handed to the engine");
  app.add_flag("-X", s.PrintTrace, "Print the debug boxes after speaking");
  app.add_flag("--events", s.PrintEvents, "Print the events as they arrive");
  app.add_option("--timeout", s.TimeoutSeconds, "Seconds to wait for the speech to finish");
  AddTextOptions(app, o);
}

struct Subcommands {
  CLI::App* Speak;
  CLI::App* Modes;
  CLI::App* Phonemes;
  CLI::App* Trace;
  CLI::App* Check;
  CLI::App* Learn;
};

CLI::App* AddLearn(CLI::App& app, CliOptions& o) {
  CLI::App* learn = app.add_subcommand(
      "learn", "Learn letter rules from a lexicon of word<TAB>phonemes lines and measure them");
  learn::LearnOptions& l = o.Learn;
  learn->add_option("LEXICON", l.Lexicon, "The lexicon (\"-\" for standard input)")->required();
  learn->add_option("-o,--output", l.Output, "The rule file to write")->required();
  learn->add_option("--language", l.Language, "The name on the file's LANGUAGE= line");
  learn->add_option("--dictionary", l.Dictionary,
                    "An exception file whose held-out words are reported apart");
  learn->add_option("--shapes", l.Shapes,
                    "Letter windows left:right, narrow to wide (default 0:2,0:3,1:3,1:4,...)");
  learn->add_option("--keep", l.Keep,
                    "A rule file whose classes and groups of unlearned characters are kept");
  learn
      ->add_option("--min-gain", l.MinGain,
                   "Learning words a rule must put right beyond the rules behind it")
      ->check(CLI::PositiveNumber);
  return learn;
}

Subcommands AddSubcommands(CLI::App& app, CliOptions& o) {
  Subcommands s{};
  s.Speak = app.add_subcommand("speak", "Speak text (the default command)");
  AddGlobalOptions(*s.Speak, o);
  AddSpeakOptions(*s.Speak, o);

  s.Modes = app.add_subcommand("modes", "List every mode with its number, name and kind");
  AddGlobalOptions(*s.Modes, o);
  s.Modes->add_flag("--json", o.Json, "One JSON record per mode");

  s.Phonemes = app.add_subcommand("phonemes", "Print the phoneme strings of a native mode");
  AddGlobalOptions(*s.Phonemes, o);
  AddModeOption(*s.Phonemes, o);
  AddTextOptions(*s.Phonemes, o);

  s.Trace = app.add_subcommand("trace", "Print the debug boxes after a native Speak");
  AddGlobalOptions(*s.Trace, o);
  AddModeOption(*s.Trace, o);
  s.Trace->add_flag("--json", o.Json, "One JSON record per debug box");
  AddTextOptions(*s.Trace, o);

  s.Check = app.add_subcommand("check", "Check a language folder; problems as file:line: text");
  s.Check->add_option("FOLDER", o.CheckFolder, "The \"Parlan <language>\" folder")->required();
  s.Learn = AddLearn(app, o);
  return s;
}

Command CommandOf(const Subcommands& s) {
  if (s.Modes->parsed()) return Command::Modes;
  if (s.Phonemes->parsed()) return Command::Phonemes;
  if (s.Trace->parsed()) return Command::Trace;
  if (s.Check->parsed()) return Command::Check;
  if (s.Learn->parsed()) return Command::Learn;
  return Command::Speak;
}

// Edits (insertions, deletions, substitutions and swaps of neighbours) between two words.
size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min(
          {d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

// CLI11 names the unexpected arguments in reverse order; name the first one as given.
std::string DescribeParseError(const CLI::ParseError& e, const CLI::App& app) {
  if (dynamic_cast<const CLI::ExtrasError*>(&e)) {
    const CLI::App* where = &app;
    for (const CLI::App* sub : app.get_subcommands())
      if (sub->get_name() == e.get_name()) where = sub;
    std::vector<std::string> extras = where->remaining();
    if (!extras.empty()) {
      const std::string& first = extras.front();
      return (first.size() > 1 && first[0] == '-' ? "unknown option " : "unexpected argument ") +
             first;
    }
  }
  return e.what();
}

}  // namespace

bool LooksLikeSubcommand(const std::string& word) {
  if (word.size() < 3 || word.size() > 10) return false;
  if (!std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
    return false;
  for (const char* name : kSubcommands) {
    std::string n(name);
    if (n != word && EditDistance(n, word) <= 1) return true;
  }
  return false;
}

bool LooksLikeMistypedCommand(const std::vector<std::string>& words) {
  if (words.empty() || !LooksLikeSubcommand(words.front())) return false;
  return words.size() == 1 || std::any_of(words.begin() + 1, words.end(), [](const auto& w) {
           return w.starts_with("-") || w.find('/') != std::string::npos;
         });
}

std::optional<int> ParseCommandLine(int argc, const char* const* argv, CliOptions& options,
                                    std::ostream& out, std::ostream& err) {
  CLI::App app{"Speaks text with the Parlan text-to-speech control.", "parlan"};
  app.set_version_flag("--version", std::string("parlan ") + identity::kVersion);
  app.require_subcommand(0, 1);
  AddGlobalOptions(app, options);
  AddSpeakOptions(app, options);
  Subcommands subs = AddSubcommands(app, options);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    const CLI::App* shown = &app;
    for (const CLI::App* sub : app.get_subcommands()) shown = sub;
    out << shown->help();
    return kExitOk;
  } catch (const CLI::CallForVersion& e) {
    out << e.what() << "\n";
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    err << "parlan: " << DescribeParseError(e, app) << "\n";
    return kExitUsage;
  }
  options.Cmd = CommandOf(subs);
  if (!subs.Speak->parsed() && options.Cmd == Command::Speak &&
      LooksLikeMistypedCommand(options.Text.Words)) {
    err << "parlan: unknown subcommand \"" << options.Text.Words.front()
        << "\" (to speak it, write: parlan speak " << options.Text.Words.front() << " ...)\n";
    return kExitUsage;
  }
  return std::nullopt;
}

}  // namespace parlan::cli
