// Everything the module writes to speech-dispatcher: replies, events and, where the server
// plays the audio, the samples in AUDIO events. Lines and audio come from two threads and are
// written whole, one at a time.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace parlan::speechd {

// An AUDIO event carrying `count` samples of 16-bit mono audio at `rate` Hz: parameter lines,
// then the samples with newline and 0x7D escaped (0x7D, then the byte with bit 5 inverted).
std::string EncodeAudioEvent(const int16_t* samples, size_t count, int rate);

class ServerOutput {
 public:
  explicit ServerOutput(int fd) : fd_(fd) {}

  // Writes `text` (one or more lines, each ending in a newline).
  void Write(std::string_view text);

  // Audio is passed on only between OpenAudio and CloseAudio, so that nothing of a stopped
  // message follows its last event.
  void OpenAudio() { open_ = true; }
  // Drops audio from now on, without an event.
  void MuteAudio() { open_ = false; }
  // Ends the audio of a message and writes `text` (its closing event) right after it.
  void CloseAudio(std::string_view text);

  // Sends the samples unless the audio is closed. When the output is a pipe, waits first until
  // the server has read almost everything sent before (so that what it plays, and the events
  // between the audio, keep close to what it has read), giving up when the audio is closed.
  void Audio(const int16_t* samples, size_t count, int rate);

  // False once a write failed (the server went away).
  bool Healthy() const { return healthy_; }

 private:
  void WriteLocked(std::string_view bytes);
  void WaitForRoom();

  int fd_;
  std::mutex mutex_;
  std::atomic<bool> open_{false};
  std::atomic<bool> healthy_{true};
};

}  // namespace parlan::speechd
