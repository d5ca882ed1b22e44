// The sinks that need no playback: none and sound files (through libsndfile).
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "engines/AudioSinks.h"
#include "parlan/EspeakEngines.h"

namespace parlan::engines {

namespace {

class NullSink : public AudioSink {
 public:
  void Write(const int16_t*, size_t) override {}
  void Mark(std::function<void()> reached, bool, bool) override { reached(); }
};

bool IsFlac(const std::filesystem::path& file) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".flac";
}

// Opens the file to be written from its start, for libsndfile to write through the returned
// descriptor (-1 on failure, errno kept). An empty file is not truncated: ext4 writes out a
// file truncated to nothing as soon as it is closed, so that stopping a long run waited for
// the audio about to be thrown away to reach the disk.
int OpenForWriting(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || (st.st_size > 0 && ::ftruncate(fd, 0) != 0)) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

SF_INFO MonoInfo(bool flac) {
  SF_INFO info{};
  info.samplerate = kSampleRate;
  info.channels = 1;
  info.format = (flac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
  return info;
}

// The reason a libsndfile call failed: the system's, when the call left one in errno (a full
// disk, a lost device), else libsndfile's own.
std::string FailureReason(SNDFILE* file, int error) {
  if (error != 0) return std::strerror(error);
  const char* text = sf_strerror(file);
  return text && *text ? text : "unknown error";
}

class FileSink : public AudioSink {
 public:
  FileSink(std::filesystem::path file, std::shared_ptr<OutputFailure> failure)
      : path_(std::move(file)), flac_(IsFlac(path_)), failure_(std::move(failure)) {}
  ~FileSink() override { Close(); }

  void Write(const int16_t* samples, size_t count) override {
    std::lock_guard lock(mutex_);
    if (!file_ && !failed_) Open();
    if (file_) WriteLocked(samples, count);
  }
  void Mark(std::function<void()> reached, bool, bool) override { reached(); }

  void UtteranceQueued() override {
    std::lock_guard lock(mutex_);
    ++outstanding_;
  }
  void UtteranceDone() override {
    std::lock_guard lock(mutex_);
    if (outstanding_ > 0) --outstanding_;
    if (outstanding_ == 0) {
      CloseLocked();
      failed_ = false;  // try again at the next run of speech
    }
  }

  void Fail(const std::string& reason) override {
    std::lock_guard lock(mutex_);
    FailLocked(reason);
  }

 private:
  void Close() {
    std::lock_guard lock(mutex_);
    CloseLocked();
  }
  // libsndfile writes some formats (FLAC) only as it closes the file, so its answer counts as
  // much as any write's.
  void CloseLocked() {
    if (!file_) return;
    SNDFILE* file = file_;
    file_ = nullptr;
    const std::string pending = sf_error(file) != SF_ERR_NO_ERROR ? sf_strerror(file) : "";
    errno = 0;
    const int closed = sf_close(file);
    int error = errno;
    if (fd_ >= 0 && ::close(fd_) != 0 && error == 0) error = errno;
    const bool descriptorFailed = fd_ >= 0 && error != 0 && closed == 0;
    fd_ = -1;
    if (failed_) return;
    if (closed != 0 || descriptorFailed)
      FailLocked(error ? std::strerror(error) : sf_error_number(closed));
    else if (!pending.empty())
      FailLocked(pending);
  }

  void FailLocked(const std::string& reason) {
    failed_ = true;
    if (failure_) failure_->Record(reason);
    if (file_) sf_close(file_);
    file_ = nullptr;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  // A fresh file through its own descriptor (see OpenForWriting).
  bool OpenFresh(SF_INFO& info) {
    errno = 0;
    fd_ = OpenForWriting(path_);
    if (fd_ >= 0) file_ = sf_open_fd(fd_, SFM_WRITE, &info, SF_FALSE);
    if (file_) return true;
    FailLocked(FailureReason(nullptr, errno));
    return false;
  }

  bool WriteLocked(const int16_t* samples, size_t count) {
    errno = 0;
    const sf_count_t wrote = sf_write_short(file_, samples, static_cast<sf_count_t>(count));
    if (wrote == static_cast<sf_count_t>(count)) return true;
    FailLocked(FailureReason(file_, errno));
    return false;
  }

  void Open() {
    if (written_) {
      Reopen();
    } else {
      SF_INFO info = MonoInfo(flac_);
      OpenFresh(info);
    }
    failed_ = file_ == nullptr;
    written_ = written_ || file_ != nullptr;
  }

  // Opens the file again after its first run of speech so that later speech is appended: in
  // place where the format allows it, otherwise by writing the earlier audio out again.
  void Reopen() {
    SF_INFO info{};
    if (!flac_) {
      file_ = sf_open(path_.c_str(), SFM_RDWR, &info);
      if (file_ && sf_seek(file_, 0, SEEK_END) >= 0) return;
      if (file_) sf_close(file_);
      file_ = nullptr;
    }
    SoundFile earlier;
    ReadSoundFile(path_, earlier);
    info = MonoInfo(flac_);
    if (OpenFresh(info)) WriteLocked(earlier.Samples.data(), earlier.Samples.size());
  }

  std::mutex mutex_;
  std::filesystem::path path_;
  bool flac_;
  std::shared_ptr<OutputFailure> failure_;
  SNDFILE* file_ = nullptr;
  int fd_ = -1;  // the descriptor file_ writes through, when this sink opened it
  bool written_ = false;
  bool failed_ = false;  // this run of speech is dropped
  int outstanding_ = 0;
};

}  // namespace

std::shared_ptr<AudioSink> MakeNullSink() {
  return std::make_shared<NullSink>();
}

std::shared_ptr<AudioSink> MakeFileSink(std::filesystem::path file,
                                        std::shared_ptr<OutputFailure> failure) {
  return std::make_shared<FileSink>(std::move(file), std::move(failure));
}

bool ReadSoundFile(const std::filesystem::path& file, SoundFile& out) {
  SF_INFO info{};
  SNDFILE* f = sf_open(file.c_str(), SFM_READ, &info);
  if (!f) return false;
  out.SampleRate = info.samplerate;
  out.Channels = info.channels;
  out.Samples.clear();
  std::vector<int16_t> frames(4096 * static_cast<size_t>(std::max(1, info.channels)));
  sf_count_t got = 0;
  while ((got = sf_readf_short(f, frames.data(), 4096)) > 0)
    for (sf_count_t i = 0; i < got; ++i) out.Samples.push_back(frames[i * info.channels]);
  sf_close(f);
  return true;
}

}  // namespace parlan::engines
