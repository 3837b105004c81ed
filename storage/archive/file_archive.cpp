#include "storage/archive/file_archive.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "storage/archive/archive_merge.h"
#include "storage/files/content_hash.h"
#include "storage/files/file_io.h"
#include "storage/files/file_lock.h"
#include "storage/files/file_names.h"
#include "storage/table/table_file.h"

using namespace archive_column;
namespace fs = std::filesystem;

FileArchive::FileArchive(TLbCsv& table) : Archive(table), lockLimit_(kLockLimit) {
  table.Attach(this);
  table.SetSaver(this);
  if (table.Active()) Opened();
}

FileArchive::~FileArchive() {
  SetBusyHandler(nullptr);
  SetLockWait(nullptr);
  TLbCsv& table = Table();
  if (table.Active() && !table.ReadOnly()) {
    try {
      table.Close();
    } catch (...) {
      // Every change was written through, or reported, when it was made.
      table.Discard();
    }
  }
  table.SetSaver(nullptr);
  table.Detach(this);
}

namespace {

// How far apart two changes of a file must be for the file system to give
// them different modification times: FAT keeps two seconds, many network
// shares one. A time with a fraction of a second proves a finer clock, a
// tick of which is a few milliseconds.
std::int64_t Granularity(const FileStamp& stamp) {
  constexpr std::int64_t kSecond = 1000000000;
  return stamp.modified % kSecond != 0 ? kSecond / 20 : 2 * kSecond;
}

}  // namespace

void FileArchive::Opened() {
  // The stamp of the bytes held: one taken now could already be that of a
  // file another copy wrote since, whose changes would then go unseen.
  Keep(Seen(Table().Lines().ReadStamp()));
  hash_.reset();  // hashed when another copy may have changed the file
  lostBytes_ = Table().Lines().LostBytes();
}

FileStamp FileArchive::Seen(FileStamp stamp) const {
  return clocks_.stamp ? clocks_.stamp(stamp) : stamp;
}

std::int64_t FileArchive::Now() const {
  if (clocks_.now) return clocks_.now();
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

void FileArchive::Keep(const FileStamp& stamp) {
  stamp_ = stamp;
  stampTaken_ = Now();
}

bool FileArchive::MayHaveChanged(const FileStamp& now) const {
  return now != stamp_ || stampTaken_ - stamp_.modified < Granularity(stamp_);
}

void FileArchive::DataEvent(TLbCsv& table, TDataEvent event) {
  if (event == TDataEvent::ActiveChanged && table.Active()) Opened();
}

std::uint64_t FileArchive::KnownHash() {
  // Until this copy writes, the file is as the table read it.
  if (!hash_) hash_ = Table().Lines().ReadHash();
  return *hash_;
}

bool FileArchive::FindCode(const std::string& code) {
  TLbCsv& table = Table();
  // Another copy may have archived or deleted it meanwhile.
  if (table.Active() && !table.ReadOnly() && MayHaveChanged(Seen(StampOf(table.TableName())))) {
    try {
      // Not waited for: the write that follows merges whatever another desk
      // wrote, and waits itself.
      Sync(false, std::chrono::milliseconds(0));
    } catch (const ArchiveBusy&) {
      // What this copy holds is checked.
    }
  }
  // The grid is told of the record the check ends on, not of each step.
  return FindInTable(code);
}

void FileArchive::Add(const ArchiveRecord& record) {
  AppendToTable(record);
  WriteThrough();
}

void FileArchive::DeleteCurrent() {
  Table().Delete();
  WriteThrough();
}

void FileArchive::WriteThrough() {
  const TLbCsv& table = Table();
  if (!table.Active() || table.ReadOnly() || table.Changes().Empty()) return;
  Reported([this] { Sync(true, lockLimit_); });
}

void FileArchive::Close() { Table().Close(); }

void FileArchive::Save(TLbCsv& table) {
  // Every change was written through when it was made: closing writes only
  // what still waits, or the file again when it is gone or something else
  // stands in its place. A file another desk wrote since holds all this
  // copy wrote, and more.
  std::error_code error;
  if (table.Changes().Empty() && fs::is_regular_file(PathOf(table.TableName()), error)) return;
  RetriedWhileBusy([this] { Sync(true, lockLimit_); });
}

void FileArchive::Sync(bool write, std::chrono::milliseconds limit) {
  TLbCsv& table = Table();
  const std::string& path = table.TableName();
  std::optional<FileLock> lock;
  try {
    lock.emplace(LockPathOf(path), limit, LockWait());
  } catch (const LockBusy&) {
    throw ArchiveInUse(path);
  }
  RemoveStaleTemporaryFiles(path);

  // The file as another copy may have left it.
  std::optional<ArchiveMerge::Result> merged;
  FileStamp now = Seen(StampOf(path));
  bool same = now.exists;
  if (now.exists && MayHaveChanged(now)) {
    // What cannot be read (a folder in the way) is left to the write to refuse.
    std::optional<FileBytes> bytes = ReadWholeFile(path, &now);
    now = Seen(now);
    same = bytes && ContentHash::Of(bytes->View()) == KnownHash();
    if (bytes && !same) {
      TableFile disk = TableFile::FromBytes(std::move(*bytes));
      // Another program's NUL: the file is kept whole before this copy
      // writes what it could read of it.
      if (disk.LostBytes()) lostBytes_ = true;
      if (disk.LineCount() > 0) {
        const int row = table.RecordNumber();
        const std::string_view current = table.RecordCount() > 0
                                             ? table.Lines().Line(static_cast<std::size_t>(row))
                                             : std::string_view();
        merged = ArchiveMerge(table.Lines().Line(0))
                     .Merge(std::move(disk), table.Changes(), current, row);
      }
    }
  }

  if (!write) {
    // Read again only: what this copy holds in memory, merged, shown. The
    // same bytes read again prove the stamp, from now on.
    if (!merged) {
      if (same) Keep(now);
      return;
    }
    hash_.reset();  // the text merged, about to be the table's, as read
    Keep(now);
  }

  if (write) {
    // A file that lost bytes when read is kept whole before it is first replaced.
    if (lostBytes_ && now.exists) {
      const std::string copy = CopyBesideAsOriginal(path);
      lostBytes_ = false;
      Notice(
          "L'archivio conteneva dati illeggibili (un carattere NUL), che andrebbero persi al "
          "salvataggio. Il file originale è stato copiato in:\n" +
          copy);
    }
    const TableFile& written = merged ? merged->lines : table.Lines();
    hash_ = written.WriteBack(path);
    Keep(Seen(StampOf(path)));
    table.TakeChanges();
  }

  if (merged) table.ReplaceLines(std::move(merged->lines), merged->current);
}
