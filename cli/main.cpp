#include <filesystem>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "engine/short_date.h"

namespace {

// The folder the window's files are looked for in: the executable's.
std::string ProgramFolder(const char* argv0) {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) exe = std::filesystem::absolute(argv0, ec);
  return exe.parent_path().string();
}

}  // namespace

int main(int argc, char** argv) {
  // The command line is its own process: dates go to the engine in one fixed form.
  SetShortDateFormat("dd/MM/yyyy");
  return RunCommand(ProgramFolder(argv[0]), {argv + 1, argv + argc});
}
