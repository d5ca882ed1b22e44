// The requests speech-dispatcher sends an output module on its standard input: one command a
// line (LF ends a line), some followed by a block of lines closed by a line holding a single
// dot. The parser takes the input in arbitrary pieces and never fails: anything it does not
// understand becomes an Unknown request, overlong input is cut off and reported.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace parlan::speechd {

struct Request {
  enum class Kind {
    Init,
    Speak,
    Char,
    Key,
    SoundIcon,
    Stop,
    Pause,
    ListVoices,
    Set,
    Audio,
    LogLevel,
    Debug,
    Quit,
    Unknown,
    Receiving,  // a block command was read; its lines follow (`Block` says which)
  };
  Kind What = Kind::Unknown;
  Kind Block = Kind::Unknown;
  std::string Text = {};  // the message of SPEAK, CHAR, KEY, SOUND_ICON; the line of DEBUG
  int Lines = 0;          // lines in Text
  std::vector<std::pair<std::string, std::string>> Params = {};  // SET, AUDIO, LOGLEVEL
  bool BadLine = false;                                          // a parameter line without "="
  bool TooLong = false;  // the block was larger than the parser keeps
};

class ProtocolParser {
 public:
  // Longest line and largest block kept; the rest of either is dropped.
  static constexpr size_t kMaxLine = size_t(1) << 20;
  static constexpr size_t kMaxBlock = size_t(8) << 20;

  // Takes the next bytes of input and returns the requests they complete, in order.
  std::vector<Request> Feed(std::string_view bytes);

 private:
  void Line(std::string_view line, std::vector<Request>& out);
  void BlockLine(std::string_view line, std::vector<Request>& out);

  std::string partial_;
  bool dropping_ = false;  // the current line grew past kMaxLine
  bool inBlock_ = false;
  Request block_;
  size_t blockBytes_ = 0;
};

}  // namespace parlan::speechd
