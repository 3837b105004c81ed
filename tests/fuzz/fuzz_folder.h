// A folder of the fuzz run's own, for targets that write files.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// `name` in a folder made for this run and removed at its end; memory-backed
// where the system has it, since every input is written and saved.
inline std::string FuzzFilePath(const std::string& name) {
  const std::filesystem::path shm = "/dev/shm";
  const std::filesystem::path base =
      std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
  std::string folder = (base / "viveze-fuzz-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) std::abort();
  static const std::filesystem::path made = folder;
  std::atexit([] { std::filesystem::remove_all(made); });
  return (made / name).string();
}
