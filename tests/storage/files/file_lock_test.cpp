#include <gtest/gtest.h>

#ifdef __unix__
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include "storage/files/file_lock.h"
#include "storage/files/file_names.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

// Appends one line to a log shared by the processes of a test.
void Log(const std::string& path, const std::string& line) {
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0600);
  const std::string text = line + "\n";
  EXPECT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  close(fd);
}

// Blocks until the other side writes a byte.
void WaitFor(int readEnd) {
  char byte = 0;
  ASSERT_EQ(read(readEnd, &byte, 1), 1);
}

// A process that takes the lock and keeps it until killed; returns once it
// holds it.
pid_t StartHolder(const std::string& lock) {
  int held[2];
  EXPECT_EQ(pipe(held), 0);
  const pid_t holder = StartChild([&] {
    FileLock taken(lock);
    if (write(held[1], "x", 1) != 1) return 2;
    pause();
    return 0;
  });
  WaitFor(held[0]);
  close(held[0]);
  close(held[1]);
  return holder;
}

}  // namespace

// The log can only read this way if the second process waited: the first one
// writes its line before it lets go and sleeps long before that.
TEST(FileLock, ASecondProcessWaitsUntilTheFirstReleases) {
  TempFolder folder;
  const std::string lock = folder.File("archivio.dat.lock");
  const std::string log = folder.File("log");
  int held[2];
  ASSERT_EQ(pipe(held), 0);
  const pid_t first = StartChild([&] {
    FileLock taken(lock);
    Log(log, "first holds");
    if (write(held[1], "x", 1) != 1) return 2;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Log(log, "first releases");
    return 0;
  });
  WaitFor(held[0]);
  const pid_t second = StartChild([&] {
    alarm(20);  // a lock never given up fails the test instead of hanging it
    FileLock taken(lock);
    Log(log, "second holds");
    return 0;
  });
  EXPECT_EQ(ExitCodeOf(first), 0);
  EXPECT_EQ(ExitCodeOf(second), 0);
  EXPECT_EQ(TempFolder::Read(log), "first holds\nfirst releases\nsecond holds\n");
  close(held[0]);
  close(held[1]);
}

TEST(FileLock, ALockHeldByAKilledProcessIsFree) {
  TempFolder folder;
  const std::string lock = folder.File("archivio.dat.lock");
  const pid_t holder = StartHolder(lock);
  kill(holder, SIGKILL);
  EXPECT_EQ(ExitCodeOf(holder), -1);
  const pid_t next = StartChild([&] {
    alarm(20);
    FileLock taken(lock);
    return 0;
  });
  EXPECT_EQ(ExitCodeOf(next), 0);
  // And in this process, again and again: each lock is let go.
  for (int i = 0; i < 3; ++i) FileLock taken(lock);
}

// A holder that never lets go is waited for up to the limit, the waiting
// side told meanwhile; then the lock is busy.
TEST(FileLock, AHolderThatNeverLetsGoIsWaitedForUpToTheLimit) {
  TempFolder folder;
  const std::string lock = folder.File("archivio.dat.lock");
  const pid_t holder = StartHolder(lock);
  int waited = 0;
  EXPECT_THROW(FileLock(lock, std::chrono::milliseconds(300), [&] { ++waited; }), LockBusy);
  EXPECT_GE(waited, 2);
  kill(holder, SIGKILL);
  EXPECT_EQ(ExitCodeOf(holder), -1);
  FileLock taken(lock, std::chrono::milliseconds(0));  // free again, at once
}

TEST(FileLock, ALockFileThatCannotBeOpenedSaysWhy) {
  TempFolder folder;
  const std::string inMissingFolder = folder.File("missing/archivio.dat.lock");
  EXPECT_EQ(ErrorOf([&] { FileLock taken(inMissingFolder); }),
            "Impossibile bloccare " + inMissingFolder + ": No such file or directory");
  // A lock file another user made, which this one may only read, locks too.
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  const std::string othersLock = folder.Write("others.lock", "");
  ASSERT_EQ(chmod(othersLock.c_str(), 0444), 0);
  const pid_t other = StartChild([&] {
    if (setgid(65534) != 0 || setuid(65534) != 0) return 2;
    return ErrorOf([&] { FileLock taken(othersLock); }).empty() ? 0 : 1;
  });
  EXPECT_EQ(ExitCodeOf(other), 0);
}

TEST(FileLock, EveryWayToTheFileSharesOneLockFile) {
  TempFolder folder;
  std::filesystem::create_directory(folder.File("shared"));
  const std::string target = folder.File("shared/archivio.dat");
  EXPECT_EQ(LockPathOf(target), target + ".lock");
  std::filesystem::create_symlink("shared/archivio.dat", folder.File("link.dat"));
  EXPECT_EQ(LockPathOf(folder.File("link.dat")), folder.File("shared/archivio.dat.lock"));
}
#endif
