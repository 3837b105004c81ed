// The facts the place of the data files is chosen from, read from the running
// program and its system.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "storage/files/file_io.h"
#include "storage/files/file_names.h"
#include "storage/setup/data_files.h"

#ifdef _WIN32
#include <vector>

#include "storage/files/windows_api.h"
#endif

// Set by the build from the install prefix.
#ifndef VIVEZE_DATA_FROM_BIN
#define VIVEZE_DATA_FROM_BIN ""
#endif
#ifndef VIVEZE_INSTALLED_DATA
#define VIVEZE_INSTALLED_DATA ""
#endif

namespace fs = std::filesystem;

namespace {

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(PathOf(path), error);
}

// Tried rather than judged from permissions: on Windows only trying tells
// what the folder's access rights allow. The probe carries the temporary
// name of an archive write, so one left by a crash is cleaned up with those.
bool CanMakeFilesIn(const std::string& folder) {
  std::error_code error;
  const fs::path probe = TemporaryPathBeside(PathOf(folder) / kArchiveFileName);
  bool made = false;
  {
    std::ofstream out(probe, std::ios::binary);
    made = out.is_open();
  }
  if (made) fs::remove(probe, error);
  return made;
}

std::string Environment(const char* name) {
#ifdef _WIN32
  // Read wide: a user's folder may hold letters the ANSI code page lacks.
  const std::wstring wideName(name, name + std::char_traits<char>::length(name));
  const wchar_t* value = _wgetenv(wideName.c_str());
  return value == nullptr ? std::string() : Utf8Of(fs::path(value));
#else
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
#endif
}

}  // namespace

std::string ExecutableFolder() {
#ifdef _WIN32
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size())
      return Utf8Of(fs::path(std::wstring(buffer.data(), length)).parent_path());
    buffer.resize(buffer.size() * 2);
  }
#else
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : Utf8Of(exe.parent_path());
#endif
}

DataFileFacts ReadDataFileFacts() {
  DataFileFacts facts;
  facts.executableFolder = ExecutableFolder();
  facts.dataFolderFromExecutable = VIVEZE_DATA_FROM_BIN;
  facts.installedDataFolder = VIVEZE_INSTALLED_DATA;
  facts.fileExists = Exists;
  // The replace makes its new file in the archive's folder.
  facts.fileWritable = [](const std::string& path) {
    return IsReplaceableFile(path) && CanMakeFilesIn(Utf8Of(PathOf(path).parent_path()));
  };
  facts.folderWritable = CanMakeFilesIn;
  facts.environment = Environment;
  return facts;
}
