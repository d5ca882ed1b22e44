#include "DaemonKit.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace parlan::speechd::testing {

namespace {

using namespace std::chrono_literals;
constexpr int kRate = 22050;

std::vector<std::string> MergedEnvironment(const std::map<std::string, std::string>& env) {
  std::vector<std::string> out;
  for (const auto& [k, v] : env) out.push_back(k + "=" + v);
  for (char** e = environ; *e; ++e) {
    const std::string s = *e;
    const std::string key = s.substr(0, s.find('='));
    if (!env.count(key) && !key.starts_with("PULSE_") && !key.starts_with("SPEECHD_"))
      out.push_back(s);
  }
  return out;
}

bool WaitForFile(const std::filesystem::path& file, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!std::filesystem::exists(file)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

std::string Slurp(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = std::string(path ? path : "") + ":/usr/bin:/bin:/usr/sbin";
  for (size_t start = 0; start <= dirs.size();) {
    const size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (end > start && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return "";
}

Child::Child(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
             const std::filesystem::path& output) {
  std::vector<std::string> a = args, e = MergedEnvironment(env);
  std::vector<char*> argv, envp;
  for (auto& s : a) argv.push_back(s.data());
  argv.push_back(nullptr);
  for (auto& s : e) envp.push_back(s.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, (output.string() + ".err").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
}

Child::~Child() {
  Terminate();
}

int Child::Wait(std::chrono::milliseconds timeout) {
  if (pid_ <= 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (std::chrono::steady_clock::now() > deadline) {
      Terminate();
      return -1;
    }
    std::this_thread::sleep_for(5ms);
  }
}

void Child::Terminate() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  for (int i = 0; i < 200; ++i) {
    if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(10ms);
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

SpeechSetup::SpeechSetup(const SetupOptions& options) {
  for (const char* sub : {"home", "runtime", "conf/modules", "log"})
    std::filesystem::create_directories(dir_.Path() / sub);
  env_["HOME"] = (dir_.Path() / "home").string();
  env_["XDG_RUNTIME_DIR"] = (dir_.Path() / "runtime").string();
  env_["PULSE_RUNTIME_PATH"] = (dir_.Path() / "runtime").string();
  if (!StartPulse()) return;
  StartDaemon(options);
}

SpeechSetup::~SpeechSetup() {
  recorder_.Terminate();
  daemon_.Terminate();
  pulse_.Terminate();
}

bool SpeechSetup::StartPulse() {
  const std::string program = FindProgram("pulseaudio");
  if (program.empty()) {
    problem_ = "pulseaudio is not installed";
    return false;
  }
  const auto socket = dir_.Path() / "runtime" / "pulse-native";
  pulse_ = Child({program, "-n", "--daemonize=no", "--exit-idle-time=-1", "--system=false",
                  "--use-pid-file=false", "-L", "module-null-sink sink_name=parlan_null", "-L",
                  "module-native-protocol-unix auth-anonymous=1 socket=" + socket.string()},
                 env_, dir_.Path() / "pulseaudio.log");
  if (!pulse_.Started() || !WaitForFile(socket, 10s)) {
    problem_ = "pulseaudio did not start";
    return false;
  }
  env_["PULSE_SERVER"] = "unix:" + socket.string();
  return true;
}

bool SpeechSetup::StartDaemon(const SetupOptions& options) {
  const std::string program = FindProgram("speech-dispatcher");
  if (program.empty()) {
    problem_ = "speech-dispatcher is not installed";
    return false;
  }
  const bool installed = !options.ModuleDir.empty();
  const auto conf = dir_.Path() / "conf";
  std::ofstream settings(conf / "speechd.conf");
  settings << "LogLevel 4\nAudioOutputMethod \"pulse\"\nDefaultLanguage \"en\"\n";
  if (!installed)
    settings << "DefaultModule parlan\nAddModule \"parlan\" \"sd_parlan\" \"parlan.conf\"\n";
  settings.close();
  std::ifstream in(installed ? options.ModuleConf : std::filesystem::path(SD_PARLAN_CONF));
  std::ofstream out(conf / "modules" / "parlan.conf");
  out << in.rdbuf();
  if (!installed) out << "\nParlanServerAudio " << (options.ServerAudio ? 1 : 0) << "\n";
  out.close();
  const std::string modules = installed
                                  ? options.ModuleDir.string()
                                  : std::filesystem::path(SD_PARLAN_PATH).parent_path().string();
  const auto socket = dir_.Path() / "runtime" / "speechd.sock";
  daemon_ =
      Child({program, "-s", "-t", "0", "-c", "unix_socket", "-S", socket.string(), "-C",
             conf.string(), "-m", std::filesystem::path(SD_PARLAN_PATH).parent_path().string(),
             "-L", (dir_.Path() / "log").string(), "-P", (dir_.Path() / "speechd.pid").string()},
            env_, dir_.Path() / "daemon.out");
  if (!daemon_.Started() || !WaitForFile(socket, 20s)) {
    problem_ = "speech-dispatcher did not start:\n" + DaemonLog();
    return false;
  }
  env_["SPEECHD_ADDRESS"] = "unix_socket:" + socket.string();
  return true;
}

int SpeechSetup::Run(const std::vector<std::string>& args, std::string& output,
                     std::chrono::milliseconds timeout) {
  static int serial = 0;
  const auto file = dir_.Path() / ("client" + std::to_string(++serial) + ".out");
  Child child(args, env_, file);
  const int status = child.Wait(timeout);
  output = Slurp(file);
  return status;
}

void SpeechSetup::StartRecording() {
  recording_ = dir_.Path() / "monitor.raw";
  recorder_ = Child({FindProgram("parec"), "-d", "parlan_null.monitor", "--raw", "--format=s16le",
                     "--rate=22050", "--channels=1", "--latency-msec=20"},
                    env_, recording_);
  std::this_thread::sleep_for(300ms);  // the stream is connected
}

std::vector<int16_t> SpeechSetup::StopRecording() {
  recorder_.Terminate();
  const std::string bytes = Slurp(recording_);
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

std::string SpeechSetup::DaemonLog() const {
  std::string log;
  for (const auto& e : std::filesystem::directory_iterator(dir_.Path() / "log"))
    log += "== " + e.path().filename().string() + "\n" + Slurp(e.path());
  return log;
}

namespace {

std::vector<bool> LoudWindows(const std::vector<int16_t>& samples) {
  constexpr size_t kWindow = kRate / 50;
  std::vector<bool> loud;
  for (size_t at = 0; at + kWindow <= samples.size(); at += kWindow) {
    double sum = 0;
    for (size_t i = at; i < at + kWindow; ++i) sum += double(samples[i]) * samples[i];
    loud.push_back(std::sqrt(sum / kWindow) > 100.0);
  }
  return loud;
}

}  // namespace

double SoundSeconds(const std::vector<int16_t>& samples) {
  const std::vector<bool> loud = LoudWindows(samples);
  return double(std::count(loud.begin(), loud.end(), true)) / 50.0;
}

double LastSoundAt(const std::vector<int16_t>& samples) {
  const std::vector<bool> loud = LoudWindows(samples);
  for (size_t i = loud.size(); i-- > 0;)
    if (loud[i]) return double(i + 1) / 50.0;
  return 0;
}

}  // namespace parlan::speechd::testing
