#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <filesystem>
#include <random>
#include <string>

#include "storage/file_io.h"
#include "storage/file_lock.h"
#include "storage/file_names.h"
#include "storage/table_file.h"
#include "temp_folder.h"

namespace fs = std::filesystem;

namespace {

// A folder named in Italian, Greek and Chinese letters, as a user's folder
// may be; the paths are UTF-8, as storage takes them.
class WindowsFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    root_ = Utf8Of(fs::temp_directory_path()) + "\\viveze-" + std::to_string(random());
    folder_ =
        root_ + "\\Nicol\xC3\xB2\\\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1\\\xE4\xB8\xAD";
    fs::create_directories(PathOf(folder_));
    path_ = folder_ + "\\archivio.dat";
  }
  void TearDown() override {
    SetFileAttributesW(PathOf(path_).c_str(), FILE_ATTRIBUTE_NORMAL);
    std::error_code ignored;
    fs::remove_all(PathOf(root_), ignored);
  }
  // Files of this program's naming in the folder. (Wine's replace leaves a
  // file of its own behind when it fails, which real systems do not.)
  int EntryCount() const {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(PathOf(folder_))) {
      count += Utf8Of(entry.path().filename()).starts_with("archivio.dat") ? 1 : 0;
    }
    return count;
  }
  HANDLE OpenWith(DWORD access, DWORD sharing) const {
    return CreateFileW(PathOf(path_).c_str(), access, sharing, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }

  std::string root_;
  std::string folder_;
  std::string path_;
};

}  // namespace

TEST_F(WindowsFiles, NonAsciiFoldersAreWrittenReadCopiedAndLocked) {
  ASSERT_TRUE(ReplaceFileContents(path_, "A\r\nold\r\n"));
  EXPECT_EQ(ReadWholeFile(path_), std::string("A\r\nold\r\n"));
  ASSERT_TRUE(ReplaceFileLines(path_, {"A", "new"}));
  EXPECT_EQ(ReadWholeFile(path_), std::string("A\r\nnew\r\n"));
  EXPECT_EQ(CopyBesideAsOriginal(path_), path_ + ".orig");
  EXPECT_EQ(ReadWholeFile(path_ + ".orig"), std::string("A\r\nnew\r\n"));
  { FileLock lock(LockPathOf(path_)); }
  EXPECT_TRUE(fs::exists(PathOf(path_ + ".lock")));
  EXPECT_EQ(EntryCount(), 3);
}

TEST_F(WindowsFiles, ReadingSharesWithReadersOnly) {
  ASSERT_TRUE(ReplaceFileContents(path_, "A\r\n"));
  const HANDLE reader = OpenWith(GENERIC_READ, FILE_SHARE_READ);
  EXPECT_TRUE(ReadWholeFile(path_).has_value());
  CloseHandle(reader);
  const HANDLE writer = OpenWith(GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(ReadWholeFile(path_).has_value());
  CloseHandle(writer);
}

TEST_F(WindowsFiles, AReadOnlyFileIsRefusedAndStaysAsItWas) {
  ASSERT_TRUE(ReplaceFileContents(path_, "A\r\nold\r\n"));
  SetFileAttributesW(PathOf(path_).c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(ReplaceFileContents(path_, "A\r\nnew\r\n"));
  const TableFile file = TableFile::FromText("A\r\nnew\r\n");
  EXPECT_EQ(ErrorOf([&] { file.WriteBack(path_); }), "Cannot create file " + path_);
  EXPECT_EQ(ReadWholeFile(path_), std::string("A\r\nold\r\n"));
  EXPECT_EQ(EntryCount(), 1);
}

TEST_F(WindowsFiles, AFileHeldOpenForWritingIsNotReplacedAndNothingIsLeft) {
  ASSERT_TRUE(ReplaceFileContents(path_, "A\r\nold\r\n"));
  const HANDLE writer = OpenWith(GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  EXPECT_FALSE(ReplaceFileContents(path_, "A\r\nnew\r\n"));
  CloseHandle(writer);
  EXPECT_EQ(ReadWholeFile(path_), std::string("A\r\nold\r\n"));
  EXPECT_EQ(EntryCount(), 1);
}

TEST_F(WindowsFiles, StampsAndStaleTemporaryFiles) {
  EXPECT_FALSE(StampOf(path_).exists);
  ASSERT_TRUE(ReplaceFileContents(path_, "abc"));
  const FileStamp first = StampOf(path_);
  EXPECT_TRUE(first.exists);
  EXPECT_EQ(first.size, 3u);
  ASSERT_TRUE(ReplaceFileContents(path_, "xyz"));
  EXPECT_NE(StampOf(path_), first);
  ASSERT_TRUE(ReplaceFileContents(path_ + ".0123456789abcdef.tmp", "partial"));
  EXPECT_EQ(RemoveStaleTemporaryFiles(path_), 1u);
  EXPECT_EQ(EntryCount(), 1);
}
#endif
