// The POSIX side of file_io.h and of the lock and the large blocks.
#include <fcntl.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>

#include "storage/files/file_io.h"
#include "storage/files/file_lock.h"
#include "storage/files/large_block_allocator.h"
#include "storage/files/process_facts.h"
#include "storage/files/replace_steps.h"
#include "storage/table_error.h"

namespace fs = std::filesystem;

namespace {

// Root may write any file, so for root a file with no write bit at all is
// the one meant to stay as it is.
bool IsReadOnly(const fs::path& file, const struct stat& info) {
  if (geteuid() == 0) return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  return faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0;
}

}  // namespace

namespace replace_steps {

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

OutputFile::~OutputFile() {
  if (fd_ >= 0) close(fd_);
}

// Created with the old file's mode, so that it is never readable by more
// users than the old file, not even while half written. A fresh file gets
// what any new file gets.
NewFile OutputFile::Create(const fs::path& path, const Existing& old) {
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

bool OutputFile::Write(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd_, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool OutputFile::Finish(bool sync) {
  const bool synced = !sync || fsync(fd_) == 0;
  const bool closed = close(fd_) == 0;
  fd_ = -1;
  return synced && closed;
}

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

}  // namespace replace_steps

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

// The file opened for reading, with its status; -1 when it cannot be opened
// or is no regular file (a directory or a device opens too, but has no text
// to read).
int OpenToRead(const std::string& path, struct stat& info) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return -1;
  }
  return fd;
}

// Reads on past interruptions; -1 on failure.
ssize_t ReadSome(int fd, char* into, std::size_t most) {
  for (;;) {
    const ssize_t got = read(fd, into, most);
    if (got >= 0 || errno != EINTR) return got;
  }
}

}  // namespace

std::optional<FileBytes> ReadWholeFile(const std::string& path, FileStamp* stamp) {
  struct Descriptor {
    ~Descriptor() {
      if (fd >= 0) close(fd);
    }
    int fd;
  };
  struct stat info {};
  const Descriptor file{OpenToRead(path, info)};
  if (file.fd < 0) return std::nullopt;
  // Of the file opened, before its bytes are read: a change while they are
  // read gives another stamp later, never the one of bytes not held.
  if (stamp != nullptr) *stamp = StampOfStatus(info);
  FileBytes bytes;
  bytes.Resize(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ReadSome(file.fd, bytes.data() + done, bytes.size() - done);
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  bytes.Resize(done);
  return bytes;
}

FileReader::FileReader(const std::string& path) {
  struct stat info {};
  handle_ = OpenToRead(path, info);
}

FileReader::~FileReader() {
  if (Opened()) close(static_cast<int>(handle_));
}

std::optional<std::size_t> FileReader::Read(char* into, std::size_t most) {
  const ssize_t got = Opened() ? ReadSome(static_cast<int>(handle_), into, most) : -1;
  if (got < 0) return std::nullopt;
  return static_cast<std::size_t>(got);
}

FileStamp StampOf(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return {};
  return StampOfStatus(info);
}

std::string ThisMachineName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::uint64_t ThisProcessId() { return static_cast<std::uint64_t>(getpid()); }

void KeepNoCoreFiles() {
  const struct rlimit none {};
  setrlimit(RLIMIT_CORE, &none);
#ifdef __linux__
  prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
#endif
}

bool ProcessIsRunning(std::uint64_t id) {
  if (id == 0 || id > static_cast<std::uint64_t>(INT32_MAX)) return false;
  // Signal 0 only asks; a process of another user answers "not permitted".
  return kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

namespace lock_steps {

std::intptr_t Open(const std::string& lockPath, std::string& reason) {
  int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  // A lock file this user may not write still locks.
  if (fd < 0) fd = open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) reason = std::strerror(errno);
  return fd;
}

Attempt TryLock(std::intptr_t handle, std::string& reason) {
  int locked = 0;
  do {
    locked = flock(static_cast<int>(handle), LOCK_EX | LOCK_NB);
  } while (locked != 0 && errno == EINTR);
  if (locked == 0) return Attempt::Locked;
  if (errno == EWOULDBLOCK) return Attempt::Busy;
  reason = std::strerror(errno);
  return Attempt::Refused;
}

void Release(std::intptr_t handle, bool locked) {
  const int fd = static_cast<int>(handle);
  if (locked) flock(fd, LOCK_UN);
  close(fd);
}

}  // namespace lock_steps

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
