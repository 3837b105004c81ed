#include <filesystem>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "engine/short_date.h"
#include "storage/data_files.h"
#include "storage/file_names.h"

namespace {

// The folder of the comuni.dat the window would read: beside the executable
// or, installed, the installed data folder.
std::string MunicipalityFolder() {
  return Utf8Of(PathOf(LocateDataFiles().municipalities).parent_path());
}

}  // namespace

int main(int argc, char** argv) {
  // The command line is its own process: dates go to the engine in one fixed form.
  SetShortDateFormat("dd/MM/yyyy");
  return RunCommand(MunicipalityFolder(), {argv + 1, argv + argc});
}
