// sd_parlan: the speech-dispatcher output module of Parlan. speech-dispatcher starts it with the
// path of its configuration file and talks to it on standard input and output.
#include <csignal>
#include <cstdio>
#include <exception>

#include "Loop.h"

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);  // a server that went away is seen as a failed write
  try {
    const parlan::speechd::ModuleConfig config =
        argc > 1 ? parlan::speechd::ReadModuleConfig(argv[1]) : parlan::speechd::ModuleConfig{};
    return parlan::speechd::RunModule(0, 1, config);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "sd_parlan: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "sd_parlan: unexpected failure\n");
  }
  return 1;
}
