// A pronunciation lexicon to learn letter rules from, and its fixed split into a learning part
// and a held-out part.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace parlan::learn {

// One word and its phonemes, one mnemonic each; a stressed vowel carries a leading "'".
struct Entry {
  std::string Word;
  std::vector<std::string> Phonemes;
};

struct Lexicon {
  std::vector<Entry> Learning;
  std::vector<Entry> HeldOut;
  size_t Skipped = 0;  // lines that are not a word of a-z and "'" with phonemes
};

// FNV-1a, 32 bits, of the word's bytes.
uint32_t WordHash(std::string_view word);

// The split: a word is held out when its hash is a multiple of 10 (about a tenth of the words).
// It depends on the word alone, so every tool that measures on the held-out part sees the
// same words whatever lexicon they came from.
bool IsHeldOut(std::string_view word);

// Reads `word<TAB>phonemes` lines (phonemes separated by blanks); lines starting with "#" are
// comments. A word that comes again keeps its first pronunciation. Words are lowercased.
Lexicon ReadLexicon(std::istream& in);

// The phonemes without their stress marks.
std::vector<std::string> Unstressed(const std::vector<std::string>& phonemes);

// A word the lexicon readers keep: lower-case letters and apostrophes, one letter at least.
bool IsLexiconWord(std::string_view w);

}  // namespace parlan::learn
