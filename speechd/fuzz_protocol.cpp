// libFuzzer target: arbitrary module input through the request parser, the SSML reader and the
// wording of messages. None of them may crash, hang or grow without bound.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Protocol.h"
#include "Ssml.h"
#include "Wording.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace parlan::speechd;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  ProtocolParser parser;
  // Fed in two pieces, so that requests split across reads are exercised too.
  const size_t half = size / 2;
  for (std::string_view piece : {input.substr(0, half), input.substr(half)})
    for (const Request& r : parser.Feed(piece)) {
      for (const MessagePart& p : ParseSsml(r.Text))
        if (!p.IsMark) PrepareText(p.Text, Wording{Punctuation::All, false});
      KeyWords(r.Text, Wording{});
      CharacterWords(r.Text, Wording{Punctuation::None, true, CapitalLetters::Spell});
    }
  return 0;
}
