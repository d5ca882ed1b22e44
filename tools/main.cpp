// parlan: the command-line host of the Parlan text-to-speech control.
#include <iostream>

#include <unistd.h>

#include "Commands.h"
#include "Options.h"
#include "Output.h"

int main(int argc, char** argv) {
  parlan::cli::StandardOutput standardOutput;
  parlan::cli::CliOptions options;
  if (auto status = parlan::cli::ParseCommandLine(argc, argv, options, std::cout, std::cerr))
    return standardOutput.Finish(*status, std::cerr);
  options.Text.LineByLine = ::isatty(STDIN_FILENO) == 1;
  const int status = parlan::cli::RunCommand(options, std::cin, std::cout, std::cerr);
  return standardOutput.Finish(status, std::cerr);
}
