// What the commands print: the mode list, the debug boxes, the phoneme strings and the events,
// as text, as one JSON document or as JSON records (one JSON object a line).
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "ControlHost.h"
#include "parlan/Events.h"
#include "parlan/Parlana.h"

namespace parlan::cli {

// Standard output (std::cout) through a buffer that keeps the reason of its first failed write,
// for its lifetime.
class StandardOutput {
 public:
  StandardOutput();
  ~StandardOutput();
  StandardOutput(const StandardOutput&) = delete;
  StandardOutput& operator=(const StandardOutput&) = delete;

  // Flushes standard output before the tool exits and turns a failed write (a full disk) into
  // "cannot write to standard output: REASON" on `err` and a failure status; a reader that went
  // away (EPIPE) ends the process quietly by SIGPIPE, as a filter does. Returns the exit status.
  int Finish(int status, std::ostream& err);

  class Buffer;

 private:
  std::unique_ptr<Buffer> buffer_;
  std::streambuf* previous_;
};

// UTF-8 with the CR LF line ends of the control's boxes turned into LF.
std::string ToTerminalText(std::u16string_view text);

void PrintModes(const std::vector<ModeEntry>& modes, bool json, std::ostream& out);
enum class DebugFormat { Text, JsonDocument, JsonLines };
// As JsonDocument, one object {"boxes": [...]}; as JsonLines, one object a box a line.
void PrintDebugBoxes(const std::vector<DebugBox>& boxes, DebugFormat format, std::ostream& out);
void PrintDebugText(const std::u16string& text, std::ostream& out);
void PrintPhonemeStrings(const std::vector<std::u16string>& strings, std::ostream& out);

// Receives the control's events: counts them for the progress line and, when asked, prints
// each one as it arrives, a word event with the word it points at.
class EventPrinter : public ParlanaEvents {
 public:
  explicit EventPrinter(std::ostream* out) : out_(out) {}
  // The text of the next utterance of the engines, whose AudioStart is still to come.
  void Expect(const std::u16string& utterance) { pending_.push_back(utterance); }
  void AudioStart(int32_t& hi, int32_t& lo) override;
  void AudioStop(int32_t& hi, int32_t& lo) override;
  void WordPosition(int32_t& hi, int32_t& low, int32_t& byteoffset, int32_t StreamNumber,
                    Variant StreamPosition, int32_t CharacterPosition, int32_t Length) override;

  int64_t Words() const { return words_; }
  int64_t Finished() const { return finished_; }

 private:
  std::ostream* out_;
  std::deque<std::u16string> pending_;
  std::u16string current_;  // the text of the utterance that is being spoken
  int64_t words_ = 0;
  int64_t finished_ = 0;
};

}  // namespace parlan::cli
