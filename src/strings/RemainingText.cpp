#include "strings/RemainingText.h"

namespace parlan {

std::u16string RemainingText::TakeFirstWord() {
  size_t space = buffer_.find(u' ', start_);
  std::u16string word;
  if (space == std::u16string::npos) {
    word.assign(buffer_, start_, std::u16string::npos);
    Clear();
  } else {
    word.assign(buffer_, start_, space - start_);
    start_ = space + 1;
  }
  return word;
}

std::u16string RemainingText::TakeFirstWord(size_t maxLength) {
  if (maxLength == 0) maxLength = 1;
  std::u16string_view rest = View();
  if (rest.size() <= maxLength || rest.substr(0, maxLength + 1).find(u' ') != rest.npos)
    return TakeFirstWord();
  std::u16string word(rest.substr(0, maxLength));
  start_ += maxLength;
  return word;
}

void RemainingText::Prepend(std::u16string_view text) {
  if (text.size() <= start_) {
    // The consumed front has room: write the text just before the rest.
    start_ -= text.size();
    buffer_.replace(start_, text.size(), text);
    return;
  }
  std::u16string rebuilt;
  rebuilt.reserve(text.size() + Size());
  rebuilt.append(text);
  rebuilt.append(View());
  buffer_ = std::move(rebuilt);
  start_ = 0;
}

void RemainingText::RightTrimSpaces() {
  while (!Empty() && buffer_.back() == u' ') buffer_.pop_back();
  if (Empty()) Clear();
}

}  // namespace parlan
