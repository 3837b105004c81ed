// Nothing lost: every change written through at once, two copies of the
// program on one archive, and a file that lost bytes when it was read.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <signal.h>

#include "tests/support/child_process.h"
#endif
#include "storage/archive/file_archive.h"
#include "storage/files/file_io.h"
#include "storage/files/file_lock.h"
#include "storage/files/file_names.h"
#include "storage/files/file_stamp.h"
#include "storage/table/tlb_csv.h"
#include "tests/support/archive_copy.h"
#include "tests/support/temp_folder.h"

namespace {

const std::string kHeaderLine = std::string(kArchiveHeader) + "\r\n";

ArchiveRecord Person(const std::string& code) {
  std::string surname = "COGNOME";
  surname.append(code);
  return {surname, "NOME", "M", "CESENA", "01/01/1980", code};
}

#ifndef _WIN32
// "P1-7", "TMP2": a code of the test's own.
std::string Code(const char* prefix, int copy, int number = -1) {
  std::string code = prefix;
  code.append(std::to_string(copy));
  if (number >= 0) {
    code.push_back('-');
    code.append(std::to_string(number));
  }
  return code;
}
#endif

TEST(ArchiveWriteThrough, AddsAndDeletesReachTheFileAtOnce) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", kHeaderLine);
  ArchiveCopy copy(path);
  copy.archive.Add(Person("A1"));
  EXPECT_EQ(CodesIn(path), std::vector<std::string>{"A1"});
  copy.archive.Add(Person("A2"));
  copy.table.First();
  copy.archive.DeleteCurrent();
  EXPECT_EQ(CodesIn(path), std::vector<std::string>{"A2"});
  EXPECT_TRUE(copy.archive.LastError().empty());
}

// Processes are forked here; on Windows windows_file_test.cpp starts its own.
TEST(ArchiveWriteThrough, ClosingWritesOnlyWhenSomethingChangedSinceTheLastWrite) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", kHeaderLine);
  ArchiveCopy copy(path);
  FileArchive& archive = copy.archive;
  archive.Add(Person("A1"));
  const FileStamp written = StampOf(path);
  archive.Close();
  EXPECT_EQ(StampOf(path), written);  // not replaced again
  EXPECT_EQ(CodesIn(path), std::vector<std::string>{"A1"});
}

#ifndef _WIN32
TEST(ArchiveWriteThrough, AKilledProcessLeavesWhatItWasToldOf) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", kHeaderLine + "X,Y,M,Z,01/01/1980,OLD\r\n");
  const pid_t child = StartChild([&] {
    ArchiveCopy copy(path);
    copy.archive.Add(Person("NEW"));
    copy.table.First();
    copy.archive.DeleteCurrent();
    kill(getpid(), SIGKILL);  // no closing, no destructors
    return 0;
  });
  EXPECT_EQ(ExitCodeOf(child), -1);
  EXPECT_EQ(CodesIn(path), std::vector<std::string>{"NEW"});
}
#endif

TEST(ArchiveWriteThrough, AFailedWriteIsReportedOnceAndTriedAgain) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", kHeaderLine);
  ArchiveCopy copy(path);
  std::vector<std::string> reported;
  copy.archive.SetErrorHandler([&](const std::exception& e) { reported.push_back(e.what()); });
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);  // in the way, even for root
  copy.archive.Add(Person("A1"));
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0], "Cannot create file " + path);
  EXPECT_EQ(copy.table.RecordCount(), 1);  // kept in memory
  std::filesystem::remove(path);
  copy.archive.Add(Person("A2"));  // the next change writes both
  EXPECT_EQ(reported.size(), 1u);
  EXPECT_EQ(CodesIn(path), (std::vector<std::string>{"A1", "A2"}));
}

TEST(ArchiveSharing, TwoCopiesOnOneArchiveKeepEachOthersChanges) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", kHeaderLine +
                                                            "X,Y,M,Z,01/01/1980,SHARED1\r\n"
                                                            "X,Y,M,Z,01/01/1980,SHARED2\r\n");
  ArchiveCopy a(path);
  ArchiveCopy b(path);
  for (const char* code : {"A1", "A2", "A3", "A4", "A5"}) a.archive.Add(Person(code));
  for (const char* code : {"B1", "B2", "B3", "B4"}) b.archive.Add(Person(code));
  // Both copies show SHARED1; B deletes it, then A, which has not looked
  // since: the second delete changes nothing.
  EXPECT_TRUE(a.archive.FindCode("SHARED1"));
  EXPECT_TRUE(b.archive.FindCode("SHARED1"));
  b.archive.DeleteCurrent();
  a.archive.DeleteCurrent();
  // A copy looking again sees what the other did.
  EXPECT_FALSE(a.archive.FindCode("SHARED1"));
  EXPECT_TRUE(a.archive.FindCode("B4"));
  b.table.Close();
  a.table.Close();
  EXPECT_EQ(CodesIn(path), (std::vector<std::string>{"SHARED2", "A1", "A2", "A3", "A4", "A5", "B1",
                                                     "B2", "B3", "B4"}));
}

TEST(ArchiveSharing, ACodeTheOtherCopyArchivedIsNotArchivedTwice) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", kHeaderLine);
  ArchiveCopy a(path);
  ArchiveCopy b(path);
  a.archive.Add(Person("SAME"));
  b.archive.Add(Person("SAME"));  // B had not seen A's record yet
  EXPECT_EQ(CodesIn(path), std::vector<std::string>{"SAME"});
  // B's table shows the merged file, its record current.
  EXPECT_EQ(b.table.RecordCount(), 1);
  EXPECT_EQ(b.archive.Current().codiceFiscale, "SAME");
  EXPECT_TRUE(b.archive.FindCode("SAME"));
}

// A file system whose clock stood still between two changes (FAT keeps two
// seconds, many shares one) and that gives every file the same identity:
// another copy deleting a record and adding one of the same length leaves
// the stamp as it was, and the content must tell.
TEST(ArchiveSharing, AChangeWithinOneTickOfACoarseClockIsSeen) {
  TempFolder folder;
  const std::string path =
      folder.Write("archivio.dat", kHeaderLine + "X,Y,M,Z,01/01/1980,OLD1\r\n");
  const FileArchive::Clocks coarse{[](FileStamp stamp) {
                                     stamp.modified = 1700000000000000000;
                                     stamp.identity = 0;
                                     return stamp;
                                   },
                                   [] { return std::int64_t{1700000000500000000}; }};
  TLbCsv tables[2] = {TLbCsv("LbCsv2"), TLbCsv("LbCsv2")};
  FileArchive a(tables[0]);
  FileArchive b(tables[1]);
  for (FileArchive* archive : {&a, &b}) {
    archive->SetClocksForTesting(coarse);
    archive->Table().SetTableName(path);
    archive->Table().Open();
  }
  ASSERT_TRUE(a.FindCode("OLD1"));
  a.DeleteCurrent();
  a.Add({"X", "Y", "M", "Z", "01/01/1980", "NEW1"});
  b.Add(Person("B1"));
  EXPECT_EQ(CodesIn(path), (std::vector<std::string>{"NEW1", "B1"}));
}

// Another desk holding the lock past the limit: the user is asked; No keeps
// the record waiting in memory, Yes once the desk let go writes it.
TEST(ArchiveSharing, ABusyArchiveAsksAndKeepsTheChangeUntilWritten) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", kHeaderLine);
  ArchiveCopy copy(path);
  copy.archive.SetLockLimit(std::chrono::milliseconds(100));
  std::optional<FileLock> otherDesk;
  otherDesk.emplace(LockPathOf(path));
  std::vector<std::string> asked;
  copy.archive.SetBusyHandler([&](const ArchiveBusy& busy) {
    asked.push_back(busy.what());
    if (asked.size() == 1) return false;
    otherDesk.reset();
    return true;
  });
  copy.archive.Add(Person("A1"));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], "L'archivio è in uso da un'altra postazione: " + path);
  EXPECT_EQ(copy.archive.LastError(), asked[0]);
  EXPECT_EQ(CodesIn(path), std::vector<std::string>{});
  copy.archive.Add(Person("A2"));
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_TRUE(copy.archive.LastError().empty());
  EXPECT_EQ(CodesIn(path), (std::vector<std::string>{"A1", "A2"}));
}

// Whatever goes first, the archive or its table, what waits is written under
// the lock and merged with what another desk wrote meanwhile.
TEST(ArchiveSharing, AnArchiveDestroyedBeforeItsTableWritesUnderTheLock) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", kHeaderLine);
  auto table = std::make_unique<TLbCsv>("LbCsv2");
  auto archive = std::make_unique<FileArchive>(*table);
  table->SetTableName(path);
  table->Open();
  archive->SetLockLimit(std::chrono::milliseconds(0));
  archive->SetBusyHandler([](const ArchiveBusy&) { return false; });
  {
    FileLock otherDesk(LockPathOf(path));
    archive->Add(Person("A1"));  // waits in memory
  }
  ArchiveCopy b(path);
  b.archive.Add(Person("B1"));
  archive.reset();
  table.reset();
  EXPECT_EQ(CodesIn(path), (std::vector<std::string>{"B1", "A1"}));
}

// After a merge the record just added is current, wherever it landed: a
// delete then takes out that person, not whoever holds its old row.
TEST(ArchiveSharing, TheRecordAddedStaysCurrentThroughAMerge) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", kHeaderLine);
  ArchiveCopy a(path);
  ArchiveCopy b(path);
  b.archive.Add(Person("B1"));
  b.archive.Add(Person("B2"));
  a.archive.Add(Person("A1"));  // row 1 in A's memory, row 3 in the file
  EXPECT_EQ(a.table.RecordNumber(), 3);
  EXPECT_EQ(a.archive.Current().codiceFiscale, "A1");
  a.archive.DeleteCurrent();
  EXPECT_EQ(CodesIn(path), (std::vector<std::string>{"B1", "B2"}));
}

#ifndef _WIN32
TEST(ArchiveSharing, ProcessesAddingAndDeletingAtOnceLoseAndDuplicateNothing) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", kHeaderLine);
  constexpr int kCopies = 3;
  constexpr int kEach = 20;
  std::vector<pid_t> children;
  for (int c = 0; c < kCopies; ++c) {
    children.push_back(StartChild([&, c] {
      ArchiveCopy copy(path);
      for (int i = 0; i < kEach; ++i) {
        const std::string code = Code("P", c, i);
        if (copy.archive.FindCode(code)) return 2;
        copy.archive.Add(Person(code));
        // Every copy also adds and deletes a scratch record of its own.
        copy.archive.Add(Person(Code("TMP", c)));
        if (!copy.archive.FindCode(Code("TMP", c))) return 3;
        copy.archive.DeleteCurrent();
      }
      copy.table.Close();
      return copy.archive.LastError().empty() ? 0 : 4;
    }));
  }
  for (const pid_t child : children) EXPECT_EQ(ExitCodeOf(child), 0);
  const std::vector<std::string> codes = CodesIn(path);
  const std::set<std::string> unique(codes.begin(), codes.end());
  EXPECT_EQ(codes.size(), static_cast<std::size_t>(kCopies * kEach));
  EXPECT_EQ(unique.size(), codes.size());
  for (int c = 0; c < kCopies; ++c) EXPECT_EQ(unique.count(Code("TMP", c)), 0u);
}
#endif

TEST(ArchiveLostBytes, AFileWithANulIsCopiedWholeBeforeItsFirstWriteBack) {
  TempFolder folder;
  std::string bytes = kHeaderLine;
  bytes.append("A,B,M,X,01/01/1980,CODE1\r\n");
  bytes.push_back('\0');
  bytes.append("C,D,F,Y,02/02/1990,CODE2\r\n");
  const std::string path = folder.Write("archivio.dat", bytes);
  ArchiveCopy copy(path);
  std::vector<std::string> told;
  copy.archive.SetNoticeHandler([&](const std::string& text) { told.push_back(text); });
  EXPECT_EQ(TempFolder::Read(path), bytes);  // opening changes nothing
  copy.archive.Add(Person("NEW"));
  ASSERT_EQ(told.size(), 1u);
  EXPECT_TRUE(told[0].ends_with("copiato in:\n" + path + ".orig")) << told[0];
  EXPECT_EQ(TempFolder::Read(path + ".orig"), bytes);
  copy.archive.Add(Person("NEW2"));
  copy.table.Close();
  EXPECT_EQ(told.size(), 1u);  // once
  EXPECT_EQ(CodesIn(path), (std::vector<std::string>{"CODE1", "NEW", "NEW2"}));
}

}  // namespace

namespace {

// A NUL another program left in the file this copy merges with is kept
// whole too before the merge is written.
TEST(ArchiveLostBytes, AFileAnotherProgramLeftWithANulIsCopiedBeforeTheMergeIsWritten) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", kHeaderLine);
  ArchiveCopy copy(path);
  std::string bytes = kHeaderLine + "A,B,M,X,01/01/1980,CODE1\r\n";
  bytes.push_back('\0');
  bytes.append("C,D,F,Y,02/02/1990,CODE2\r\n");
  folder.Write("archivio.dat", bytes);
  copy.archive.Add(Person("NEW"));
  EXPECT_EQ(copy.archive.LastError(), "");
  EXPECT_EQ(TempFolder::Read(path + ".orig"), bytes);
  EXPECT_EQ(CodesIn(path), (std::vector<std::string>{"CODE1", "NEW"}));
}

}  // namespace
