// The speech engines of Parlan on Linux, built on eSpeak NG, and where their audio goes.
//
// One eSpeak NG instance serves the whole process: every engine object (of every control, on
// every thread) queues its utterances to one worker thread, which synthesises them one at a time
// and hands the audio to the engine's output. The queue holds about a megabyte of work: a Speak
// that would queue more waits until the worker has taken enough, or until the speech is dropped
// (a stop, a purge, the host's stop request given through WatchStop). The worker in turn keeps
// at most about two seconds of audio waiting for the sound server or a handler. The engines
// raise their notifications on the host's thread only, from PumpEvents().
//
// The direct text-to-speech object (DirectSS):
// - Modes: every eSpeak NG voice (except those that cannot be selected) in a male form and,
//   where eSpeak NG has a female variant, a female form, male first; mode names are the voice
//   names, the female form with the suffix " Female". Each mode has an engine identifier (the
//   eSpeak NG voice identifier, e.g. "gmw/en-US"), a gender (1 female, 2 male) and a language
//   (eSpeak NG's language tag, e.g. "en-us", which also answers to its Windows language number,
//   1033 or 0x409).
// - Find (71) takes "EngineID=...;Gender=...;LanguageID=..." (keys in any order and case, blanks
//   around values ignored, empty values ignored) and answers the best-fitting mode: the engine
//   identifier weighs most, then the language (exact before same primary language), then the
//   gender; it fails when no mode fits any given value.
// - Pitch (7..9): eSpeak NG's base pitch 0..100, 50 normal. Speed (10..12): words per minute
//   80..450, 175 normal. Volumes: two levels, 72 (range 73..74) and 13 (range 14..15), each
//   0..65535; the output is mono, so the level heard is the mean of the two, 65535 being
//   eSpeak NG's normal volume. Puts outside a range fail.
// - Speak (42): code 0 speaks text, code 2 a phoneme string of eSpeak NG mnemonics (trailing "#"
//   dropped, "*," a short pause, "*" with any other character a longer one, as are "." and
//   "!" within a word); always queued.
// - Events: AudioStart and AudioStop per utterance, WordPosition per word. hi:lo is the 64-bit
//   position of the engine object's audio stream in bytes (22050 Hz, 16-bit mono) since it was
//   created; byteoffset is the 0-based offset of the word in the spoken text, counted in bytes of
//   UTF-16 (two per code unit).
//
// The voice:
// - Voices: the same list as the modes above; the description is the voice name.
//   GetVoices("Name=X", ...) selects by description (without regard to case); the attributes
//   "Gender" (Male, Female) and "Language" (hexadecimal Windows language numbers, e.g. 409) are
//   understood too.
// - Rate -10..10 (clamped): 175 words per minute times 3 to the power rate/10; below eSpeak NG's
//   slowest rate the missing time is made up by pauses between words.
// - Volume 0..100: eSpeak NG's volume, 100 its normal level; other values fail.
// - Speak parses <pitch absmiddle="n"/> (n -10..10, also as an element around text),
//   <pron sym="..."/> (eSpeak NG mnemonics; a standalone "," is a short pause, ".", "?", "!",
//   ";", ":" a longer one, and so is a "." or "!" within a word, which eSpeak NG does not
//   know) and the five XML character entities; other tags are skipped. Flag 1
//   queues and returns, flag 2 first drops this voice's queued and playing speech, flag 32 keeps
//   the pitch in force for later Speak calls, flag 16 takes the text without markup.
// - Events: StartStream, one Word per word, EndStream. CharacterPosition is 1-based and, with
//   Length, points at the word in the text given to Speak (for a pron element, at the phoneme
//   word within its sym text). StreamPosition is the byte position within the stream's audio.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "parlan/Engines.h"

namespace parlan::engines {

// Receives audio of 22050 Hz, 16-bit mono, in order, on a delivery thread of the library. It may
// block: the notifications wait for the audio before them, so blocking paces the speech. It
// must not call back into the engines.
using AudioHandler = std::function<void(const int16_t* samples, size_t count)>;
// The first failure of an output: a write to the sound file that failed (its reason, e.g. "No
// space left on device"), or an error on one of the engines' threads. Recorded by those threads,
// read by the host; the audio of a failed file output is incomplete and must not be kept.
class OutputFailure {
 public:
  void Record(const std::string& reason) {
    std::lock_guard lock(mutex_);
    if (reason_.empty()) reason_ = reason.empty() ? "unknown error" : reason;
  }
  // "" while nothing failed.
  std::string Reason() const {
    std::lock_guard lock(mutex_);
    return reason_;
  }

 private:
  mutable std::mutex mutex_;
  std::string reason_;
};

// Where the engines of one factory send their audio.
struct AudioOutput {
  enum class Kind {
    None,         // synthesised and dropped (notifications still come)
    File,         // one sound file for every engine of the factory, in the order spoken:
                  // FLAC when the name ends in ".flac", WAV otherwise. Created at the first
                  // audio; complete (and closed) whenever every engine writing it is idle;
                  // later speech is appended to it.
    SoundServer,  // the PulseAudio (or PipeWire) sound server, one stream per engine object;
                  // when no server can be reached the audio is dropped.
    Handler,      // handed to `handler`, shared by every engine of the factory; a purge drops
                  // what has not been handed over yet.
  };
  Kind kind = Kind::SoundServer;
  std::filesystem::path file;
  AudioHandler handler = {};
};

// A voice of the eSpeak NG engines, as the modes of the direct text-to-speech object list them.
struct EngineVoice {
  std::u16string Name = {};   // the mode name, e.g. "English (America) Female"
  std::string Language = {};  // eSpeak NG's language tag, e.g. "en-us"
  bool Female = false;
};

// The voices in listing order; empty where eSpeak NG is not available.
std::vector<EngineVoice> EspeakVoiceList();

// True when the library was built with eSpeak NG and eSpeak NG could be started.
bool EspeakAvailable();

// True when a sound server answers (it is asked for a playback stream, which is closed again at
// once). False where none runs, or where the library was built without eSpeak NG. A host that
// wants to tell its user that nothing will be heard asks this before speaking.
bool SoundServerReachable();

// The phonemes eSpeak NG synthesised, in the International Phonetic Alphabet (UTF-8), a line per
// clause, in the order spoken. Written by the engines' worker thread, read by the host.
class IpaTrace {
 public:
  void Append(const std::string& text) {
    std::lock_guard lock(mutex_);
    text_ += text;
  }
  // What was written since the last call.
  std::string Take() {
    std::lock_guard lock(mutex_);
    std::string taken;
    taken.swap(text_);
    return taken;
  }

 private:
  std::mutex mutex_;
  std::string text_;
};

// How eSpeak NG reads text for every engine of a factory, beyond what the engines' own
// interfaces set; the defaults change nothing. Phoneme strings have no letters or punctuation,
// so in native modes only the word gap is heard.
struct ReadingStyle {
  int32_t WordGap = 0;       // added between words, in units of 10 ms at the normal rate
  int32_t Capitals = 0;      // before a capital letter: 1 a sound, 2 the word "capital", 3 and up a
                             // rise of pitch by that much
  bool Punctuation = false;  // say the names of punctuation characters
  std::u16string PunctuationList;  // only these; empty for all
  std::shared_ptr<IpaTrace> Ipa;   // receives the IPA of every utterance, when set
  bool operator==(const ReadingStyle&) const = default;
};

// Engines on eSpeak NG sending their audio to `output`; the null engines where the library was
// built without eSpeak NG or eSpeak NG cannot be started.
std::shared_ptr<EngineFactory> EspeakEngineFactory(const AudioOutput& output);
// The same, with `failure` receiving the first failure of the output; without it a failed file
// write only drops the audio.
std::shared_ptr<EngineFactory> EspeakEngineFactory(const AudioOutput& output,
                                                   std::shared_ptr<OutputFailure> failure);
// The same, reading text in `style`.
std::shared_ptr<EngineFactory> EspeakEngineFactory(const AudioOutput& output,
                                                   std::shared_ptr<OutputFailure> failure,
                                                   const ReadingStyle& style);

// The ranges of the direct text-to-speech object.
namespace espeak_ranges {
inline constexpr int32_t kMinPitch = 0;
inline constexpr int32_t kMaxPitch = 100;
inline constexpr int32_t kNormalPitch = 50;
inline constexpr int32_t kMinSpeed = 80;
inline constexpr int32_t kMaxSpeed = 450;
inline constexpr int32_t kNormalSpeed = 175;
inline constexpr int32_t kMinVolume = 0;
inline constexpr int32_t kMaxVolume = 65535;
}  // namespace espeak_ranges

}  // namespace parlan::engines
