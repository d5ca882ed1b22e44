// Many-to-many alignment of letters and phonemes: every word is cut into chunks of one or two
// letters, each of which says none, one or two phonemes. The chunk probabilities are learned
// from the lexicon by expectation maximisation over the best alignments (hard EM), so that
// digraphs (th, ch, ee), silent letters (the e of make) and letters with two phonemes (the x of
// box) come out of the data rather than from a hand-made table.
#pragma once

#include <string>
#include <vector>

#include "learn/Lexicon.h"

namespace parlan::learn {

struct Chunk {
  std::string Letters;
  std::vector<std::string> Phonemes;  // with their stress marks, as in the lexicon
};

struct AlignedWord {
  std::string Word;
  std::vector<Chunk> Chunks;
};

struct AlignOptions {
  int Iterations = 4;
};

// The aligned words; a word that no alignment fits (more than two phonemes per letter) is left
// out.
std::vector<AlignedWord> Align(const std::vector<Entry>& entries, const AlignOptions& options);

}  // namespace parlan::learn
