#include "tests/cli/program_run.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "storage/files/file_names.h"

std::string ReadAll(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

namespace {

int ProcessId() {
#ifdef _WIN32
  return static_cast<int>(GetCurrentProcessId());
#else
  return static_cast<int>(getpid());
#endif
}

}  // namespace

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "cli_" + std::to_string(ProcessId()) + "_" + name;
}

void Write(const std::string& path, const std::string& text) {
  std::ofstream(PathOf(path), std::ios::binary) << text;
}

#ifdef _WIN32
namespace {

std::wstring Wide(const std::string& utf8) {
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
  return wide;
}

// The words of an argument text written for a POSIX shell: split at spaces,
// single quotes keeping spaces together.
std::vector<std::string> ShellWords(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (const char c : text) {
    if (c == '\'') {
      quoted = !quoted;
      inWord = true;
    } else if (c == ' ' && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word.push_back(c);
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

// One argument as the C runtime splits a command line again: in double
// quotes, the backslashes before a quote doubled.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
  line.push_back(L'"');
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    line.push_back(c);
  }
  line.append(2 * backslashes, L'\\');
  line.push_back(L'"');
}

HANDLE Inheritable(const std::string& path, bool write) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(Wide(path).c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

// Started directly, as a shell would start it, its standard streams being
// files.
Outcome RunProgram(const std::string& programPath, const std::string& args,
                   const std::string& stdinFile) {
  const std::string out = TempPath("stdout"), err = TempPath("stderr");
  const std::wstring program = Wide(programPath);
  std::wstring line;
  AppendQuoted(line, program);
  for (const std::string& word : ShellWords(args)) {
    line.push_back(L' ');
    AppendQuoted(line, Wide(word));
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = Inheritable(stdinFile, false);
  startup.hStdOutput = Inheritable(out, true);
  startup.hStdError = Inheritable(err, true);
  PROCESS_INFORMATION process{};
  int status = -1;
  if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                     nullptr, nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) status = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  for (const HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
  return {status, ReadAll(out), ReadAll(err)};
}
#else

// Arguments are single-quoted for the shell.
Outcome RunProgram(const std::string& programPath, const std::string& args,
                   const std::string& stdinFile) {
  const std::string out = TempPath("stdout"), err = TempPath("stderr");
  const std::string command =
      "'" + programPath + "' " + args + " <'" + stdinFile + "' >'" + out + "' 2>'" + err + "'";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(out), ReadAll(err)};
}
#endif
