// Turns what the engine objects are asked to speak into the segments the eSpeak NG service
// synthesises: the voice's speech markup, phoneme strings in both of the control's forms, and
// plain text, each keeping the position of every character in the caller's text so that word
// notifications point at the caller's words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engines/EspeakSpeech.h"

namespace parlan::engines {

// Text with the 0-based position in the caller's text of each of its UTF-16 code units.
struct SourceText {
  std::u16string Text;
  std::vector<int32_t> Positions;
  void Append(char16_t c, int32_t position) {
    Text.push_back(c);
    Positions.push_back(position);
  }
};

// The caller's text as it is, each unit at its own position.
SourceText PlainSource(std::u16string_view text);

// One stretch of the voice's input: text to read, or a pronunciation in phonemes.
struct SpeechPart {
  bool Phonemes = false;
  int32_t AbsMiddle = 0;  // the pitch in force, -10..10
  SourceText Source;
};

struct ParsedSpeech {
  std::vector<SpeechPart> Parts;
  int32_t FinalAbsMiddle = 0;  // the pitch in force after the text
};

// Parses the voice's speech markup. `absmiddle` is the pitch in force before the text.
// Recognised: <pitch absmiddle="n"/> and <pitch middle="n"/> (as empty elements they change the
// pitch for the rest of the text; as elements around text, for that text), <pron sym="..."/>
// (an element around text replaces that text), the entities &lt; &gt; &amp; &quot; &apos; and
// numeric character references. Any other tag is skipped; a "<" that starts no tag is text.
ParsedSpeech ParseVoiceMarkup(std::u16string_view text, int32_t absmiddle);

// The two forms of phoneme strings the control sends.
enum class PhonemeForm {
  Directss,  // "h@loU#": trailing "#" dropped, "*x" marks
  Pron,      // the sym text of a pron element: standalone marks "h@loU !"
};

// A phoneme string as eSpeak NG phoneme input in [[ ]]: words separated by blanks, marks made
// pauses (eSpeak NG would silently cut the rest of a word at a symbol it does not know).
// Empty Utf8 when there is nothing to say.
SpeechSegment PhonemeSegment(const SourceText& source, PhonemeForm form, int32_t pitch);

// Text to read: the caller's words are the runs of non-blank characters without the
// punctuation at their ends. Empty Utf8 when the text is blank.
SpeechSegment TextSegment(const SourceText& source, int32_t pitch);

}  // namespace parlan::engines
