#pragma once

#include <cstdint>
#include <string>

// Exclusive lock on a lock file, shared by every process of any user that
// names the same file. The system releases it when its process ends, however
// it ends, so a copy that died leaves no lock behind.
class FileLock {
 public:
  // Blocks until the lock is held; creates the lock file when missing.
  // Throws TableError "Cannot create file %s" when it cannot be opened.
  explicit FileLock(const std::string& lockPath);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  std::intptr_t handle_;
};
