#include "storage/files/file_lock.h"

#include <thread>

FileLock::FileLock(const std::string& lockPath, std::chrono::milliseconds limit,
                   const std::function<void()>& waiting) {
  const auto refused = [&lockPath](const std::string& reason) {
    return TableError("Impossibile bloccare " + lockPath + ": " + reason);
  };
  std::string reason;
  handle_ = lock_steps::Open(lockPath, reason);
  if (handle_ == -1) throw refused(reason);
  const auto until = std::chrono::steady_clock::now() + limit;
  for (;;) {
    switch (lock_steps::TryLock(handle_, reason)) {
      case lock_steps::Attempt::Locked:
        return;
      case lock_steps::Attempt::Refused:
        lock_steps::Release(handle_, false);
        throw refused(reason);
      case lock_steps::Attempt::Busy:
        break;
    }
    if (std::chrono::steady_clock::now() >= until) {
      lock_steps::Release(handle_, false);
      throw LockBusy("Impossibile bloccare " + lockPath + ": in uso da un altro programma");
    }
    if (waiting) waiting();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

FileLock::~FileLock() { lock_steps::Release(handle_, true); }
