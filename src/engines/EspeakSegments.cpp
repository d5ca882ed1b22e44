// Building the segments eSpeak NG synthesises from text and from phoneme strings.
#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>

#include "engines/EspeakMarkup.h"
#include "engines/EspeakTextGuard.h"
#include "strings/Unicode.h"

namespace parlan::engines {

namespace {

// One code point of a SourceText and the code units it spans.
struct CodePoint {
  char32_t Char = 0;
  size_t Unit = 0;
  size_t Units = 1;
};

std::vector<CodePoint> CodePoints(std::u16string_view text) {
  std::vector<CodePoint> out;
  for (size_t i = 0; i < text.size();) {
    CodePoint cp{text[i], i, 1};
    if (U16_IS_LEAD(text[i]) && i + 1 < text.size() && U16_IS_TRAIL(text[i + 1])) {
      cp.Char = U16_GET_SUPPLEMENTARY(text[i], text[i + 1]);
      cp.Units = 2;
    } else if (U16_IS_SURROGATE(text[i])) {
      cp.Char = 0xFFFD;
    }
    if (cp.Char == 0) cp.Char = U' ';  // a NUL would end eSpeak NG's input
    out.push_back(cp);
    i += cp.Units;
  }
  return out;
}

bool IsSpace(char32_t c) {
  return u_isUWhiteSpace(static_cast<UChar32>(c));
}

bool IsWordChar(char32_t c) {
  return u_isalnum(static_cast<UChar32>(c));
}

// The caller's span of code points [first, last] of `source`.
WordSpan SpanOf(const SourceText& source, const CodePoint& first, const CodePoint& last) {
  const int32_t start = source.Positions[first.Unit];
  const int32_t end = source.Positions[last.Unit + last.Units - 1] + 1;
  return WordSpan{start, std::max(1, end - start)};
}

// ----- Phoneme strings -----

// One blank-separated piece of eSpeak NG phoneme input: a word of the caller's, a pause, or the
// end of a question or an exclamation.
struct PhonemeToken {
  std::vector<CodePoint> Chars;  // of a word
  int Pause = 0;                 // 0 a word, 1 a short pause, 2 a longer one
  char Mark = 0;                 // '?' or '!': the clause ends here with that punctuation
};

bool IsClauseMark(char32_t c) {
  return c == U'?' || c == U'!';
}

// Each "_:" is about 55 ms at the normal rate (eSpeak NG scales it with the rate), so the marks
// pause about as long as eSpeak NG pauses at the same punctuation in text: 160 ms at a comma,
// 270 ms at a stop.
const char* PauseText(int pause) {
  return pause == 1 ? "_:_:_:" : "_:_:_:_:_:";
}

class PhonemeTokenizer {
 public:
  PhonemeTokenizer(const SourceText& source, PhonemeForm form)
      : cps_(CodePoints(source.Text)), form_(form) {}

  std::vector<PhonemeToken> Tokens() {
    size_t end = cps_.size();
    if (form_ == PhonemeForm::Directss) {
      // The end mark "#" would be read as part of the last symbol.
      while (end > 0 && (cps_[end - 1].Char == U'#' || IsSpace(cps_[end - 1].Char))) --end;
    }
    for (size_t i = 0; i < end; ++i) {
      const char32_t c = cps_[i].Char;
      if (IsSpace(c)) {
        Flush();
      } else if (c == U'*') {
        Flush();
        if (i + 1 < end) MarkOrPause(cps_[++i].Char);
      } else if (c == U'?' && form_ == PhonemeForm::Pron && !word_.empty() &&
                 (i + 1 == end || IsSpace(cps_[i + 1].Char))) {
        // A question's mark glued to its last word, as the voice's phoneme strings come
        // without blanks; "?" inside a word stays eSpeak NG's glottal stop.
        Flush();
        Mark('?');
      } else if ((c == U'.' || c == U'!') &&
                 !(c == U'!' && !word_.empty() && word_.back().Char == U'_')) {
        Flush();  // not an eSpeak NG symbol: glued to a word it would cut the rest of it
        // The last "!" of a pron's symbols ends every phrase; one before it is the phrase's own.
        if (c == U'!' && form_ == PhonemeForm::Pron && !OnlySpacesAfter(i, end))
          Mark('!');
        else
          Pause(2);
      } else {
        word_.push_back(cps_[i]);
      }
    }
    Flush();
    return std::move(tokens_);
  }

 private:
  void Pause(int length) { tokens_.push_back(PhonemeToken{{}, length, 0}); }
  void Mark(char mark) { tokens_.push_back(PhonemeToken{{}, 0, mark}); }
  void MarkOrPause(char32_t c) {
    if (IsClauseMark(c))
      Mark(static_cast<char>(c));
    else
      Pause(c == U',' ? 1 : 2);
  }
  bool OnlySpacesAfter(size_t i, size_t end) const {
    for (size_t k = i + 1; k < end; ++k)
      if (!IsSpace(cps_[k].Char)) return false;
    return true;
  }

  void Flush() {
    if (word_.empty()) return;
    const char32_t only = word_.size() == 1 ? word_[0].Char : 0;
    if (only == U'?')
      Mark('?');
    else if (only == U',' || only == U';' || only == U':')
      Pause(only == U',' ? 1 : 2);
    else
      tokens_.push_back(PhonemeToken{std::move(word_), 0, 0});
    word_.clear();
  }

  std::vector<CodePoint> cps_;
  PhonemeForm form_;
  std::vector<CodePoint> word_;
  std::vector<PhonemeToken> tokens_;
};

// eSpeak NG keeps a word's phonemes in a fixed table: a phoneme word of a few hundred symbols
// silences the utterance or crashes the library. A word longer than this many code points is
// therefore spoken as several words (its word notification is still one).
constexpr size_t kLongestPhonemeWord = 100;

// Where a long phoneme word is cut: before a stress mark near the limit where there is one, so
// that a syllable stays whole, otherwise at the limit itself.
std::vector<size_t> WordBreaks(const std::vector<CodePoint>& chars) {
  std::vector<size_t> breaks;
  for (size_t start = 0; chars.size() - start > kLongestPhonemeWord;) {
    size_t cut = start + kLongestPhonemeWord;
    for (size_t k = cut; k > start + kLongestPhonemeWord / 2; --k) {
      if (chars[k].Char == U'\'' || chars[k].Char == U',') {
        cut = k;
        break;
      }
    }
    breaks.push_back(cut);
    start = cut;
  }
  return breaks;
}

void AppendAscii(SpeechSegment& segment, std::string_view text, int32_t wordAt) {
  segment.Utf8 += text;
  segment.WordAt.insert(segment.WordAt.end(), text.size(), wordAt);
}

void AppendWord(SpeechSegment& segment, const SourceText& source, const PhonemeToken& token) {
  const auto index = static_cast<int32_t>(segment.Words.size());
  segment.Words.push_back(SpanOf(source, token.Chars.front(), token.Chars.back()));
  const std::vector<size_t> breaks = WordBreaks(token.Chars);
  for (size_t k = 0, next = 0; k < token.Chars.size(); ++k) {
    if (next < breaks.size() && breaks[next] == k) {
      AppendAscii(segment, " ", kNoWord);
      ++next;
    }
    AppendUtf8(segment.Utf8, token.Chars[k].Char);
    segment.WordAt.push_back(index);
  }
}

// eSpeak NG draws a question's tune as a head that steps down over every primary stress, then a
// rise from the last one. Its own reading of text stresses few words of a question ("Why",
// "this", "there" are unstressed or secondary), but a language's phoneme strings carry the
// primary stress of each word as it is said alone, so the head starts high and the rise ends
// below the middle of the phrase: the question is heard falling. Within each question every
// primary stress but the last is therefore handed over as a secondary one: the words keep
// their stress, and the tune's rise is carried by the last stressed word.
void LeadQuestionsToTheirLastStress(std::vector<PhonemeToken>& tokens) {
  size_t clause = 0;
  for (size_t t = 0; t < tokens.size(); ++t) {
    if (tokens[t].Mark == 0) continue;
    if (tokens[t].Mark == '?') {
      bool last = true;
      for (size_t k = t; k-- > clause;)
        for (auto c = tokens[k].Chars.rbegin(); c != tokens[k].Chars.rend(); ++c) {
          if (c->Char != U'\'') continue;
          if (!last) c->Char = U',';
          last = false;
        }
    }
    clause = t + 1;
  }
}

bool OnlyPausesFrom(const std::vector<PhonemeToken>& tokens, size_t t) {
  return std::all_of(tokens.begin() + static_cast<ptrdiff_t>(t), tokens.end(),
                     [](const PhonemeToken& k) { return k.Pause != 0; });
}

}  // namespace

// eSpeak NG takes a clause's intonation from the punctuation that ends it, and punctuation
// inside [[ ]] is no phoneme: a question or exclamation closes the phoneme input, stands after
// it as in text, and a new [[ ]] carries on with what follows.
SpeechSegment PhonemeSegment(const SourceText& source, PhonemeForm form, int32_t pitch) {
  SpeechSegment segment;
  segment.Phonemes = true;
  segment.Pitch = pitch;
  std::vector<PhonemeToken> tokens = PhonemeTokenizer(source, form).Tokens();
  LeadQuestionsToTheirLastStress(tokens);
  bool open = false;
  bool first = true;
  for (size_t t = 0; t < tokens.size(); ++t) {
    const PhonemeToken& token = tokens[t];
    if (token.Mark) {
      if (!open) continue;  // a mark with nothing before it has no clause to end
      AppendAscii(segment, "]]", kNoWord);
      AppendAscii(segment, std::string_view(&token.Mark, 1), kPause);
      open = false;
      continue;
    }
    if (!open) {
      // The mark's own pause stands for the pauses that follow it at the end.
      if (!first && OnlyPausesFrom(tokens, t)) break;
      AppendAscii(segment, first ? "[[" : " [[", kNoWord);
      open = true;
    } else {
      AppendAscii(segment, " ", kNoWord);
    }
    first = false;
    if (token.Pause)
      AppendAscii(segment, PauseText(token.Pause), kPause);
    else
      AppendWord(segment, source, token);
  }
  if (open) AppendAscii(segment, "]]", kNoWord);
  return segment;
}

SpeechSegment TextSegment(const SourceText& source, int32_t pitch) {
  SpeechSegment segment;
  segment.Pitch = pitch;
  const std::vector<CodePoint> cps = CodePoints(source.Text);
  if (std::all_of(cps.begin(), cps.end(), [](const CodePoint& cp) { return IsSpace(cp.Char); }))
    return segment;
  segment.WordAt.assign(cps.size(), kNoWord);
  for (size_t k = 0; k < cps.size();) {
    if (IsSpace(cps[k].Char)) {
      ++k;
      continue;
    }
    size_t runEnd = k;
    while (runEnd < cps.size() && !IsSpace(cps[runEnd].Char)) ++runEnd;
    size_t first = k;
    while (first < runEnd && !IsWordChar(cps[first].Char)) ++first;
    if (first < runEnd) {
      size_t last = runEnd - 1;
      while (!IsWordChar(cps[last].Char)) --last;
      const auto index = static_cast<int32_t>(segment.Words.size());
      segment.Words.push_back(SpanOf(source, cps[first], cps[last]));
      std::fill(segment.WordAt.begin() + static_cast<ptrdiff_t>(first),
                segment.WordAt.begin() + static_cast<ptrdiff_t>(last) + 1, index);
    }
    k = runEnd;
  }
  std::u32string chars;
  for (const CodePoint& cp : cps) chars.push_back(cp.Char);
  GuardedText text = GuardEspeakText(chars, segment.WordAt);
  segment.Utf8 = std::move(text.Utf8);
  segment.WordAt = std::move(text.WordAt);
  return segment;
}

}  // namespace parlan::engines
