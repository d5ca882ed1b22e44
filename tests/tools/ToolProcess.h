// Runs the built `parlan` tool as a child process that the test can watch and signal while it
// runs, with standard output wherever the test wants it (a file, /dev/full, a pipe).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "ToolRunner.h"

namespace parlan::testkit {

class ToolProcess {
 public:
  // Starts the tool; standard input from `input`, standard output to the open descriptor
  // `outFd` (kept open by the caller) or, when it is -1, to `outPath`.
  ToolProcess(const std::vector<std::string>& args, const std::string& input, int outFd,
              const std::filesystem::path& outPath = "/dev/null") {
    WriteBytes(io_.Path() / "in", input);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, (io_.Path() / "in").c_str(), O_RDONLY, 0);
    if (outFd >= 0)
      posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    else
      posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0600);
    posix_spawn_file_actions_addopen(&actions, 2, (io_.Path() / "err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    // The child starts with the default actions, whatever the test runner ignores.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int s : {SIGPIPE, SIGHUP, SIGINT, SIGTERM}) sigaddset(&defaults, s);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    std::vector<std::string> all{PARLAN_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, PARLAN_CLI_PATH, &actions, &attributes, argv.data(), environ) != 0)
      pid_ = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
  }

  ~ToolProcess() {
    if (pid_ > 0 && status_ < 0) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
  }

  bool Started() const { return pid_ > 0; }
  void Signal(int signal) const { ::kill(pid_, signal); }

  // Exit status, 128 + the signal number when a signal ended it; -1 while it runs after
  // `timeout` (the tool is then left running for the destructor to kill).
  int Wait(std::chrono::milliseconds timeout = std::chrono::minutes(5)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (status_ < 0) {
      int raw = 0;
      const pid_t done = ::waitpid(pid_, &raw, WNOHANG);
      if (done == pid_) {
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        break;
      }
      if (done < 0 || std::chrono::steady_clock::now() >= deadline) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status_;
  }

  std::string Err() const { return ReadBytes(io_.Path() / "err"); }

 private:
  TempDir io_;
  pid_t pid_ = -1;
  int status_ = -1;
};

// Waits until `condition` holds, at most `timeout`; whether it held.
template <class Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// A file in `folder` holding audio already: the tool is speaking into its temporary file.
inline bool AudioStarted(const std::filesystem::path& folder) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
    if (entry.is_regular_file(ec) && entry.file_size(ec) > 4096) return true;
  return false;
}

}  // namespace parlan::testkit
