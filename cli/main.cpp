#include <filesystem>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "engine/short_date.h"
#include "storage/files/file_names.h"
#include "storage/setup/data_files.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// Needs what windows.h defines.
#include <shellapi.h>

#include <cstdio>
#endif

namespace {

#ifdef _WIN32
// The arguments as typed, in UTF-8 like every text the commands take: the
// narrow ones are in the ANSI code page, which cannot hold every letter.
std::vector<std::string> Utf8Arguments() {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide != nullptr && i < count; ++i) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(size > 0 ? static_cast<std::size_t>(size) : 1u, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
    arg.pop_back();
    args.push_back(std::move(arg));
  }
  LocalFree(wide);
  return args;
}
#endif

}  // namespace

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
  // The command line is its own process: dates go to the engine in one fixed form.
  SetShortDateFormat("dd/MM/yyyy");
#ifdef _WIN32
  // Lists and messages are read and written byte for byte: no CR added
  // before LF, no stop at Ctrl+Z.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  return RunCommand(LocateDataFiles(), Utf8Arguments());
#else
  return RunCommand(LocateDataFiles(), {argv + 1, argv + argc});
#endif
}
