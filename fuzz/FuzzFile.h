// The loaders read their files by path, as they do in use. A fuzz target rewrites one file per
// input in a memory-backed folder (/dev/shm where there is one), which costs a few microseconds
// and leaves the loaders exactly as they are. The folder is named after the process, which
// scripts/fuzz removes afterwards.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace parlan::fuzz {

inline std::filesystem::path ScratchFolder() {
  std::filesystem::path base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
  std::filesystem::path folder = base / ("parlan-fuzz-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  return folder;
}

// Replaces the file's contents with the input; aborts when it cannot (the run would be void).
inline void WriteInput(const std::filesystem::path& file, const uint8_t* data, size_t size) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) std::abort();
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n <= 0) std::abort();
    done += static_cast<size_t>(n);
  }
  ::close(fd);
}

}  // namespace parlan::fuzz
