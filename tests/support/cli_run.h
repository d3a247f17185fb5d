// Runs panelcraft-cli (PANELCRAFT_CLI) in a shell with the given standard
// input, for the CLI tests.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_dir.h"

namespace panelcraft::test {

struct CliResult {
  int code = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Standard output and standard error are kept apart. `arguments` is shell text after the program name; `input` goes to
// its standard input. Files for the streams live in `scratch`.
inline CliResult RunCli(const std::filesystem::path& scratch, const std::string& arguments,
                        const std::string& input = "") {
  const char* cli = std::getenv("PANELCRAFT_CLI");
  CliResult result;
  if (!cli) {
    result.err = "PANELCRAFT_CLI is not set";
    return result;
  }
  std::filesystem::create_directories(scratch);
  const auto in = scratch / "stdin", out = scratch / "stdout", err = scratch / "stderr";
  std::ofstream(in, std::ios::binary) << input;
  const std::string command = std::string("'") + cli + "' " + arguments + " <'" + in.string() + "' >'" + out.string() +
                              "' 2>'" + err.string() + "'";
  const int status = std::system(command.c_str());
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFile(out);
  result.err = ReadFile(err);
  return result;
}

// Runs a shell command line with empty standard input; `out` holds its
// standard output and standard error together, as a terminal shows them.
inline CliResult RunTogether(const std::string& commandLine) {
  CliResult result;
  FILE* pipe = ::popen((commandLine + " 2>&1 </dev/null").c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  const int status = ::pclose(pipe);
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace panelcraft::test
