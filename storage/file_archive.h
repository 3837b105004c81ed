#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "storage/archive.h"
#include "storage/file_stamp.h"
#include "storage/tlbcsv.h"
#include "storage/tlbcsv_observer.h"

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

 private:
  void Opened();
  // Under the lock: the file read again when another copy changed it, and
  // this copy's changes merged into it; then, when `write`, written back.
  void Sync(bool write);
  std::uint64_t KnownHash();

  // The file as this copy last read or wrote it.
  FileStamp stamp_;
  // The hash of the file as last read or written, once it has been asked.
  std::optional<std::uint64_t> hash_;
  bool lostBytes_ = false;
};
