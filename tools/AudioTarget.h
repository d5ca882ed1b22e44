// The sound file a speak command writes. The audio goes to a temporary file beside the target,
// which replaces the target only when the speech completed; otherwise it is removed, so a
// failed or interrupted run never leaves a partial file behind.
#pragma once

#include <filesystem>
#include <ostream>

namespace parlan::cli {

class AudioTarget {
 public:
  // Checks that the target can be written: its folder exists and is writable, it is no folder
  // itself, and its name ends in .wav or .flac. Reserves the temporary file. Throws UsageError.
  explicit AudioTarget(std::filesystem::path target);
  ~AudioTarget();
  AudioTarget(const AudioTarget&) = delete;
  AudioTarget& operator=(const AudioTarget&) = delete;

  const std::filesystem::path& Target() const { return target_; }
  // Where the engines write; its extension (lower case) tells them the format.
  const std::filesystem::path& Temporary() const { return temporary_; }

  // Moves the temporary file over the target. Throws RunError when no audio was written.
  void Commit();
  // Copies the temporary file to `out` and removes it. Throws RunError when no audio was written
  // or the file cannot be read back.
  void CopyTo(std::ostream& out);

 private:
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  bool committed_ = false;
};

}  // namespace parlan::cli
