// Rule induction: a context back-off decision list for every letter, written for a matcher that
// tries the rules of the next letter's group in file order and takes the first that fits.
//
// Every chunk start of the aligned learning words is one case: its letters, its focus (the
// chunk's letters) and its result (the chunk's phonemes, stress marks included, so that stress
// and vowel reduction are learned like any other sound). The cases are looked at through ever
// wider windows of letters around the focus, by a fixed sequence of shapes (letters to the
// left, letters from the focus on to the right). In each window the likeliest answer becomes a
// rule only where it differs from what the narrower windows already answer and puts at least
// MinGain more learning cases right. Specific windows are written before general ones, so the
// first rule that fits is the one of the widest window the word matches: the back-off order.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "learn/Align.h"

namespace parlan::learn {

struct LearnedRule {
  std::string Left;  // letters before the focus in reading order, "_" for the word start
  std::string Focus;
  std::string Right;  // letters after the focus, "_" for the word end
  std::string Result;
  int Level = -1;    // the window shape, -1 for a group's catch-all rules
  size_t Cases = 0;  // learning cases in the window
  size_t Gain = 0;   // cases it puts right that the narrower windows got wrong
};

// Letter classes a window may use instead of a letter, so that one rule covers every vowel
// letter or every consonant letter at a place. In a rule's Left and Right they stand as these
// marks (words are lower case).
constexpr char kVowelMark = 'V';
constexpr char kConsonantMark = 'C';

struct LetterClasses {
  std::string Vowels;      // letters often said with a vowel
  std::string Consonants;  // the other letters a-z the lexicon shows
};

// The classes of the lexicon's letters: a vowel letter says a vowel (a phoneme the lexicon
// stresses somewhere, or "@") in a third of its chunks or more.
LetterClasses ClassesOf(const std::vector<AlignedWord>& words);

struct LetterGroupRules {
  char Letter = 0;
  size_t Cases = 0;
  std::vector<LearnedRule> Rules;  // in file order
};

struct InduceOptions {
  size_t MinGain = 2;
  // Grow each window to the side that helps most (up to MaxLeft and MaxRight letters) rather
  // than through the fixed Shapes.
  bool Adaptive = true;
  int MaxLeft = 6;
  int MaxRight = 8;
  // With classes, a window place may first be split by class (vowel, consonant, word end)
  // and later by letter; a class split is taken when its gain times ClassBonus beats the
  // gain of every letter split. 0 splits by letter only.
  LetterClasses Classes;
  double ClassBonus = 0;
  // (letters left, letters from the focus on) of each window, narrow to wide; each shape holds
  // the one before it.
  std::vector<std::pair<int, int>> Shapes = {{0, 2}, {0, 3}, {1, 3}, {1, 4}, {2, 4}, {2, 5},
                                             {3, 5}, {3, 6}, {4, 6}, {4, 7}, {5, 7}, {5, 8}};
};

// The groups in letter order.
std::vector<LetterGroupRules> Induce(const std::vector<AlignedWord>& words,
                                     const InduceOptions& options);

size_t RuleCount(const std::vector<LetterGroupRules>& groups);

}  // namespace parlan::learn
