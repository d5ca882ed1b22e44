// A private sound and speech set-up for the module's tests: a PulseAudio server with a null sink,
// a speech-dispatcher daemon with its own configuration and socket that loads the module from the
// build tree, and the recording of the null sink's monitor.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "testkit/TestKit.h"

namespace parlan::speechd::testing {

// The full path of `name` on PATH, or "" when it is not installed.
std::string FindProgram(const std::string& name);

// A child process with its own environment, its output sent to a file.
class Child {
 public:
  Child() = default;
  Child(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
        const std::filesystem::path& output);
  ~Child();
  Child(Child&& other) noexcept : pid_(other.pid_) { other.pid_ = -1; }
  Child& operator=(Child&& other) noexcept {
    Terminate();
    std::swap(pid_, other.pid_);
    return *this;
  }

  bool Started() const { return pid_ > 0; }
  // The exit status, or -1 when the process was still running after `timeout` (it is killed).
  int Wait(std::chrono::milliseconds timeout);
  void Terminate();

 private:
  int pid_ = -1;
};

struct SetupOptions {
  bool ServerAudio = true;
  // Where speech-dispatcher finds the module and its configuration; the build tree when empty,
  // named in speechd.conf. An installed module is found by speech-dispatcher itself.
  std::filesystem::path ModuleDir;
  std::filesystem::path ModuleConf;
};

class SpeechSetup {
 public:
  // Starts PulseAudio and speech-dispatcher; `Problem()` says why when that failed.
  explicit SpeechSetup(const SetupOptions& options = {});
  ~SpeechSetup();

  const std::string& Problem() const { return problem_; }
  // The environment a client needs (socket address, the sound server).
  const std::map<std::string, std::string>& Environment() const { return env_; }
  const std::filesystem::path& Dir() const { return dir_.Path(); }

  // Runs a client to the end (killed after `timeout`); its output is returned in `output`.
  int Run(const std::vector<std::string>& args, std::string& output,
          std::chrono::milliseconds timeout = std::chrono::seconds(60));

  // Records the null sink's monitor (22050 Hz mono) from now until StopRecording.
  void StartRecording();
  std::vector<int16_t> StopRecording();

  std::string DaemonLog() const;

 private:
  bool StartPulse();
  bool StartDaemon(const SetupOptions& options);

  testkit::TempDir dir_;
  std::map<std::string, std::string> env_;
  std::string problem_;
  Child pulse_, daemon_, recorder_;
  std::filesystem::path recording_;
};

// Seconds of sound (20 ms windows whose level is above silence) in 22050 Hz samples.
double SoundSeconds(const std::vector<int16_t>& samples);
// Time from the start of the recording to the last window with sound, in seconds.
double LastSoundAt(const std::vector<int16_t>& samples);

}  // namespace parlan::speechd::testing
