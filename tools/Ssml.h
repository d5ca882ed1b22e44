// SSML as `parlan -m` reads it: the text of a document cut into pieces, each spoken with its own
// rate, pitch and volume and followed by the pause of a break. The markup itself is never text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace parlan::cli {

struct SsmlPiece {
  std::u16string Text;  // blanks collapsed; empty for a pause alone
  double Rate = 1.0;    // times the speed of -s
  int32_t Pitch = 0;    // added to the pitch of -p (0..99 units)
  double Volume = 1.0;  // times the volume of -a
  int32_t PauseMs = 0;  // the pause after the text: a break, or the end of a sentence
  bool operator==(const SsmlPiece&) const = default;
};

// Reads <speak>, <break time|strength>, <prosody rate|pitch|volume>, <say-as interpret-as=
// "characters"|"spell-out"|"cardinal"|"number">, <sub alias>, <emphasis level>, <p> and <s>;
// any other element is skipped and its content read. Throws UsageError for a document that is
// not well-formed, naming its line.
std::vector<SsmlPiece> ParseSsml(std::string_view document);

// A relative value of SSML ("x-slow".."x-fast", "150%", "+20%", "-10%", "1.5") as a factor;
// `named` gives the factors of the five words, in order from the lowest. False when unknown.
bool SsmlFactor(std::string_view value, const double (&named)[5], double& factor);

}  // namespace parlan::cli
