#include "AudioTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "CliErrors.h"

namespace parlan::cli {
namespace {

std::string LowerExtension(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

// Removes a large abandoned file in a child process. Its name goes at once, but the kernel
// then frees the file's pages before unlink returns, which for the hundreds of megabytes of a
// long run made a stopped tool take longer than a stop may. The child takes only that wait.
bool RemoveInBackground(const std::filesystem::path& file) {
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    ::unlink(file.c_str());
    ::_exit(0);
  }
  // The name is gone when the child's unlink has begun freeing; wait for that, briefly.
  struct stat st {};
  for (int waited = 0; waited < 200 && ::lstat(file.c_str(), &st) == 0; ++waited) ::usleep(1000);
  return true;
}

constexpr std::uintmax_t kLargeFile = std::uintmax_t{32} << 20;

}  // namespace

AudioTarget::AudioTarget(std::filesystem::path target) : target_(std::move(target)) {
  const std::string shown = target_.string();
  const std::string ext = LowerExtension(target_);
  if (ext != ".wav" && ext != ".flac")
    throw UsageError("cannot tell the audio format of " + shown +
                     ": the name must end in .wav or .flac");
  std::error_code ec;
  if (std::filesystem::is_directory(target_, ec))
    throw UsageError("cannot write " + shown + ": it is a folder");
  std::filesystem::path folder = target_.parent_path();
  if (folder.empty()) folder = ".";
  if (!std::filesystem::is_directory(folder, ec))
    throw UsageError("cannot write " + shown + ": no folder " + folder.string());
  if (std::filesystem::exists(target_, ec) && ::access(target_.c_str(), W_OK) != 0)
    throw UsageError("cannot write " + shown + ": " + std::strerror(errno));
  const std::string name =
      "." + target_.stem().string() + ".parlan-" + std::to_string(::getpid()) + ext;
  temporary_ = folder / name;
  const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    const std::string reason = std::strerror(errno);
    temporary_.clear();
    throw UsageError("cannot write " + shown + ": " + reason);
  }
  ::close(fd);
}

AudioTarget::~AudioTarget() {
  if (committed_ || temporary_.empty()) return;
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(temporary_, ec);
  if (!ec && size >= kLargeFile && RemoveInBackground(temporary_)) return;
  std::filesystem::remove(temporary_, ec);
}

void AudioTarget::Commit() {
  std::error_code ec;
  const auto size = std::filesystem::file_size(temporary_, ec);
  if (ec || size == 0)
    throw RunError("no audio was produced, so " + target_.string() + " was not written");
  std::filesystem::rename(temporary_, target_, ec);
  if (ec) throw RunError("cannot write " + target_.string() + ": " + ec.message());
  committed_ = true;
}

void AudioTarget::CopyTo(std::ostream& out) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(temporary_, ec);
  if (ec || size == 0) throw RunError("no audio was produced");
  std::ifstream in(temporary_, std::ios::binary);
  if (!in) throw RunError("cannot read the audio back from " + temporary_.string());
  out << in.rdbuf();
  out.flush();
}

}  // namespace parlan::cli
