#include "storage/file_io.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>

#include "storage/file_lock.h"
#include "storage/file_names.h"
#include "storage/line_writer.h"
#include "storage/table_error.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace fs = std::filesystem;

namespace {

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

constexpr std::size_t kMaxChunk = 1u << 30;

// Another program (a second copy reading, a virus scanner, an indexer) may
// hold the file for a moment; an open or a rename refused for that is tried
// again for a while before it counts as failed. `alsoBusy` is one more error
// that means so for this attempt.
template <typename Attempt>
bool RetriedWhileBusy(DWORD alsoBusy, Attempt&& attempt) {
  constexpr int kTries = 40;
  constexpr DWORD kPause = 25;
  for (int tried = 1;; ++tried) {
    if (attempt()) return true;
    const DWORD error = GetLastError();
    const bool busy =
        error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == alsoBusy;
    if (!busy || tried == kTries) return false;
    Sleep(kPause);
  }
}

std::optional<Existing> Inspect(const fs::path& file) {
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Existing{};
    return std::nullopt;
  }
  Existing old;
  old.exists = true;
  old.regular = (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
  old.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  if ((attributes & kKept) != 0) old.attributes = attributes & kKept;
  // Without rights to read (a file system without them) the folder's apply.
  constexpr SECURITY_INFORMATION kWhat = DACL_SECURITY_INFORMATION;
  DWORD size = 0;
  GetFileSecurityW(file.c_str(), kWhat, nullptr, 0, &size);
  old.security.resize(size);
  if (size == 0 || !GetFileSecurityW(file.c_str(), kWhat, old.security.data(), size, &size)) {
    old.security.clear();
  }
  return old;
}

class OutputFile {
 public:
  // Made with the old file's access rights alone, none taken from the
  // folder, so that no more users may read it than the old file, not even
  // while half written. No sharing while it is written.
  NewFile Create(const fs::path& path, const Existing& old) {
    std::vector<unsigned char> security = old.security;
    SECURITY_ATTRIBUTES rights{sizeof(SECURITY_ATTRIBUTES), security.data(), FALSE};
    const bool own =
        !security.empty() &&
        SetSecurityDescriptorControl(security.data(), SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    file_.Reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, own ? &rights : nullptr, CREATE_NEW,
                            old.attributes, nullptr));
    if (file_.Valid()) return NewFile::Created;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NewFile::NameTaken
                                                                       : NewFile::Failed;
  }
  bool Write(const char* data, std::size_t size) {
    while (size > 0) {
      const DWORD chunk = static_cast<DWORD>(std::min(size, kMaxChunk));
      DWORD written = 0;
      if (!WriteFile(file_.Get(), data, chunk, &written, nullptr) || written == 0) return false;
      data += written;
      size -= written;
    }
    return true;
  }
  bool Finish() {
    const bool flushed = FlushFileBuffers(file_.Get()) != 0;
    return file_.Close() && flushed;
  }

 private:
  Handle file_;
};

// One rename, so that every reader finds either the old file or the new one
// whole. (ReplaceFileW is not: it runs in steps and may fail half done.) The
// new file already has the old one's rights and attributes.
bool Install(const fs::path& from, const fs::path& to, const Existing&) {
  // A rename over a file that another program holds open is refused as
  // access denied.
  return RetriedWhileBusy(ERROR_ACCESS_DENIED, [&] {
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  });
}

// The write-through move reaches the disk on its own.
void SyncFolder(const fs::path&) {}

#else

// Root may write any file, so for root a file with no write bit at all is
// the one meant to stay as it is.
bool IsReadOnly(const fs::path& file, const struct stat& info) {
  if (geteuid() == 0) return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  return faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0;
}

std::optional<Existing> Inspect(const fs::path& file) {
  struct stat info {};
  if (stat(file.c_str(), &info) != 0) {
    if (errno == ENOENT) return Existing{};
    return std::nullopt;
  }
  Existing old;
  old.exists = true;
  old.regular = S_ISREG(info.st_mode);
  old.readOnly = IsReadOnly(file, info);
  old.mode = info.st_mode & 0777;
  old.owner = info.st_uid;
  old.group = info.st_gid;
  return old;
}

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() {
    if (fd_ >= 0) close(fd_);
  }

  // Created with the old file's mode, so that it is never readable by more
  // users than the old file, not even while half written. A fresh file gets
  // what any new file gets.
  NewFile Create(const fs::path& path, const Existing& old) {
    const mode_t mode = old.exists ? old.mode : 0666;
    fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd_ < 0) return errno == EEXIST ? NewFile::NameTaken : NewFile::Failed;
    if (!old.exists) return NewFile::Created;
    // The owner first, as a change of owner may clear mode bits; only root
    // may give a file away, others may still keep the group.
    if (fchown(fd_, old.owner, old.group) != 0 && fchown(fd_, static_cast<uid_t>(-1), old.group)) {
      // Kept what the system allows.
    }
    if (fchmod(fd_, mode) != 0) {
      unlink(path.c_str());
      return NewFile::Failed;
    }
    return NewFile::Created;
  }

  bool Write(const char* data, std::size_t size) {
    while (size > 0) {
      const ssize_t written = write(fd_, data, size);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      data += written;
      size -= static_cast<std::size_t>(written);
    }
    return true;
  }

  bool Finish() {
    const bool synced = fsync(fd_) == 0;
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    return synced && closed;
  }

 private:
  int fd_ = -1;
};

bool Install(const fs::path& from, const fs::path& to, const Existing&) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

// Makes the rename itself survive a power cut. Some file systems cannot sync
// a folder; the new file is in place all the same.
void SyncFolder(const fs::path& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

#endif

// Writes a new file through `write`, then moves it over `target`.
template <typename Write>
bool Replace(const std::string& path, Write&& write) {
  const std::optional<fs::path> target = FinalTarget(PathOf(path));
  if (!target) return false;
  const std::optional<Existing> old = Inspect(*target);
  if (!old || !old->regular || old->readOnly) return false;
  constexpr int kAttempts = 16;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const fs::path temporary = TemporaryPathBeside(*target);
    OutputFile out;
    switch (out.Create(temporary, *old)) {
      case NewFile::NameTaken:
        continue;
      case NewFile::Failed:
        return false;
      case NewFile::Created:
        break;
    }
    const bool written = write(out);
    if (!(out.Finish() && written && Install(temporary, *target, *old))) {
      std::error_code error;
      fs::remove(temporary, error);
      return false;
    }
    SyncFolder(FolderOf(*target));
    return true;
  }
  return false;
}

}  // namespace

#ifdef _WIN32

namespace {

FileStamp StampOfHandle(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info)) return {};
  auto join = [](DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | static_cast<std::uint64_t>(low);
  };
  // File times count 100 ns steps from 1601; from 1970 they fit in
  // nanoseconds.
  constexpr std::uint64_t kFrom1601To1970 = 116444736000000000ull;
  const std::uint64_t ticks =
      join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
  FileStamp stamp;
  stamp.exists = true;
  stamp.size = join(info.nFileSizeHigh, info.nFileSizeLow);
  stamp.modified =
      (static_cast<std::int64_t>(ticks) - static_cast<std::int64_t>(kFrom1601To1970)) * 100;
  stamp.identity = join(info.nFileIndexHigh, info.nFileIndexLow) ^
                   (static_cast<std::uint64_t>(info.dwVolumeSerialNumber) << 32);
  return stamp;
}

}  // namespace

std::optional<FileBytes> ReadWholeFile(const std::string& path, FileStamp* stamp) {
  // Others may read the file while it is read here, but not write it; they
  // may rename a new file over it, as a replace does, and this read still
  // gets the old file whole.
  const fs::path name = PathOf(path);
  Handle file;
  const bool opened = RetriedWhileBusy(ERROR_SHARING_VIOLATION, [&] {
    file.Reset(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid();
  });
  if (!opened) return std::nullopt;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return std::nullopt;
  // Taken before the bytes are read: a change while they are read gives
  // another stamp later, never the one of bytes not held.
  if (stamp != nullptr) *stamp = StampOfHandle(file.Get());
  FileBytes bytes;
  bytes.Resize(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min(bytes.size() - done, kMaxChunk));
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data() + done, chunk, &read, nullptr)) return std::nullopt;
    if (read == 0) break;
    done += read;
  }
  bytes.Resize(done);
  return bytes;
}

FileStamp StampOf(const std::string& path) {
  Handle file(CreateFileW(PathOf(path).c_str(), FILE_READ_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.Valid()) return {};
  return StampOfHandle(file.Get());
}

FileLock::FileLock(const std::string& lockPath)
    : handle_(reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE)) {
  const fs::path path = PathOf(lockPath);
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  // A lock file this user may not write still locks.
  if (file == INVALID_HANDLE_VALUE) {
    file = CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) throw TableError("Cannot create file " + lockPath);
  OVERLAPPED whole{};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
    CloseHandle(file);
    throw TableError("Cannot create file " + lockPath);
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
}

FileLock::~FileLock() {
  const HANDLE file = reinterpret_cast<HANDLE>(handle_);
  OVERLAPPED whole{};
  UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
  CloseHandle(file);
}

// Huge pages need a privilege users seldom have; the heap hands blocks this
// large to the system as they are.
void* AllocateLargeBlock(std::size_t bytes) { return ::operator new(bytes); }

void FreeLargeBlock(void* block, std::size_t) noexcept { ::operator delete(block); }

#else

namespace {

FileStamp StampOfStatus(const struct stat& info) {
  FileStamp stamp;
  stamp.exists = true;
  stamp.size = static_cast<std::uint64_t>(info.st_size);
  stamp.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                   static_cast<std::int64_t>(info.st_mtim.tv_nsec);
  stamp.identity =
      static_cast<std::uint64_t>(info.st_ino) ^ (static_cast<std::uint64_t>(info.st_dev) << 40);
  return stamp;
}

}  // namespace

std::optional<FileBytes> ReadWholeFile(const std::string& path, FileStamp* stamp) {
  struct Descriptor {
    ~Descriptor() {
      if (fd >= 0) close(fd);
    }
    int fd;
  } file{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  struct stat info {};
  // A directory or a device opens too, but has no text to read.
  if (file.fd < 0 || fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  // Of the file opened, before its bytes are read: a change while they are
  // read gives another stamp later, never the one of bytes not held.
  if (stamp != nullptr) *stamp = StampOfStatus(info);
  FileBytes bytes;
  bytes.Resize(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = read(file.fd, bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  bytes.Resize(done);
  return bytes;
}

FileStamp StampOf(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return {};
  return StampOfStatus(info);
}

FileLock::FileLock(const std::string& lockPath) : handle_(-1) {
  int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  // A lock file this user may not write still locks.
  if (fd < 0) fd = open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw TableError("Cannot create file " + lockPath);
  int locked = 0;
  do {
    locked = flock(fd, LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    close(fd);
    throw TableError("Cannot create file " + lockPath);
  }
  handle_ = fd;
}

FileLock::~FileLock() {
  const int fd = static_cast<int>(handle_);
  flock(fd, LOCK_UN);
  close(fd);
}

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t HugePagesFor(std::size_t bytes) {
  return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

}  // namespace

void* AllocateLargeBlock(std::size_t bytes) {
  // Mapped with a huge page's room to spare, then trimmed to start on a
  // huge-page boundary: only such a stretch can be given huge pages.
  const std::size_t length = HugePagesFor(bytes);
  void* const mapped =
      mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto at = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t start = (at + kHugePage - 1) / kHugePage * kHugePage;
  if (start > at) munmap(mapped, start - at);
  if (const std::size_t after = at + kHugePage - start; after > 0) {
    munmap(reinterpret_cast<void*>(start + length), after);
  }
#ifdef MADV_HUGEPAGE
  // Where the system gives huge pages only when asked; nothing is lost
  // where it gives none.
  madvise(reinterpret_cast<void*>(start), length, MADV_HUGEPAGE);
#endif
  return reinterpret_cast<void*>(start);
}

void FreeLargeBlock(void* block, std::size_t bytes) noexcept { munmap(block, HugePagesFor(bytes)); }

#endif

bool ReplaceFileContents(const std::string& path, std::string_view contents) {
  return Replace(
      path, [contents](OutputFile& out) { return out.Write(contents.data(), contents.size()); });
}

bool ReplaceFileLines(const std::string& path, const std::vector<std::string_view>& lines) {
  return ReplaceFileFrom(path,
                         [&lines](const ByteSink& sink) { return WriteLinesThrough(lines, sink); });
}

bool ReplaceFileFrom(const std::string& path,
                     const std::function<bool(const ByteSink& sink)>& produce) {
  return Replace(path, [&produce](OutputFile& out) {
    return produce(
        [&out](std::string_view bytes) { return out.Write(bytes.data(), bytes.size()); });
  });
}

std::string CopyBesideAsOriginal(const std::string& path) {
  const std::optional<fs::path> target = FinalTarget(PathOf(path));
  const std::optional<FileBytes> bytes = ReadWholeFile(path);
  const std::optional<Existing> old = target ? Inspect(*target) : std::nullopt;
  if (!bytes || !old) throw TableError("Cannot open file " + path);
  fs::path name = target->filename();
  name += ".orig";
  const fs::path first = target->parent_path() / name;
  for (int number = 1; number < 10000; ++number) {
    fs::path copy = first;
    if (number > 1) {
      copy += ".";
      copy += std::to_string(number);
    }
    OutputFile out;
    const NewFile created = out.Create(copy, *old);
    if (created == NewFile::NameTaken) continue;
    if (created == NewFile::Failed) throw TableError("Cannot create file " + Utf8Of(copy));
    const bool written = out.Write(bytes->data(), bytes->size());
    if (out.Finish() && written) {
      SyncFolder(FolderOf(*target));
      return Utf8Of(copy);
    }
    std::error_code ignored;
    fs::remove(copy, ignored);
    throw TableError("Cannot create file " + Utf8Of(copy));
  }
  throw TableError("Cannot create file " + Utf8Of(first));
}

bool IsReplaceableFile(const std::string& path) {
  const std::optional<fs::path> target = FinalTarget(PathOf(path));
  if (!target) return false;
  const std::optional<Existing> old = Inspect(*target);
  return old && old->exists && old->regular && !old->readOnly;
}
