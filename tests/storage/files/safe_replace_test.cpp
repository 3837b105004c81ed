#include <gtest/gtest.h>

#ifdef __unix__
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "storage/files/file_io.h"
#include "storage/files/file_names.h"
#include "storage/files/process_facts.h"
#include "storage/table/table_file.h"
#include "tests/support/child_process.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

// Restores the process's file creation mask when the test ends.
class Umask {
 public:
  explicit Umask(mode_t mask) : saved_(umask(mask)) {}
  ~Umask() { umask(saved_); }
  Umask(const Umask&) = delete;
  Umask& operator=(const Umask&) = delete;

 private:
  mode_t saved_;
};

}  // namespace

TEST(SafeReplace, AReadOnlyFileIsRefusedAndStaysAsItWas) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", "A\r\nold\r\n");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(ReplaceFileContents(path, "A\r\nnew\r\n"));
  EXPECT_FALSE(ReplaceFileLines(path, {"A", "new"}));
  const TableFile file = TableFile::FromText("A\r\nnew\r\n");
  EXPECT_EQ(ErrorOf([&] { file.WriteBack(path); }), "Cannot create file " + path);
  EXPECT_EQ(TempFolder::Read(path), "A\r\nold\r\n");
  EXPECT_EQ(ModeOf(path), 0444u);
  EXPECT_EQ(folder.EntryCount(), 1);
}

// Someone else's file in a folder anyone may write: the rename alone would
// replace it, the file's own permission says no.
TEST(SafeReplace, AnotherUsersFileIsRefusedThoughTheFolderIsWritable) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  TempFolder folder;
  ASSERT_EQ(chmod(folder.Path().c_str(), 0777), 0);
  const std::string path = folder.Write("archivio.dat", "A\r\nold\r\n");
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  const pid_t other = StartChild([&] {
    if (setgid(kNogroup) != 0 || setuid(kNobody) != 0) return 2;
    return ReplaceFileContents(path, "A\r\nnew\r\n") ? 1 : 0;
  });
  EXPECT_EQ(ExitCodeOf(other), 0);
  EXPECT_EQ(TempFolder::Read(path), "A\r\nold\r\n");
  EXPECT_EQ(folder.EntryCount(), 1);
}

TEST(SafeReplace, ModeOwnerAndGroupAreKept) {
  TempFolder folder;
  const Umask open(0);
  const std::string path = folder.Write("archivio.dat", "A\r\n");
  for (const mode_t mode : {0600, 0640, 0604}) {
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(ReplaceFileLines(path, {"A", "x"}));
    EXPECT_EQ(ModeOf(path), mode);
  }
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  ASSERT_EQ(chown(path.c_str(), kNobody, kNogroup), 0);
  ASSERT_TRUE(ReplaceFileContents(path, "A\r\ny\r\n"));
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, kNobody);
  EXPECT_EQ(info.st_gid, kNogroup);
  EXPECT_EQ(info.st_mode & 07777, 0604u);
  EXPECT_EQ(TempFolder::Read(path), "A\r\ny\r\n");
}

TEST(SafeReplace, ANewFileGetsWhatAnyNewFileGets) {
  TempFolder folder;
  const Umask usual(027);
  const std::string path = folder.File("archivio.dat");
  ASSERT_TRUE(ReplaceFileContents(path, "A\r\n"));
  EXPECT_EQ(ModeOf(path), 0640u);
}

// A link into a shared folder whose file is not there yet: the file is made
// there and the link stays, through a chain of relative links too.
TEST(SafeReplace, ALinkToAMissingFileGetsThatFileAndStaysALink) {
  TempFolder folder;
  fs::create_directory(folder.File("shared"));
  fs::create_symlink("shared/archivio.dat", folder.File("inner.dat"));
  fs::create_symlink("inner.dat", folder.File("archivio.dat"));
  const std::string link = folder.File("archivio.dat");
  TableFile::FromText("A\r\nx\r\n").WriteBack(link);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(fs::is_symlink(folder.File("inner.dat")));
  EXPECT_EQ(TempFolder::Read(folder.File("shared/archivio.dat")), "A\r\nx\r\n");

  ASSERT_EQ(chmod(folder.File("shared/archivio.dat").c_str(), 0600), 0);
  ASSERT_TRUE(ReplaceFileContents(link, "A\r\ny\r\n"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(TempFolder::Read(link), "A\r\ny\r\n");
  EXPECT_EQ(ModeOf(folder.File("shared/archivio.dat")), 0600u);

  fs::create_symlink("loop.dat", folder.File("loop.dat"));
  EXPECT_FALSE(ReplaceFileContents(folder.File("loop.dat"), "A\r\n"));
}

// The child writes a large text to a private archive with a mask that would
// give any new file to everyone, and is killed while writing.
TEST(SafeReplace, ASaveKilledHalfwayLeavesNothingWiderAndTheCleanupRemovesIt) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", "A\r\nold\r\n");
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);
  const std::string chunk(std::size_t{1} << 20, 'x');
  const std::vector<std::string_view> lines(2048, chunk);
  const pid_t writer = StartChild([&] {
    umask(0);
    return ReplaceFileLines(path, lines) ? 0 : 1;
  });
  std::string temporary;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (temporary.empty() && std::chrono::steady_clock::now() < giveUp) {
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
      std::error_code error;
      if (entry.path() != path && fs::file_size(entry.path(), error) > 0) {
        temporary = entry.path().string();
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  kill(writer, SIGKILL);
  EXPECT_EQ(ExitCodeOf(writer), -1);
  ASSERT_FALSE(temporary.empty()) << "the writer left no trace";
  EXPECT_EQ(ModeOf(temporary) & ~mode_t{0600}, 0u) << std::oct << ModeOf(temporary);
  EXPECT_EQ(TempFolder::Read(path), "A\r\nold\r\n");

  EXPECT_EQ(RemoveStaleTemporaryFiles(path), 1u);
  EXPECT_EQ(folder.EntryCount(), 1);
  ASSERT_TRUE(ReplaceFileContents(path, "A\r\nnew\r\n"));
  EXPECT_EQ(ModeOf(path), 0600u);
}

// Only what no live writer may still be writing: a file of a process of
// this machine that is gone, or one older than an hour. Another machine's
// writer may be alive, and a name of an earlier version says no writer.
TEST(SafeReplace, TheCleanupRemovesOnlyTemporaryFilesNoWriterIsWriting) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", "A\r\n");
  const std::string host = ThisMachineName().empty() ? "-" : ThisMachineName();
  const std::string alive = std::to_string(ThisProcessId());
  const pid_t ended = StartChild([] { return 0; });
  ASSERT_EQ(ExitCodeOf(ended), 0);
  const std::string gone = std::to_string(ended);
  const std::vector<std::string> fresh = {"archivio.dat.0123456789abcdef." + gone + "@" + host +
                                          ".tmp"};
  const std::vector<std::string> aged = {"archivio.dat.fedcba9876543210.tmp",
                                         "archivio.dat.1123456789abcdef.77@elsewhere.tmp"};
  const std::vector<std::string> kept = {
      "archivio.dat.2123456789abcdef." + alive + "@" + host + ".tmp",
      "archivio.dat.3123456789abcdef.77@elsewhere.tmp",
      "archivio.dat.4123456789abcdef.tmp",
      "archivio.dat.0123456789ABCDEF.tmp",
      "archivio.dat.0123456789abcde.tmp",
      "archivio.dat.0123456789abcdefa.tmp",
      "archivio.dat.0123456789abcdef.x@y.tmp",
      "comuni.dat.0123456789abcdef.tmp",
      "archivio.dat.tmp",
      "archivio.dat.orig",
      "archivio.dat.0123456789abcdef.tmp~"};
  const auto twoHoursAgo = fs::file_time_type::clock::now() - std::chrono::hours(2);
  for (const std::string& name : fresh) folder.Write(name, "partial");
  for (const std::string& name : kept) folder.Write(name, "someone's");
  for (const std::string& name : aged) {
    folder.Write(name, "partial");
    fs::last_write_time(folder.File(name), twoHoursAgo);
  }
  fs::create_directory(folder.File("archivio.dat.aaaaaaaaaaaaaaaa.tmp"));
  fs::last_write_time(folder.File("archivio.dat.aaaaaaaaaaaaaaaa.tmp"), twoHoursAgo);
  EXPECT_EQ(RemoveStaleTemporaryFiles(path), fresh.size() + aged.size());
  for (const auto* names : {&fresh, &aged}) {
    for (const std::string& name : *names) EXPECT_FALSE(fs::exists(folder.File(name))) << name;
  }
  for (const std::string& name : kept) EXPECT_TRUE(fs::exists(folder.File(name))) << name;
  EXPECT_TRUE(fs::is_directory(folder.File("archivio.dat.aaaaaaaaaaaaaaaa.tmp")));
}

// The text streamed from lines meets the size limit halfway: the old file
// stays and nothing is left behind.
TEST(SafeReplace, AStreamedWriteThatFailsHalfwayLeavesTheOldFile) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", "A\r\nold\r\n");
  const std::string line(300000, 'y');
  const std::vector<std::string_view> lines(10, line);
  bool written = true;
  {
    const FileSizeLimit full(1500000);
    ASSERT_TRUE(full.Active());
    written = ReplaceFileLines(path, lines);
  }
  EXPECT_FALSE(written);
  EXPECT_EQ(TempFolder::Read(path), "A\r\nold\r\n");
  EXPECT_EQ(folder.EntryCount(), 1);
}
#endif
