// The lock that lets one copy at a time write a file.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "storage/table_error.h"

// Another holds the lock, and kept it past the limit waited.
class LockBusy : public TableError {
 public:
  using TableError::TableError;
};

// How long a lock is waited for: a copy that stopped while holding it (a
// hung machine, a laptop closed on a share) must not freeze every other.
inline constexpr std::chrono::milliseconds kLockLimit{10000};

// Exclusive lock on a lock file, shared by every process of any user that
// names the same file. The system releases it when its process ends, however
// it ends, so a copy that died leaves no lock behind.
class FileLock {
 public:
  // Waits at most `limit` for the lock, calling `waiting` (when given) about
  // every 50 ms meanwhile, so that a window keeps painting; creates the lock
  // file when missing. Throws LockBusy when another still holds it then, and
  // TableError "Impossibile bloccare <lock path>: <the system's reason>" when
  // the lock file cannot be opened or the system refuses to lock it.
  explicit FileLock(const std::string& lockPath, std::chrono::milliseconds limit = kLockLimit,
                    const std::function<void()>& waiting = {});
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  std::intptr_t handle_;
};

// One step each, taken each system's way (file_io_posix.cpp,
// file_io_windows.cpp); FileLock waits with them.
namespace lock_steps {

enum class Attempt { Locked, Busy, Refused };

// The lock file opened (made when missing; only readable will do), or -1
// with the system's reason.
std::intptr_t Open(const std::string& lockPath, std::string& reason);
// One try without waiting; `reason` says why it was refused.
Attempt TryLock(std::intptr_t handle, std::string& reason);
// Lets go of a lock held, or only closes, and closes the file.
void Release(std::intptr_t handle, bool locked);

}  // namespace lock_steps
