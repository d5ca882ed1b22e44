// The part of a Speak text that is still to be spoken. Words are taken off the front and a
// leftover is put back in front without copying the rest, so that working through a long text
// word by word costs time in proportion to the text.
#pragma once

#include <string>
#include <string_view>

namespace parlan {

class RemainingText {
 public:
  RemainingText() = default;
  explicit RemainingText(std::u16string text) : buffer_(std::move(text)) {}

  std::u16string_view View() const { return std::u16string_view(buffer_).substr(start_); }
  std::u16string Str() const { return std::u16string(View()); }
  bool Empty() const { return start_ >= buffer_.size(); }
  size_t Size() const { return buffer_.size() - start_; }
  // The last character still to be spoken; 0 when nothing is left.
  char16_t Back() const { return Empty() ? u'\0' : buffer_.back(); }

  // The text before the first space; the text keeps what follows that space. Without a space
  // the whole text is taken and the text becomes empty.
  std::u16string TakeFirstWord();
  // The same, but a first word longer than maxLength (at least 1) gives only its first
  // maxLength characters; the rest of it stays in front. Costs time in proportion to what is
  // taken, however long the word.
  std::u16string TakeFirstWord(size_t maxLength);

  // Puts text back in front.
  void Prepend(std::u16string_view text);

  void Append(std::u16string_view text) { buffer_.append(text); }
  void RightTrimSpaces();
  void Clear() {
    buffer_.clear();
    start_ = 0;
  }

 private:
  std::u16string buffer_;
  size_t start_ = 0;
};

}  // namespace parlan
