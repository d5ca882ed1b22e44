#include "Output.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>

#include <unistd.h>

#include "CliErrors.h"
#include "Signals.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

std::string DescribePosition(const Variant& v) {
  int64_t n = 0;
  if (v.ToInt64(n)) return std::to_string(n);
  if (v.type() == Variant::Type::String) return ToUtf8(v.AsString());
  return "";
}

// The word a word event points at: from a direct engine, by its byte offset in UTF-16 up to the
// next blank; from a voice, by its 1-based character position and length.
std::u16string WordAt(const std::u16string& text, int32_t byteoffset, int32_t character,
                      int32_t length) {
  if (character > 0 && length > 0) {
    const auto at = static_cast<size_t>(character - 1);
    return at < text.size() ? text.substr(at, static_cast<size_t>(length)) : std::u16string();
  }
  const auto at = static_cast<size_t>(std::max(byteoffset, 0) / 2);
  if (at >= text.size()) return {};
  size_t end = text.find_first_of(u" \t", at);
  if (end == std::u16string::npos) end = text.size();
  // The end mark of a native phrase is no part of its last word: the engine drops it.
  if (end == text.size() && end > at + 1 && text.back() == u'#') --end;
  return text.substr(at, end - at);
}

}  // namespace

class StandardOutput::Buffer : public std::streambuf {
 public:
  Buffer() { setp(data_, data_ + sizeof data_); }
  int Error() const { return error_; }

 protected:
  int overflow(int c) override {
    if (Drain() != 0) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return Drain(); }

 private:
  int Drain() {
    const char* at = pbase();
    while (at < pptr()) {
      const ssize_t n = ::write(STDOUT_FILENO, at, static_cast<size_t>(pptr() - at));
      if (n < 0 && errno == EINTR) continue;  // a signal the tool catches
      if (n < 0) {
        if (error_ == 0) error_ = errno;
        break;
      }
      at += n;
    }
    setp(data_, data_ + sizeof data_);
    return error_ == 0 ? 0 : -1;
  }

  char data_[8192];
  int error_ = 0;
};

StandardOutput::StandardOutput()
    : buffer_(std::make_unique<Buffer>()), previous_(std::cout.rdbuf(buffer_.get())) {}

StandardOutput::~StandardOutput() {
  std::cout.flush();
  std::cout.rdbuf(previous_);
}

int StandardOutput::Finish(int status, std::ostream& err) {
  std::cout.flush();
  const int error = buffer_->Error();
  if (error == 0 && std::cout) return status;
  if (error == EPIPE) DieBySignal(SIGPIPE);
  err << "parlan: cannot write to standard output: "
      << (error != 0 ? std::strerror(error) : "write error") << std::endl;
  return status == kExitOk ? kExitFailure : status;
}

std::string ToTerminalText(std::u16string_view text) {
  std::string utf8 = ToUtf8(text);
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i)
    if (!(utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')) out.push_back(utf8[i]);
  return out;
}

void PrintModes(const std::vector<ModeEntry>& modes, bool json, std::ostream& out) {
  size_t languageWidth = 8;
  for (const ModeEntry& m : modes) languageWidth = std::max(languageWidth, m.Language.size());
  for (const ModeEntry& m : modes) {
    if (json) {
      nlohmann::json record = {{"number", m.Number},
                               {"name", ToUtf8(m.Name)},
                               {"kind", m.Kind},
                               {"language", m.Language},
                               {"gender", m.Female ? "female" : "male"}};
      out << record.dump() << "\n";
    } else {
      char number[16];
      std::snprintf(number, sizeof number, "%3d", m.Number);
      std::string kind = m.Kind;
      kind.resize(std::max<size_t>(kind.size(), 6), ' ');
      std::string language = m.Language.empty() ? "-" : m.Language;
      language.resize(languageWidth, ' ');
      out << number << "  " << kind << "  " << language << "  " << ToUtf8(m.Name) << "\n";
    }
  }
}

void PrintDebugBoxes(const std::vector<DebugBox>& boxes, DebugFormat format, std::ostream& out) {
  if (format == DebugFormat::JsonDocument) {
    nlohmann::json document = nlohmann::json::array();
    for (const DebugBox& box : boxes)
      document.push_back({{"window", box.Window},
                          {"control", box.Control},
                          {"frame", ToUtf8(box.FrameCaption)},
                          {"text", ToUtf8(box.Text)}});
    out << nlohmann::json{{"boxes", document}}.dump(2) << "\n";
    return;
  }
  for (const DebugBox& box : boxes) {
    if (format == DebugFormat::JsonLines) {
      nlohmann::json record = {{"window", box.Window},
                               {"control", box.Control},
                               {"frame", ToUtf8(box.FrameCaption)},
                               {"text", ToUtf8(box.Text)}};
      out << record.dump() << "\n";
    } else {
      out << box.Window << "." << box.Control << " (" << ToUtf8(box.FrameCaption) << ")\n"
          << ToTerminalText(box.Text) << "\n";
    }
  }
}

void PrintDebugText(const std::u16string& text, std::ostream& out) {
  std::string shown = ToTerminalText(text);
  out << shown;
  if (!shown.empty() && shown.back() != '\n') out << "\n";
}

void PrintPhonemeStrings(const std::vector<std::u16string>& strings, std::ostream& out) {
  for (const std::u16string& s : strings) out << ToUtf8(s) << "\n";
}

void EventPrinter::AudioStart(int32_t& hi, int32_t& lo) {
  current_.clear();
  if (!pending_.empty()) {
    current_ = std::move(pending_.front());
    pending_.pop_front();
  }
  if (out_) *out_ << "AudioStart hi=" << hi << " lo=" << lo << std::endl;
}

void EventPrinter::AudioStop(int32_t& hi, int32_t& lo) {
  ++finished_;
  if (out_) *out_ << "AudioStop hi=" << hi << " lo=" << lo << std::endl;
}

void EventPrinter::WordPosition(int32_t& hi, int32_t& low, int32_t& byteoffset,
                                int32_t StreamNumber, Variant StreamPosition,
                                int32_t CharacterPosition, int32_t Length) {
  ++words_;
  if (out_)
    *out_ << "WordPosition hi=" << hi << " lo=" << low << " byteoffset=" << byteoffset
          << " stream=" << StreamNumber << " position=" << DescribePosition(StreamPosition)
          << " character=" << CharacterPosition << " length=" << Length << " word="
          << nlohmann::json(ToUtf8(WordAt(current_, byteoffset, CharacterPosition, Length))).dump()
          << std::endl;
}

}  // namespace parlan::cli
