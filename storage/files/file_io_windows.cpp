// The Windows side of file_io.h and of the lock and the large blocks.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <new>
#include <optional>
#include <vector>

#include "storage/files/file_io.h"
#include "storage/files/file_lock.h"
#include "storage/files/file_names.h"
#include "storage/files/large_block_allocator.h"
#include "storage/files/process_facts.h"
#include "storage/files/replace_steps.h"
#include "storage/files/windows_api.h"
#include "storage/table_error.h"

namespace fs = std::filesystem;
using replace_steps::Handle;

namespace {

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

}  // namespace

namespace replace_steps {

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

OutputFile::~OutputFile() = default;

// Made with the old file's access rights alone, none taken from the folder,
// so that no more users may read it than the old file, not even while half
// written. No sharing while it is written.
NewFile OutputFile::Create(const fs::path& path, const Existing& old) {
  std::vector<unsigned char> security = old.security;
  SECURITY_ATTRIBUTES rights{sizeof(SECURITY_ATTRIBUTES), security.data(), FALSE};
  const bool own = !security.empty() && SetSecurityDescriptorControl(
                                            security.data(), SE_DACL_PROTECTED, SE_DACL_PROTECTED);
  file_.Reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, own ? &rights : nullptr, CREATE_NEW,
                          old.attributes, nullptr));
  if (file_.Valid()) return NewFile::Created;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NewFile::NameTaken
                                                                     : NewFile::Failed;
}

bool OutputFile::Write(const char* data, std::size_t size) {
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min(size, kMaxChunk));
    DWORD written = 0;
    if (!WriteFile(file_.Get(), data, chunk, &written, nullptr) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

bool OutputFile::Finish(bool sync) {
  const bool flushed = !sync || FlushFileBuffers(file_.Get()) != 0;
  return file_.Close() && flushed;
}

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

}  // namespace replace_steps

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

// Others may read the file while it is read here, but not write it; they may
// rename a new file over it, as a replace does, and this read still gets the
// old file whole.
HANDLE OpenToRead(const std::string& path) {
  const fs::path name = PathOf(path);
  HANDLE file = INVALID_HANDLE_VALUE;
  RetriedWhileBusy(ERROR_SHARING_VIOLATION, [&] {
    file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file != INVALID_HANDLE_VALUE;
  });
  return file;
}

}  // namespace

std::optional<FileBytes> ReadWholeFile(const std::string& path, FileStamp* stamp) {
  Handle file(OpenToRead(path));
  if (!file.Valid()) return std::nullopt;
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

FileReader::FileReader(const std::string& path) {
  const HANDLE file = OpenToRead(path);
  if (file != INVALID_HANDLE_VALUE) handle_ = reinterpret_cast<std::intptr_t>(file);
}

FileReader::~FileReader() {
  if (Opened()) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::optional<std::size_t> FileReader::Read(char* into, std::size_t most) {
  DWORD read = 0;
  if (!Opened() || !ReadFile(reinterpret_cast<HANDLE>(handle_), into,
                             static_cast<DWORD>(std::min(most, kMaxChunk)), &read, nullptr)) {
    return std::nullopt;
  }
  return read;
}

FileStamp StampOf(const std::string& path) {
  Handle file(CreateFileW(PathOf(path).c_str(), FILE_READ_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.Valid()) return {};
  return StampOfHandle(file.Get());
}

namespace {

// The system's words for its last error.
std::string SystemReason() {
  char text[512];
  const DWORD size = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, GetLastError(), 0, text, sizeof text, nullptr);
  std::string reason(text, size);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                             reason.back() == '.' || reason.back() == ' ')) {
    reason.pop_back();
  }
  return reason;
}

}  // namespace

std::string ThisMachineName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

std::uint64_t ThisProcessId() { return GetCurrentProcessId(); }

void KeepNoCoreFiles() {
  // Looked up, not linked: the toolchain's import library may lack it.
  using SetFlags = HRESULT(WINAPI*)(DWORD);
  constexpr DWORD kNoHeap = 1;  // WER_FAULT_REPORTING_FLAG_NOHEAP
  if (const HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
    if (const FARPROC found = GetProcAddress(kernel, "WerSetFlags")) {
      reinterpret_cast<SetFlags>(reinterpret_cast<std::uintptr_t>(found))(kNoHeap);
    }
  }
}

bool ProcessIsRunning(std::uint64_t id) {
  if (id == 0 || id > MAXDWORD) return false;
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

namespace lock_steps {

std::intptr_t Open(const std::string& lockPath, std::string& reason) {
  const fs::path path = PathOf(lockPath);
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  // A lock file this user may not write still locks.
  if (file == INVALID_HANDLE_VALUE) {
    file = CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) {
    reason = SystemReason();
    return -1;
  }
  return reinterpret_cast<std::intptr_t>(file);
}

Attempt TryLock(std::intptr_t handle, std::string& reason) {
  OVERLAPPED whole{};
  if (LockFileEx(reinterpret_cast<HANDLE>(handle),
                 LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                 &whole)) {
    return Attempt::Locked;
  }
  if (GetLastError() == ERROR_LOCK_VIOLATION) return Attempt::Busy;
  reason = SystemReason();
  return Attempt::Refused;
}

void Release(std::intptr_t handle, bool locked) {
  const HANDLE file = reinterpret_cast<HANDLE>(handle);
  if (locked) {
    OVERLAPPED whole{};
    UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
  }
  CloseHandle(file);
}

}  // namespace lock_steps

// Huge pages need a privilege users seldom have; the heap hands blocks this
// large to the system as they are.
void* AllocateLargeBlock(std::size_t bytes) { return ::operator new(bytes); }

void FreeLargeBlock(void* block, std::size_t) noexcept { ::operator delete(block); }
