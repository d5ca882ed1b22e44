// A minimal host of the Parlan control: list the modes, pick one, speak, and print the events.
//
//   hello_host [INSTALL_ROOT] [TEXT] [WAV]
//
// An empty INSTALL_ROOT means the languages installed with the library; with WAV the speech is
// written into that sound file instead of being played.
#include <chrono>
#include <iostream>
#include <memory>
#include <string>

#include "parlan/EspeakEngines.h"
#include "parlan/Parlana.h"

namespace {

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

class PrintEvents : public parlan::ParlanaEvents {
 public:
  void AudioStart(int32_t&, int32_t&) override { std::cout << "AudioStart\n"; }
  void AudioStop(int32_t&, int32_t&) override { std::cout << "AudioStop\n"; }
  void WordPosition(int32_t&, int32_t&, int32_t&, int32_t, parlan::Variant, int32_t position,
                    int32_t length) override {
    std::cout << "WordPosition " << position << " " << length << "\n";
  }
};

}  // namespace

int main(int argc, char** argv) {
  parlan::ParlanaSettings settings;
  if (argc > 1) settings.InstallRoot = argv[1];
  if (argc > 3)
    settings.Engines =
        parlan::engines::EspeakEngineFactory({parlan::engines::AudioOutput::Kind::File, argv[3]});
  std::u16string text = u"Hello from the Parlan control.";
  if (argc > 2) text = std::u16string(argv[2], argv[2] + std::char_traits<char>::length(argv[2]));

  parlan::Parlana control(settings);
  control.AddEventSink(std::make_shared<PrintEvents>());

  for (int16_t i = 1; i <= control.CountEngines(); ++i)
    std::cout << i << ": " << Narrow(control.ModeName(i)) << "\n";
  if (control.CountEngines() == 0) {
    std::cout << "no voice modes on this machine\n";
    return 0;
  }
  control.SetCurrentMode(1);
  control.SetVolume(8);
  control.Speak(text);
  control.WaitUntilDone(std::chrono::seconds(30));

  std::u16string error;
  if (int16_t number = control.LastError(error))
    std::cout << "last error " << number << ": " << Narrow(error) << "\n";
  return 0;
}
