// Where the eSpeak NG service puts the audio of an engine object: nowhere, a sound file, or the
// sound server. Audio is 22050 Hz, mono, 16-bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "parlan/EspeakEngines.h"

namespace parlan::engines {

class OutputFailure;

inline constexpr int kSampleRate = 22050;

class AudioSink {
 public:
  virtual ~AudioSink() = default;

  // Called on the service's worker thread only.
  virtual void Write(const int16_t* samples, size_t count) = 0;
  // Runs `reached` once the audio written before it has been handed on: at once for a file,
  // when it has been sent to the sound server for a stream; with `drain`, once it has been
  // heard. An `essential` mark runs even when the audio before it is discarded; the others are
  // dropped with that audio. Marks run in the order they were placed.
  virtual void Mark(std::function<void()> reached, bool essential, bool drain) = 0;

  // An utterance that will write here was queued (any thread) / has placed all its audio and
  // marks (worker thread). A file is complete and closed whenever none is outstanding.
  virtual void UtteranceQueued() {}
  virtual void UtteranceDone() {}

  // Drops the audio written and not yet played (any thread).
  virtual void Discard() {}

  // The speech written here failed on a thread of ours (worker thread): the output records the
  // reason, and a file drops the rest of the run of speech.
  virtual void Fail(const std::string& reason) { (void)reason; }
};

// Audio dropped; marks run at once.
std::shared_ptr<AudioSink> MakeNullSink();

// A sound file: FLAC when the name ends in ".flac" (any case), WAV otherwise. Created (emptied)
// at the first audio, closed whenever no utterance is outstanding and reopened for appending at
// the next audio. When the file cannot be written (or closed) the audio is dropped and the reason
// goes to `failure`, when given.
std::shared_ptr<AudioSink> MakeFileSink(std::filesystem::path file,
                                        std::shared_ptr<OutputFailure> failure = nullptr);

// One playback stream on the sound server, opened at the first audio of a run of speech and
// closed once it has been played; audio is dropped while no server can be reached. An error on
// its playback thread goes to `failure`, when given, and the thread goes on with the next item.
std::shared_ptr<AudioSink> MakeSoundServerSink(std::string streamName,
                                               std::shared_ptr<OutputFailure> failure = nullptr);

// The host's handler, given the audio in order from a delivery thread of the sink; marks run
// once the audio before them has been handed over.
std::shared_ptr<AudioSink> MakeHandlerSink(AudioHandler handler);

// A sound file read back as the 16-bit samples of its first channel.
struct SoundFile {
  std::vector<int16_t> Samples;
  int SampleRate = 0;
  int Channels = 0;
};
bool ReadSoundFile(const std::filesystem::path& file, SoundFile& out);

}  // namespace parlan::engines
