#include "storage/files/data_folder.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "storage/files/file_names.h"
#include "storage/table_error.h"

namespace fs = std::filesystem;

void MakeDataFolder(const std::string& folder, const std::string& forFile) {
  const TableError cannotCreate("Cannot create file " + forFile);
  std::error_code error;
  const fs::path target = PathOf(folder);
  if (fs::is_directory(target, error)) return;
  std::vector<fs::path> missing;
  for (fs::path step = target; !step.empty() && !fs::exists(step, error);
       step = step.parent_path()) {
    missing.push_back(step);
    if (step == step.parent_path()) break;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (!fs::create_directory(*it, error) && !fs::is_directory(*it, error)) throw cannotCreate;
#ifndef _WIN32
    fs::permissions(*it, fs::perms::owner_all, error);
#endif
  }
  if (!fs::is_directory(target, error)) throw cannotCreate;
}
