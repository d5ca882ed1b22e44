// Scoring a rule file on held-out words: each word is converted by the library's own loader
// and matcher, exactly as a speaking voice would convert it.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <set>
#include <string>
#include <vector>

#include "learn/Lexicon.h"

namespace parlan::learn {

struct Scores {
  size_t Words = 0;
  size_t Right = 0;          // phonemes right, stress ignored
  size_t RightStressed = 0;  // phonemes and stress marks right
  size_t Errors = 0;         // edit distance, stress ignored
  size_t ErrorsStressed = 0;
  size_t Reference = 0;      // phonemes of the reference
  size_t Polysyllables = 0;  // reference words of two or more vowels
  size_t StressRight = 0;    // ... whose first stress mark stands on a vowel the word stresses
  size_t Missing = 0;        // words a letter of which found no rule

  double Accuracy() const { return Words ? 100.0 * Right / Words : 0; }
  double AccuracyStressed() const { return Words ? 100.0 * RightStressed / Words : 0; }
  double ErrorRate() const { return Reference ? 100.0 * Errors / Reference : 0; }
  double ErrorRateStressed() const { return Reference ? 100.0 * ErrorsStressed / Reference : 0; }
  double StressAccuracy() const { return Polysyllables ? 100.0 * StressRight / Polysyllables : 0; }
};

// The phoneme inventory of a lexicon, to read the results back into phonemes.
struct Inventory {
  std::set<std::string> Phonemes;  // without stress marks
  std::set<std::string> Vowels;    // those the lexicon stresses somewhere, and the schwa "@"
};

Inventory InventoryOf(const std::vector<Entry>& entries);

// A rule result string read back into phonemes ("'" kept on the phoneme it stands before);
// blanks and tabs are skipped, unknown characters become phonemes of their own.
std::vector<std::string> ReadPhonemes(const Inventory& inv, const std::string& text);

// Adds one word to the scores.
void ScoreWord(const Inventory& inv, const std::vector<std::string>& hypothesis, bool missing,
               const std::vector<std::string>& reference, Scores& s);

// Converts each entry's word with the rule file; throws std::runtime_error when the file does
// not load. With `mistakes`, every word not right with its stress is written there as
// word<TAB>converted<TAB>reference.
Scores Evaluate(const std::filesystem::path& ruleFile, const std::vector<Entry>& entries,
                const Inventory& inv, std::ostream* mistakes = nullptr);

// Edits (insertions, deletions, substitutions) between two phone sequences.
size_t EditDistance(const std::vector<std::string>& a, const std::vector<std::string>& b);

}  // namespace parlan::learn
