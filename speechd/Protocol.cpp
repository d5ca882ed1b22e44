#include "Protocol.h"

namespace parlan::speechd {

namespace {

using Kind = Request::Kind;

struct Command {
  std::string_view Word;
  Kind What;
  bool HasBlock;
};

constexpr Command kCommands[] = {
    {"INIT", Kind::Init, false},
    {"SPEAK", Kind::Speak, true},
    {"CHAR", Kind::Char, true},
    {"KEY", Kind::Key, true},
    {"SOUND_ICON", Kind::SoundIcon, true},
    {"STOP", Kind::Stop, false},
    {"PAUSE", Kind::Pause, false},
    {"LIST VOICES", Kind::ListVoices, false},
    {"SET", Kind::Set, true},
    {"AUDIO", Kind::Audio, true},
    {"LOGLEVEL", Kind::LogLevel, true},
    {"QUIT", Kind::Quit, false},
};

bool IsTextBlock(Kind kind) {
  return kind == Kind::Speak || kind == Kind::Char || kind == Kind::Key || kind == Kind::SoundIcon;
}

}  // namespace

std::vector<Request> ProtocolParser::Feed(std::string_view bytes) {
  std::vector<Request> out;
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, end);
    if (!dropping_) {
      const size_t room = kMaxLine - partial_.size();
      if (piece.size() > room) {
        partial_.append(piece.substr(0, room));
        dropping_ = true;
        if (inBlock_) block_.TooLong = true;
      } else {
        partial_.append(piece);
      }
    }
    if (end == std::string_view::npos) break;
    std::string line;
    line.swap(partial_);
    dropping_ = false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    Line(line, out);
    bytes.remove_prefix(end + 1);
  }
  return out;
}

void ProtocolParser::Line(std::string_view line, std::vector<Request>& out) {
  if (inBlock_) {
    BlockLine(line, out);
    return;
  }
  for (const Command& c : kCommands) {
    if (line != c.Word) continue;
    if (!c.HasBlock) {
      out.push_back(Request{c.What});
      return;
    }
    inBlock_ = true;
    blockBytes_ = 0;
    block_ = Request{c.What};
    Request receiving{Kind::Receiving};
    receiving.Block = c.What;
    out.push_back(std::move(receiving));
    return;
  }
  Request r;
  if (line.substr(0, 5) == "DEBUG") {
    r.What = Kind::Debug;
    r.Text = std::string(line);
  }
  out.push_back(std::move(r));
}

void ProtocolParser::BlockLine(std::string_view line, std::vector<Request>& out) {
  if (line == ".") {
    inBlock_ = false;
    out.push_back(std::move(block_));
    block_ = Request{};
    return;
  }
  if (!line.empty() && line.front() == '.') line.remove_prefix(1);  // a doubled leading dot
  blockBytes_ += line.size() + 1;
  if (blockBytes_ > kMaxBlock) {
    block_.TooLong = true;
    return;
  }
  if (IsTextBlock(block_.What)) {
    if (block_.Lines > 0) block_.Text += '\n';
    block_.Text.append(line);
    block_.Lines++;
    return;
  }
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos || eq == 0) {
    block_.BadLine = true;
    return;
  }
  block_.Params.emplace_back(std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)));
}

}  // namespace parlan::speechd
