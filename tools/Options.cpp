#include "Options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <ostream>

#include "CliErrors.h"
#include "LanguageCommands.h"
#include "parlan/Identity.h"

namespace parlan::cli {
namespace {

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
  app.add_option("-v,--mode,--voice", o.Speak.Mode,
                 "Mode by number, display name, name words, or language code (en, en-us); "
                 "+m or +f after a language chooses the male or female form");
}

void AddSpeakOptions(CLI::App& app, CliOptions& o) {
  AddModeOption(app, o);
  SpeakOptions& s = o.Speak;
  app.add_option("-s,--speed", s.Speed, "Speed in words per minute, 80 to 450 (175 normal)");
  app.add_option("-p,--pitch", s.Pitch, "Pitch 0 to 99 (50 normal)");
  app.add_option("-a,--volume,--amplitude", s.Volume,
                 "Volume 0 to 200 (100 normal, the loudest the control plays)");
  app.add_option("-g,--word-gap", s.WordGap, "Pause between words, in units of 10 ms");
  app.add_option("-k,--capitals", s.Capitals,
                 "Capital letters: 1 a sound, 2 the word \"capital\", 3 and up a higher pitch");
  // A flag, not an option: "--punct hello" must leave "hello" to the text.
  app.add_flag(std::string("--punct{") + kAllPunctuation + "}", s.Punctuation,
               "Say the names of punctuation characters; --punct=CHARS only of these");
  app.add_flag("-m,--markup", s.Ssml, "The text is SSML: its markup is followed, never read");
  app.add_option("-w,--wav", s.OutputFile, "Write the audio to FILE (.wav or .flac)");
  app.add_flag("--stdout", s.ToStdout, "Write the audio as WAV to standard output");
  app.add_flag("-q,--quiet", s.NoAudio, "Synthesise without playing");
  app.add_flag("-x", s.PrintPhonemes, "Print the phoneme strings handed to the engine");
  app.add_flag("--ipa", s.Ipa, "Print the phonemes spoken, in IPA, in every mode");
  app.add_flag("-X", s.PrintTrace, "Print the debug boxes after speaking");
  app.add_flag("--events", s.PrintEvents, "Print the events as they arrive, with each word");
  app.add_option("--timeout", s.TimeoutSeconds, "Seconds to wait for the speech to finish");
  AddTextOptions(app, o);
}

void AddSpeak(CLI::App& app, CliOptions& o) {
  AddGlobalOptions(app, o);
  AddSpeakOptions(app, o);
}

void AddModes(CLI::App& app, CliOptions& o) {
  AddGlobalOptions(app, o);
  app.add_flag("--json", o.Json, "One JSON record per mode, a record a line");
  app.add_option("--lang", o.Modes.Language,
                 "Only the modes of this language code (en lists en, en-us, en-gb-scotland ...)");
  app.add_option("--kind", o.Modes.Kind, "Only the modes of this kind")
      ->check(CLI::IsMember({"native", "sapi4", "sapi5"}));
}

void AddPhonemes(CLI::App& app, CliOptions& o) {
  AddGlobalOptions(app, o);
  AddModeOption(app, o);
  AddTextOptions(app, o);
}

void AddTrace(CLI::App& app, CliOptions& o) {
  AddGlobalOptions(app, o);
  AddModeOption(app, o);
  app.add_flag("--json", o.Json, "The debug boxes as one JSON document");
  app.add_flag("--json-lines", o.JsonLines, "One JSON record per debug box, a record a line");
  AddTextOptions(app, o);
}

void AddCheck(CLI::App& app, CliOptions& o) {
  app.add_option("FOLDER", o.CheckFolder, "The \"Parlan <language>\" folder")->required();
}

void AddLearn(CLI::App& app, CliOptions& o) {
  learn::LearnOptions& l = o.Learn;
  app.add_option("LEXICON", l.Lexicon, "The lexicon (\"-\" for standard input)")->required();
  app.add_option("-o,--output", l.Output, "The rule file to write")->required();
  app.add_option("--language", l.Language, "The name on the file's LANGUAGE= line");
  app.add_option("--dictionary", l.Dictionary,
                 "An exception file whose held-out words are reported apart");
  app.add_option("--shapes", l.Shapes,
                 "Letter windows left:right, narrow to wide (default 0:2,0:3,1:3,1:4,...)");
  app.add_option("--keep", l.Keep,
                 "A rule file whose classes and groups of unlearned characters are kept");
  app.add_option(
      "--class-bonus", l.ClassBonus,
      "Weight of a split by vowel or consonant class against one by letter (default 2, 0: "
      "letters only)");
  app.add_option("--mistakes", l.Mistakes,
                 "A file for the held-out words the rules get wrong (word, converted, reference)");
  app.add_option("--min-gain", l.MinGain,
                 "Learning words a rule must put right beyond the rules behind it")
      ->check(CLI::PositiveNumber);
}

void AddHelp(CLI::App& app, CliOptions& o) {
  app.add_option("COMMAND", o.HelpTopic, "The command to explain");
}

// The subcommands, in the order the help lists them. A new command is one more row.
struct SubcommandRow {
  const char* Name;
  const char* Summary;
  Command Cmd;
  void (*Add)(CLI::App&, CliOptions&);
  // Whether a slip of this name is caught: not for "test" and "new", which too many words of
  // text ("text", "now") are one edit away from.
  bool CatchSlips = true;
};

constexpr SubcommandRow kSubcommands[] = {
    {"speak", "Speak text (the default command)", Command::Speak, AddSpeak},
    {"modes", "List the modes with their number, kind, language and name", Command::Modes,
     AddModes},
    {"phonemes", "Print the phoneme strings of a native mode", Command::Phonemes, AddPhonemes},
    {"trace", "Print the debug boxes after a native Speak", Command::Trace, AddTrace},
    {"check", "Check a language folder; problems as file:line: text", Command::Check, AddCheck},
    {"test", "Run a language's pronunciation tests (its tests.tsv)", Command::Test, AddTest, false},
    {"convert", "Turn a language file from UTF-16 into UTF-8 with a byte-order mark, or back",
     Command::Convert, AddConvert},
    {"new", "Make a language folder \"Parlan LANGUAGE\" from another one", Command::New, AddNew,
     false},
    {"learn", "Learn letter rules from a lexicon of word<TAB>phonemes lines and measure them",
     Command::Learn, AddLearn},
    {"help", "Show the help of parlan or of one command", Command::Help, AddHelp},
};

std::vector<CLI::App*> AddSubcommands(CLI::App& app, CliOptions& o) {
  std::vector<CLI::App*> subs;
  for (const SubcommandRow& row : kSubcommands) {
    CLI::App* sub = app.add_subcommand(row.Name, row.Summary);
    row.Add(*sub, o);
    subs.push_back(sub);
  }
  return subs;
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

// The help of one command, its usage line naming the tool ("Usage: parlan speak [OPTIONS]").
std::string HelpOf(const CLI::App& app, const std::string& topic) {
  // App::help() would show the help of the subcommand that was given: that is `help` itself.
  if (topic.empty())
    return app.get_formatter()->make_help(&app, app.get_name(), CLI::AppFormatMode::Normal);
  for (const CLI::App* sub : app.get_subcommands({}))
    if (sub->get_name() == topic) return sub->help(app.get_name());
  std::string message = "unknown command '" + topic + "'";
  if (std::string near = NearestSubcommand(topic); !near.empty())
    message += "; did you mean '" + near + "'?";
  throw UsageError(message);
}

}  // namespace

std::string NearestSubcommand(const std::string& word) {
  if (word.size() < 3 || word.size() > 12) return "";
  if (!std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
    return "";
  std::string best;
  size_t bestDistance = 0;
  for (const SubcommandRow& row : kSubcommands) {
    const std::string name(row.Name);
    if (name == word) return "";
    if (!row.CatchSlips) continue;
    // Longer names allow two slips ("phonemse"), short ones one: "hello" is no "help".
    const size_t allowed = name.size() >= 7 ? 2 : 1;
    const size_t distance = EditDistance(name, word);
    if (distance <= allowed && (best.empty() || distance < bestDistance)) {
      best = name;
      bestDistance = distance;
    }
  }
  return best;
}

std::vector<std::string> SubcommandNames() {
  std::vector<std::string> names;
  for (const SubcommandRow& row : kSubcommands) names.emplace_back(row.Name);
  return names;
}

std::optional<int> ParseCommandLine(int argc, const char* const* argv, CliOptions& options,
                                    std::ostream& out, std::ostream& err) {
  CLI::App app{"Speaks text with the Parlan text-to-speech control.", "parlan"};
  app.set_version_flag("--version", std::string("parlan ") + identity::kVersion);
  app.require_subcommand(0, 1);
  AddGlobalOptions(app, options);
  AddSpeakOptions(app, options);
  // espeak-ng's way to list its voices, --voices or --voices=LANG, is `parlan modes --lang`.
  std::string voices;
  app.add_flag(std::string("--voices{") + kAllPunctuation + "}", voices,
               "List the modes (--voices=LANG: of one language), as parlan modes does");
  const std::vector<CLI::App*> subs = AddSubcommands(app, options);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    const CLI::App* shown = &app;
    for (const CLI::App* sub : app.get_subcommands()) shown = sub;
    out << HelpOf(app, shown == &app ? "" : shown->get_name());
    return kExitOk;
  } catch (const CLI::CallForVersion& e) {
    out << e.what() << "\n";
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    err << "parlan: " << DescribeParseError(e, app) << "\n";
    return kExitUsage;
  }
  options.Cmd = Command::Speak;
  for (size_t i = 0; i < subs.size(); ++i)
    if (subs[i]->parsed()) options.Cmd = kSubcommands[i].Cmd;
  if (!voices.empty() && options.Cmd == Command::Speak && options.Text.Words.empty()) {
    options.Cmd = Command::Modes;
    if (voices != kAllPunctuation) options.Modes.Language = voices;
  }
  try {
    if (options.Cmd == Command::Help) {
      out << HelpOf(app, options.HelpTopic);
      return kExitOk;
    }
    // Whatever follows it, a slip of a command's name is not text to speak: "parlan spek Hello"
    // would otherwise say "spek Hello" and succeed.
    if (options.Cmd == Command::Speak && !subs.front()->parsed() && !options.Text.Words.empty())
      if (std::string near = NearestSubcommand(options.Text.Words.front()); !near.empty())
        throw UsageError("unknown command '" + options.Text.Words.front() + "'; did you mean '" +
                         near + "'? (parlan speak TEXT speaks any text)");
  } catch (const UsageError& e) {
    err << "parlan: " << e.what() << "\n";
    return kExitUsage;
  }
  return std::nullopt;
}

}  // namespace parlan::cli
