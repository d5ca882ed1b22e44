// The sinks that need no playback: none and sound files (through libsndfile).
#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <mutex>

#include "engines/AudioSinks.h"

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

SF_INFO MonoInfo(bool flac) {
  SF_INFO info{};
  info.samplerate = kSampleRate;
  info.channels = 1;
  info.format = (flac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
  return info;
}

class FileSink : public AudioSink {
 public:
  explicit FileSink(std::filesystem::path file) : path_(std::move(file)), flac_(IsFlac(path_)) {}
  ~FileSink() override { Close(); }

  void Write(const int16_t* samples, size_t count) override {
    std::lock_guard lock(mutex_);
    if (!file_ && !failed_) Open();
    if (file_) sf_write_short(file_, samples, static_cast<sf_count_t>(count));
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

 private:
  void Close() {
    std::lock_guard lock(mutex_);
    CloseLocked();
  }
  void CloseLocked() {
    if (file_) sf_close(file_);
    file_ = nullptr;
  }

  void Open() {
    if (written_) {
      Reopen();
    } else {
      SF_INFO info = MonoInfo(flac_);
      file_ = sf_open(path_.c_str(), SFM_WRITE, &info);
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
      CloseLocked();
    }
    SoundFile earlier;
    ReadSoundFile(path_, earlier);
    info = MonoInfo(flac_);
    file_ = sf_open(path_.c_str(), SFM_WRITE, &info);
    if (file_)
      sf_write_short(file_, earlier.Samples.data(),
                     static_cast<sf_count_t>(earlier.Samples.size()));
  }

  std::mutex mutex_;
  std::filesystem::path path_;
  bool flac_;
  SNDFILE* file_ = nullptr;
  bool written_ = false;
  bool failed_ = false;
  int outstanding_ = 0;
};

}  // namespace

std::shared_ptr<AudioSink> MakeNullSink() {
  return std::make_shared<NullSink>();
}

std::shared_ptr<AudioSink> MakeFileSink(std::filesystem::path file) {
  return std::make_shared<FileSink>(std::move(file));
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
