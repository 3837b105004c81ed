#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "storage/archive/file_archive.h"
#include "storage/files/file_io.h"
#include "storage/files/file_lock.h"
#include "storage/files/file_names.h"
#include "storage/table/table_file.h"
#include "storage/table/tlb_csv.h"
#include "tests/support/archive_copy.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// A second process is this test program started again in a role: the role's
// name and its arguments (UTF-8, one a line) travel in the environment, and
// the role runs before any test and ends the process with its result.
constexpr wchar_t kRoleVariable[] = L"VIVEZE_TEST_ROLE";
constexpr wchar_t kArgumentsVariable[] = L"VIVEZE_TEST_ARGUMENTS";

std::string Variable(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value == nullptr ? std::string() : Utf8Of(fs::path(value));
}

bool Exists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(PathOf(path), ignored);
}

// Waits for a file another process makes; false after `seconds`.
bool AppearsWithin(const std::string& path, int seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!Exists(path)) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

ArchiveRecord Person(const std::string& code) {
  return {"COGNOME", "NOME", "M", "CESENA", "01/01/1980", code};
}

// Takes the lock, says so with a file, and holds it until told to let go.
int HoldLock(const std::vector<std::string>& args) {
  FileLock lock(args.at(0));
  if (!ReplaceFileContents(args.at(1), "held")) return 2;
  return AppearsWithin(args.at(2), 30) ? 0 : 3;
}

// One copy of the program adding codes "<prefix><n>", and a scratch record
// of its own that it adds and deletes each time.
int AddCodes(const std::vector<std::string>& args) {
  ArchiveCopy copy(args.at(0));
  const std::string& prefix = args.at(1);
  const int count = std::stoi(args.at(2));
  const std::string scratch = prefix + "TMP";
  for (int i = 0; i < count; ++i) {
    const std::string code = prefix + std::to_string(i);
    if (copy.archive.FindCode(code)) return 2;
    copy.archive.Add(Person(code));
    copy.archive.Add(Person(scratch));
    if (!copy.archive.FindCode(scratch)) return 3;
    copy.archive.DeleteCurrent();
  }
  copy.table.Close();
  return copy.archive.LastError().empty() ? 0 : 4;
}

int RunRole(const std::string& role, const std::vector<std::string>& args) {
  try {
    if (role == "hold-lock") return HoldLock(args);
    if (role == "add-codes") return AddCodes(args);
  } catch (const std::exception&) {
    return 5;
  }
  return 6;
}

[[maybe_unused]] const bool kRoleRun = [] {
  const std::string role = Variable(kRoleVariable);
  if (role.empty()) return false;
  std::vector<std::string> args;
  std::istringstream lines(Variable(kArgumentsVariable));
  for (std::string arg; std::getline(lines, arg);) args.push_back(arg);
  std::exit(RunRole(role, args));
}();

class Child {
 public:
  Child(const std::string& role, const std::vector<std::string>& args) {
    std::string joined;
    for (const std::string& arg : args) {
      joined.append(arg);
      joined.push_back('\n');
    }
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"child";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // The environment is inherited as it is when the process is made.
    SetEnvironmentVariableW(kRoleVariable, PathOf(role).c_str());
    SetEnvironmentVariableW(kArgumentsVariable, PathOf(joined).c_str());
    if (CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
      CloseHandle(process.hThread);
      process_ = process.hProcess;
    }
    SetEnvironmentVariableW(kRoleVariable, nullptr);
    SetEnvironmentVariableW(kArgumentsVariable, nullptr);
  }
  ~Child() {
    if (process_ != nullptr) {
      TerminateProcess(process_, 99);
      CloseHandle(process_);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool Started() const { return process_ != nullptr; }
  bool Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
  // The exit code; -1 when it did not end within a minute.
  int ExitCode() const {
    DWORD code = 0;
    if (WaitForSingleObject(process_, 60000) != WAIT_OBJECT_0) return -1;
    return GetExitCodeProcess(process_, &code) ? static_cast<int>(code) : -1;
  }
  void Kill() const {
    TerminateProcess(process_, 9);
    WaitForSingleObject(process_, INFINITE);
  }

 private:
  HANDLE process_ = nullptr;
};

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
  // Files of this program's naming in the folder: the file and what a
  // replace or a copy left beside it.
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
  // Left by a writer that said not who it was, two hours ago.
  const std::string stale = path_ + ".0123456789abcdef.tmp";
  ASSERT_TRUE(ReplaceFileContents(stale, "partial"));
  std::filesystem::last_write_time(
      PathOf(stale), std::filesystem::file_time_type::clock::now() - std::chrono::hours(2));
  EXPECT_EQ(RemoveStaleTemporaryFiles(path_), 1u);
  EXPECT_EQ(EntryCount(), 1);
}
// The old file stays readable whole through a handle opened before the
// replace, and the replace goes through: Windows refuses a rename over a
// file held open until its reader lets go, so there it succeeds on a retry;
// Wine, and Windows with its newer rename, let it through at once.
TEST_F(WindowsFiles, AReplaceWhileAnotherHandleReadsLeavesThatReaderTheOldFile) {
  ASSERT_TRUE(ReplaceFileContents(path_, "A\r\nold\r\n"));
  const HANDLE reader = OpenWith(GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  std::thread letGo([reader] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    char bytes[16] = {};
    DWORD read = 0;
    const bool whole = ReadFile(reader, bytes, sizeof bytes, &read, nullptr) &&
                       std::string(bytes, read) == "A\r\nold\r\n";
    CloseHandle(reader);
    EXPECT_TRUE(whole);
  });
  EXPECT_TRUE(ReplaceFileContents(path_, "A\r\nnew\r\n"));
  letGo.join();
  EXPECT_EQ(ReadWholeFile(path_), std::string("A\r\nnew\r\n"));
  EXPECT_EQ(EntryCount(), 1);
}

TEST_F(WindowsFiles, HiddenStaysHidden) {
  ASSERT_TRUE(ReplaceFileContents(path_, "A\r\n"));
  SetFileAttributesW(PathOf(path_).c_str(), FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(ReplaceFileContents(path_, "B\r\n"));
  EXPECT_NE(GetFileAttributesW(PathOf(path_).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_EQ(ReadWholeFile(path_), std::string("B\r\n"));
}

TEST_F(WindowsFiles, TheLockIsHeldAgainstAnotherProcessUntilReleasedOrKilled) {
  const std::string lock = LockPathOf(path_);
  const std::string held = folder_ + "\\held", release = folder_ + "\\release";
  Child holder("hold-lock", {lock, held, release});
  ASSERT_TRUE(holder.Started());
  ASSERT_TRUE(AppearsWithin(held, 30));
  std::atomic<bool> locked{false};
  std::thread waiter([&] {
    FileLock mine(lock);
    locked = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(locked);
  ASSERT_TRUE(ReplaceFileContents(release, "go"));
  waiter.join();
  EXPECT_TRUE(locked);
  EXPECT_EQ(holder.ExitCode(), 0);

  fs::remove(PathOf(held));
  fs::remove(PathOf(release));
  Child killed("hold-lock", {lock, held, release});
  ASSERT_TRUE(AppearsWithin(held, 30));
  killed.Kill();
  const auto start = std::chrono::steady_clock::now();
  { FileLock mine(lock); }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

// Two copies of the program write through to one archive at once while a
// third reads it over and over: every read finds a whole file, and nothing
// is lost or doubled.
TEST_F(WindowsFiles, ProcessesSharingOneArchiveLoseNothingAndReadersSeeWholeFiles) {
  const std::string header = std::string(kArchiveHeader) + "\r\n";
  ASSERT_TRUE(ReplaceFileContents(path_, header));
  constexpr int kEach = 15;
  Child first("add-codes", {path_, "A", std::to_string(kEach)});
  Child second("add-codes", {path_, "B", std::to_string(kEach)});
  ASSERT_TRUE(first.Started() && second.Started());
  int reads = 0, whole = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while ((first.Running() || second.Running()) && std::chrono::steady_clock::now() < end) {
    const std::optional<FileBytes> bytes = ReadWholeFile(path_);
    ++reads;
    whole += bytes && bytes->View().starts_with(header) && bytes->View().ends_with("\r\n") ? 1 : 0;
  }
  EXPECT_GT(reads, 0);
  EXPECT_EQ(first.ExitCode(), 0);
  EXPECT_EQ(second.ExitCode(), 0);
  EXPECT_EQ(whole, reads);
  const std::vector<std::string> read = CodesIn(path_);
  const std::multiset<std::string> codes(read.begin(), read.end());
  EXPECT_EQ(codes.size(), 2u * kEach);
  for (int i = 0; i < kEach; ++i) {
    for (std::string code : {"A", "B"}) {
      code.append(std::to_string(i));
      EXPECT_EQ(codes.count(code), 1u) << code;
    }
  }
}
#endif
