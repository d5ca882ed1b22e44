// The output module: answers speech-dispatcher's requests, speaks through the control, and
// reports BEGIN, INDEX_MARK, END, STOP and PAUSE as the speech reaches them.
//
// A message is spoken piece by piece, the pieces being the text between its index marks: a mark
// is reached when the control has finished the piece before it (its last AudioStop has come and
// the control is idle), and PAUSE stops at the next speech-dispatcher mark ("__spd_...").
// BEGIN is the control's first AudioStart of the message.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Protocol.h"
#include "ServerOutput.h"
#include "Ssml.h"
#include "Voices.h"
#include "Wording.h"
#include "parlan/Parlana.h"

namespace parlan::speechd {

// The module's configuration file (parlan.conf): "Name value" lines, values optionally quoted,
// "#" starting a comment.
struct ModuleConfig {
  std::string DefaultVoice = "English Female (Parlan)";  // ParlanDefaultVoice
  bool ServerAudio = true;            // ParlanServerAudio: hand the samples to the server
  std::filesystem::path InstallRoot;  // ParlanInstallRoot: empty for the library's own
};
ModuleConfig ReadModuleConfig(const std::filesystem::path& file);

class Module {
 public:
  Module(ModuleConfig config, ServerOutput& output);
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  void Handle(const Request& request);
  // Delivers the control's events and moves the message on; call often while Busy().
  void Tick();
  bool Busy() const { return state_ != State::Idle; }
  bool Quitting() const { return quit_; }
  // Stops speech at once (end of input, QUIT).
  void Shutdown();

  // Called from the control's event sink.
  void OnAudioStart();

 private:
  enum class State { Idle, Speaking, Stopping };
  struct Settings {
    int Rate = 0, Pitch = 0, Volume = 100;
    Wording Words;
    VoiceWish Wish;
  };
  struct Applied {
    int Voice = -1;
    int32_t Speed = INT32_MIN, Pitch = INT32_MIN, Volume = INT32_MIN;
  };

  Parlana& Control();
  void Reply(const std::string& line) { output_.Write(line + "\n"); }
  void Init();
  void ListVoices();
  void Set(const Request& request);
  void AudioSettings(const Request& request);
  void Speak(const Request& request);
  void Stop();
  void FinishStop();
  void ApplySettings();
  void Advance();
  void Begin();
  const std::vector<ModuleVoice>& Voices();

  ModuleConfig config_;
  ServerOutput& output_;
  std::unique_ptr<Parlana> control_;
  std::shared_ptr<ParlanaEvents> events_;
  std::optional<bool> serverAudio_;
  std::optional<std::vector<ModuleVoice>> voices_;
  Settings settings_;
  Applied applied_;
  // Normal speed and pitch of each kind of mode, read before the module first changes them.
  struct Normals {
    int32_t Speed = INT32_MIN, Pitch = INT32_MIN;
  };
  Normals normals_[3];

  State state_ = State::Idle;
  std::vector<MessagePart> parts_;
  size_t next_ = 0;
  bool begun_ = false;
  bool pauseWanted_ = false;
  bool quit_ = false;
};

}  // namespace parlan::speechd
