// The steps of a file's replace that each system takes its own way.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

#ifdef _WIN32
#include "storage/files/windows_api.h"
#else
#include <sys/types.h>
#endif

// The steps of replacing a file that each system takes its own way
// (file_io_posix.cpp, file_io_windows.cpp); file_io.cpp puts them together.
namespace replace_steps {

enum class NewFile { Created, NameTaken, Failed };

// What the file to be replaced is, and what a new file takes from it.
struct Existing {
  bool exists = false;
  bool regular = true;
  bool readOnly = false;
#ifdef _WIN32
  // Its access rights and attributes (hidden, not indexed…), to give the
  // new file while it is written.
  std::vector<unsigned char> security;
  DWORD attributes = FILE_ATTRIBUTE_NORMAL;
#else
  mode_t mode = 0;
  uid_t owner = 0;
  gid_t group = 0;
#endif
};

#ifdef _WIN32
class Handle {
 public:
  explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  void Reset(HANDLE handle) {
    Close();
    handle_ = handle;
  }
  bool Close() {
    const bool ok = !Valid() || CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE handle_;
};
#endif

// The file at `file` as it is now (`exists` false when there is none); no
// value when the system cannot tell.
std::optional<Existing> Inspect(const std::filesystem::path& file);

// The new file, written beside the old one before it takes its place.
class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  NewFile Create(const std::filesystem::path& path, const Existing& old);
  bool Write(const char* data, std::size_t size);
  // Synced to disk (unless `sync` is false) and closed.
  bool Finish(bool sync = true);

 private:
#ifdef _WIN32
  Handle file_;
#else
  int fd_ = -1;
#endif
};

// Moves the new file over the old one in one step.
bool Install(const std::filesystem::path& from, const std::filesystem::path& to,
             const Existing& old);

// Makes the move itself survive a power cut, where the system needs telling.
void SyncFolder(const std::filesystem::path& folder);

}  // namespace replace_steps
