// The SSML speech-dispatcher sends, reduced to what the module acts on: the text to speak and
// the index marks between its pieces. Tags are never spoken; the five XML entities and numeric
// character references are decoded; unknown entities are kept as written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace parlan::speechd {

struct MessagePart {
  bool IsMark = false;
  std::string Text = {};  // the text of a piece (UTF-8), or the mark's name
};

// Text pieces and marks in document order; a text piece is never empty.
std::vector<MessagePart> ParseSsml(std::string_view ssml);

// Decodes the entities of `text`.
std::string DecodeEntities(std::string_view text);

}  // namespace parlan::speechd
