// The phoneme mnemonics eSpeak NG knows for English (en-us), for checking the phoneme strings of
// a language that eSpeak NG speaks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace parlan::cli {

// The known symbols: the en-us phonemes, the stress marks "'", "," and "%", and the pauses.
const std::vector<std::u16string>& EspeakEnglishSymbols();

// The parts of a phoneme text that are no known symbol. Blanks separate symbols; between
// blanks the text is cut greedily, the longest known symbol first. Each unknown part runs from
// a character that starts no known symbol to the next blank or known symbol.
std::vector<std::u16string> UnknownPhonemes(std::u16string_view phonemes);

}  // namespace parlan::cli
