#include "Loop.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <exception>

namespace parlan::speechd {

namespace {

// Reads what is waiting on `in` and hands the requests to the module; false at end of input.
bool ReadRequests(int in, ProtocolParser& parser, Module& module) {
  char buffer[65536];
  const ssize_t n = ::read(in, buffer, sizeof buffer);
  if (n < 0) return errno == EINTR || errno == EAGAIN;
  if (n == 0) return false;
  for (const Request& r : parser.Feed(std::string_view(buffer, static_cast<size_t>(n)))) {
    module.Handle(r);
    if (module.Quitting()) break;
  }
  return true;
}

}  // namespace

int RunModule(int in, int out, const ModuleConfig& config) {
  ServerOutput output(out);
  Module module(config, output);
  ProtocolParser parser;
  bool open = true;
  while (open && !module.Quitting() && output.Healthy()) {
    try {
      // Speech moves on every few milliseconds; an idle module only waits for requests.
      pollfd p{in, POLLIN, 0};
      const int ready = ::poll(&p, 1, module.Busy() ? 5 : 200);
      if (ready > 0) open = ReadRequests(in, parser, module);
      if (ready < 0 && errno != EINTR) open = false;
      module.Tick();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "sd_parlan: %s\n", e.what());
    } catch (...) {
      std::fprintf(stderr, "sd_parlan: unexpected failure\n");
    }
  }
  module.Shutdown();
  return 0;
}

}  // namespace parlan::speechd
