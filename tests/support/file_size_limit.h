// A disk that fills up, for one stretch of a test.
#pragma once

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>

// While one lives, this process writes no file beyond `bytes` bytes: a write
// past it fails as on a full disk (its signal ignored), and the limit and
// the signal's handler come back when it goes.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    if (getrlimit(RLIMIT_FSIZE, &saved_) != 0) return;
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved_;
    small.rlim_cur = bytes;
    active_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~FileSizeLimit() {
    if (active_) setrlimit(RLIMIT_FSIZE, &saved_);
    if (previous_ != SIG_ERR) std::signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  bool Active() const { return active_; }

 private:
  rlimit saved_{};
  void (*previous_)(int) = SIG_ERR;
  bool active_ = false;
};
#endif
