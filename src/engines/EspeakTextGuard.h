// Keeps text away from the inputs that overflow buffers inside eSpeak NG 1.51 (the version
// Debian ships): a crash there would take the host down with it. The changes touch only text no
// one writes on purpose, and each keeps the code points of the caller's words where they were.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace parlan::engines {

// Text as eSpeak NG reads it, with the word of each code point written (see SpeechSegment).
struct GuardedText {
  std::string Utf8;
  std::vector<int32_t> WordAt;
};

// Writes `chars` (code points, no surrogates; one entry of `wordAt` each) as eSpeak NG text:
// - eSpeak NG joins dotted abbreviations ("e.g.", "x.y.") that follow one another into one
//   buffer of 80 bytes: from the fifth in a row, and in any word with more than six dots
//   between letters, the dots between letters are written as blanks, so the letters are read
//   one by one as eSpeak NG would read them anyway;
// - a word that stacks suffixes ("'s's's…") overflows its phoneme buffer: a run of more than
//   kLongestTextRun bytes without a blank gets a blank, which belongs to no word.
GuardedText GuardEspeakText(std::u32string_view chars, const std::vector<int32_t>& wordAt);

inline constexpr size_t kLongestTextRun = 64;

}  // namespace parlan::engines
