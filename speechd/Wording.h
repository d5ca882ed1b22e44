// What speech-dispatcher's punctuation, spelling and capital-letter settings, and its CHAR, KEY
// and SOUND_ICON messages, turn into: plain words handed to the control. Names of letters and
// symbols are English; in other languages a character is given to the voice as it is.
#pragma once

#include <string>
#include <string_view>

namespace parlan::speechd {

enum class Punctuation { None, Some, Most, All };
enum class CapitalLetters { None, Spell, Icon };

struct Wording {
  Punctuation Punct = Punctuation::None;
  bool Spelling = false;
  CapitalLetters Capitals = CapitalLetters::None;
  bool English = true;  // the voice speaks English: letters and symbols get English names
};

// The text of a SPEAK message (UTF-8, markup already removed) as the voice should read it.
std::string PrepareText(std::string_view text, const Wording& wording);
// One character (CHAR; "space" is the blank).
std::string CharacterWords(std::string_view character, const Wording& wording);
// A key name of the KEY command ("a", "shift_a", "control_alt_delete", "kp-enter").
std::string KeyWords(std::string_view key, const Wording& wording);
// A sound icon's name, read as words.
std::string IconWords(std::string_view icon);

}  // namespace parlan::speechd
