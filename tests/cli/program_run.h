// A built program run as a shell would, for the command-line tests.
#pragma once

// Runs a built program as a user's shell would, for the command-line tests:
// its exit status and what it wrote, and the files around it.
#include <string>

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

#ifdef _WIN32
inline const std::string kNoInput = "NUL";
#else
inline const std::string kNoInput = "/dev/null";
#endif

std::string ReadAll(const std::string& path);
// A path of this test process's own in the test folder: ctest runs tests as
// separate processes, several at once.
std::string TempPath(const std::string& name);
void Write(const std::string& path, const std::string& text);

// `programPath` with `args` written for a POSIX shell (single quotes keep
// spaces together), standard input from `stdinFile`.
Outcome RunProgram(const std::string& programPath, const std::string& args,
                   const std::string& stdinFile = kNoInput);
