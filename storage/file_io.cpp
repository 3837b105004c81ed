#include "storage/file_io.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#else
#include <fstream>
#endif

namespace fs = std::filesystem;

namespace {

enum class NewFile { Written, NameTaken, Failed };

// A name beside `target` that no other writer picks: the temporary file must
// sit in the same folder for the rename to replace the old file in one step.
fs::path TemporaryPathBeside(const fs::path& target) {
  static std::atomic<std::uint64_t> counter{0};
  const auto ticks =
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  const std::uint64_t tag = ticks * 0x9E3779B97F4A7C15ull + counter.fetch_add(1);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string suffix = ".";
  for (int shift = 60; shift >= 0; shift -= 4) suffix += kHex[(tag >> shift) & 0xF];
  suffix += ".tmp";
  fs::path name = target.filename();
  name += suffix;
  return target.parent_path() / name;
}

#ifdef _WIN32

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (Valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

constexpr DWORD kMaxChunk = 1u << 30;

NewFile WriteNewFile(const fs::path& path, std::string_view contents) {
  bool ok = false;
  {
    // No sharing while the new file is written.
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
      const DWORD error = GetLastError();
      return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NewFile::NameTaken
                                                                         : NewFile::Failed;
    }
    ok = true;
    std::size_t done = 0;
    while (ok && done < contents.size()) {
      const DWORD chunk =
          static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, kMaxChunk));
      DWORD written = 0;
      ok = WriteFile(file.Get(), contents.data() + done, chunk, &written, nullptr) &&
           written == chunk;
      done += written;
    }
    ok = ok && FlushFileBuffers(file.Get()) != 0;
  }
  if (!ok) {
    DeleteFileW(path.c_str());
    return NewFile::Failed;
  }
  return NewFile::Written;
}

bool MoveOver(const fs::path& from, const fs::path& to) {
  return MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void KeepPermissions(const fs::path&, const fs::path&) {}

#else

NewFile WriteNewFile(const fs::path& path, std::string_view contents) {
  std::error_code error;
  if (fs::symlink_status(path, error).type() != fs::file_type::not_found) return NewFile::NameTaken;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return NewFile::Failed;
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  out.flush();
  bool ok = static_cast<bool>(out);
  out.close();
  ok = ok && !out.fail();
  if (!ok) {
    fs::remove(path, error);
    return NewFile::Failed;
  }
  return NewFile::Written;
}

bool MoveOver(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::rename(from, to, error);
  return !error;
}

// The rename gives the file the new file's mode: carry the old one over.
void KeepPermissions(const fs::path& oldFile, const fs::path& newFile) {
  std::error_code error;
  const fs::file_status old = fs::status(oldFile, error);
  if (!error && fs::is_regular_file(old)) fs::permissions(newFile, old.permissions(), error);
}

#endif

}  // namespace

#ifdef _WIN32

std::optional<std::string> ReadWholeFile(const std::string& path) {
  // Others may read the file while it is read here, but not write it.
  Handle file(CreateFileW(fs::path(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return std::nullopt;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kMaxChunk));
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data() + done, chunk, &read, nullptr)) return std::nullopt;
    if (read == 0) break;
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

#else

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::error_code error;
  // A directory or a device opens as a stream too, but has no text to read.
  if (!fs::is_regular_file(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const std::streamoff size = in.tellg();
  if (size < 0) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  if (in.bad()) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

#endif

bool ReplaceFileContents(const std::string& path, std::string_view contents) {
  std::error_code error;
  fs::path target(path);
  if (fs::is_symlink(target, error)) {
    fs::path resolved = fs::weakly_canonical(target, error);
    if (error) return false;
    target = std::move(resolved);
  }
  constexpr int kAttempts = 16;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const fs::path temporary = TemporaryPathBeside(target);
    switch (WriteNewFile(temporary, contents)) {
      case NewFile::NameTaken:
        continue;
      case NewFile::Failed:
        return false;
      case NewFile::Written:
        KeepPermissions(target, temporary);
        if (MoveOver(temporary, target)) return true;
        fs::remove(temporary, error);
        return false;
    }
  }
  return false;
}
