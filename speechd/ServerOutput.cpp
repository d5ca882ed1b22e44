#include "ServerOutput.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

namespace parlan::speechd {

namespace {

// Audio goes in events of about 12 ms, and the next is sent only once the server has read all but
// one of them: what has been sent and not yet played, which a STOP cannot take back, stays short.
constexpr size_t kEventSamples = 256;
constexpr int kAheadBytes = 2 * kEventSamples + 128;

}  // namespace

std::string EncodeAudioEvent(const int16_t* samples, size_t count, int rate) {
  std::string out = "705-bits=16\n705-num_channels=1\n705-sample_rate=" + std::to_string(rate) +
                    "\n705-num_samples=" + std::to_string(count) + "\n705-big_endian=0\n705-AUDIO";
  out += '\0';
  out.reserve(out.size() + count * 2 + count / 16 + 16);
  for (size_t i = 0; i < count; ++i) {
    const auto v = static_cast<uint16_t>(samples[i]);
    for (const auto byte : {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}) {
      if (byte == '\n' || byte == 0x7D) {
        out += static_cast<char>(0x7D);
        out += static_cast<char>(byte ^ 0x20);
      } else {
        out += byte;
      }
    }
  }
  out += "\n705 AUDIO\n";
  return out;
}

void ServerOutput::Write(std::string_view text) {
  std::lock_guard lock(mutex_);
  WriteLocked(text);
}

void ServerOutput::CloseAudio(std::string_view text) {
  std::lock_guard lock(mutex_);
  open_ = false;
  WriteLocked(text);
}

void ServerOutput::Audio(const int16_t* samples, size_t count, int rate) {
  for (size_t at = 0; at < count && open_; at += kEventSamples) {
    const std::string event =
        EncodeAudioEvent(samples + at, std::min(kEventSamples, count - at), rate);
    WaitForRoom();
    std::lock_guard lock(mutex_);
    if (open_) WriteLocked(event);
  }
}

void ServerOutput::WaitForRoom() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (open_ && healthy_) {
    int queued = 0;
    if (::ioctl(fd_, FIONREAD, &queued) != 0 || queued <= kAheadBytes) return;
    if (std::chrono::steady_clock::now() > deadline) return;  // let the pipe itself block
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

void ServerOutput::WriteLocked(std::string_view bytes) {
  while (!bytes.empty() && healthy_) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      healthy_ = false;
      return;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

}  // namespace parlan::speechd
