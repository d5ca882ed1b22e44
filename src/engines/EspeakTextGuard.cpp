#include "engines/EspeakTextGuard.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "engines/EspeakSpeech.h"
#include "strings/Unicode.h"

namespace parlan::engines {

namespace {

// Dotted abbreviations in a row that eSpeak NG is left to join, and dots between letters it is
// left to read within one word; both far above what real text holds ("U.S.A.", "e.g. i.e.").
constexpr int kDottedWordsInARow = 4;
constexpr int kDotsInAWord = 6;

bool IsBlank(char32_t c) {
  return u_isUWhiteSpace(static_cast<UChar32>(c));
}

bool IsLetter(char32_t c) {
  return u_isalpha(static_cast<UChar32>(c));
}

bool HasLetterOrDigit(std::u32string_view run) {
  for (char32_t c : run)
    if (u_isalnum(static_cast<UChar32>(c))) return true;
  return false;
}

// True for a "." between two letters of `run`.
bool DotBetweenLetters(std::u32string_view run, size_t k) {
  return run[k] == U'.' && k > 0 && k + 1 < run.size() && IsLetter(run[k - 1]) &&
         IsLetter(run[k + 1]);
}

int DotsBetweenLetters(std::u32string_view run) {
  int dots = 0;
  for (size_t k = 0; k < run.size(); ++k) dots += DotBetweenLetters(run, k);
  return dots;
}

class TextGuard {
 public:
  TextGuard(std::u32string_view chars, const std::vector<int32_t>& wordAt)
      : chars_(chars), wordAt_(wordAt) {}

  GuardedText Write() {
    for (size_t k = 0; k < chars_.size();) {
      if (IsBlank(chars_[k])) {
        Put(chars_[k], wordAt_[k]);
        ++k;
        continue;
      }
      size_t end = k;
      while (end < chars_.size() && !IsBlank(chars_[end])) ++end;
      WriteRun(k, end);
      k = end;
    }
    return std::move(out_);
  }

 private:
  void WriteRun(size_t begin, size_t end) {
    const std::u32string_view run = chars_.substr(begin, end - begin);
    const int dots = DotsBetweenLetters(run);
    if (dots > 0)
      ++dottedInARow_;
    else if (HasLetterOrDigit(run))
      dottedInARow_ = 0;
    const bool spell = dots > kDotsInAWord || (dots > 0 && dottedInARow_ > kDottedWordsInARow);
    size_t runBytes = 0;
    for (size_t k = 0; k < run.size(); ++k) {
      const char32_t c = spell && DotBetweenLetters(run, k) ? U' ' : run[k];
      const auto bytes = static_cast<size_t>(U8_LENGTH(c));
      if (runBytes + bytes > kLongestTextRun) {
        Put(U' ', kNoWord);
        runBytes = 0;
      }
      runBytes = c == U' ' ? 0 : runBytes + bytes;
      Put(c, wordAt_[begin + k]);
    }
  }

  void Put(char32_t c, int32_t word) {
    AppendUtf8(out_.Utf8, c);
    out_.WordAt.push_back(word);
  }

  std::u32string_view chars_;
  const std::vector<int32_t>& wordAt_;
  GuardedText out_;
  int dottedInARow_ = 0;
};

}  // namespace

GuardedText GuardEspeakText(std::u32string_view chars, const std::vector<int32_t>& wordAt) {
  return TextGuard(chars, wordAt).Write();
}

}  // namespace parlan::engines
