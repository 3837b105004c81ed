// The archive kept in a file, shared by every copy that opens it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "storage/archive/archive.h"
#include "storage/files/file_stamp.h"
#include "storage/table/tlb_csv.h"
#include "storage/table/tlb_csv_observer.h"

// The archive kept in a file beside the program (archivio.dat), shared by
// every copy of the program that opens the same file.
//
// Every change is written through at once, and closing writes again (the
// table's own write-back comes here). Each write takes the lock beside the
// file, so that copies take turns; under it, a file another copy changed
// since this one last read or wrote it is read again and merged with this
// copy's changes (ArchiveMerge), then replaced whole (TableFile::WriteBack).
// A file that lost bytes when it was read (text after a NUL) is first
// copied beside itself whole.
class FileArchive : public Archive, public TLbCsvObserver, public TTableSaver {
 public:
  explicit FileArchive(TLbCsv& table);
  // Closes the table, under the lock, when it is still open: a table left to
  // close itself would write its file without the lock.
  ~FileArchive() override;

  bool FindCode(const std::string& code) override;
  void Add(const ArchiveRecord& record) override;
  void DeleteCurrent() override;
  void WriteThrough() override;
  void Close() override;

  // The table's write-back, on closing: lock, merge, copy, replace.
  void Save(TLbCsv& table) override;
  // An opening: the file as it was read.
  void DataEvent(TLbCsv& table, TDataEvent event) override;

  // The lock is waited for at most `limit` (kLockLimit unless a test says
  // otherwise), then the archive is busy (ArchiveBusy).
  void SetLockLimit(std::chrono::milliseconds limit) { lockLimit_ = limit; }

  // What the archive learns of time, replaceable by a test: every stamp it
  // takes passes through `stamp`, and `now` is the system clock in
  // nanoseconds since 1970.
  struct Clocks {
    std::function<FileStamp(FileStamp)> stamp;
    std::function<std::int64_t()> now;
  };
  void SetClocksForTesting(Clocks clocks) { clocks_ = std::move(clocks); }

 private:
  void Opened();
  FileStamp Seen(FileStamp stamp) const;
  std::int64_t Now() const;
  // Keeps the stamp of the bytes this copy now holds, and when it was taken.
  void Keep(const FileStamp& stamp);
  // Whether the file may differ from what this copy holds, by its stamp
  // `now`: a stamp that moved, or one taken so soon after the file's last
  // change that a change in the same tick of the file system's clock would
  // leave it as it is (then the content's hash decides).
  bool MayHaveChanged(const FileStamp& now) const;
  // Under the lock: the file read again when another copy changed it, and
  // this copy's changes merged into it; then, when `write`, written back.
  // Throws ArchiveBusy when the lock is not had within `limit`.
  void Sync(bool write, std::chrono::milliseconds limit);
  std::uint64_t KnownHash();

  // The file as this copy last read or wrote it, and when that stamp was
  // taken.
  FileStamp stamp_;
  std::int64_t stampTaken_ = 0;
  Clocks clocks_;
  std::chrono::milliseconds lockLimit_;
  // The hash of the file as last read or written, once it has been asked.
  std::optional<std::uint64_t> hash_;
  bool lostBytes_ = false;
};
