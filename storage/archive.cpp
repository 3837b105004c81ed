#include "storage/archive.h"

#include <algorithm>
#include <optional>

#include "storage/content_hash.h"
#include "storage/file_io.h"
#include "storage/file_lock.h"
#include "storage/file_names.h"
#include "storage/record_format.h"
#include "storage/table_error.h"
#include "storage/table_file.h"
#include "storage/tquiet_walk.h"

using namespace archive_column;

namespace {

int ColumnNamed(std::string_view header, const char* name) {
  return FindColumn(SplitHeader(header), name);
}

}  // namespace

Archive::Archive(TLbCsv& table) : table_(table) {
  table_.Attach(this);
  table_.SetSaver(this);
  if (table_.Active()) Opened();
}

Archive::~Archive() {
  table_.SetSaver(nullptr);
  table_.Detach(this);
}

void Archive::Opened() {
  // The stamp of the bytes held: one taken now could already be that of a
  // file another copy wrote since, whose changes would then go unseen.
  stamp_ = table_.Lines().ReadStamp();
  hash_.reset();  // hashed when another copy may have changed the file
  lostBytes_ = table_.Lines().LostBytes();
}

void Archive::DataEvent(TLbCsv&, TDataEvent event) {
  if (event == TDataEvent::ActiveChanged) {
    if (table_.Active()) Opened();
    return;
  }
  if (event != TDataEvent::DataSetChanged || saving_) return;
  if (!table_.Changes().Empty() && !table_.ReadOnly()) WriteThrough();
}

void Archive::WriteThrough() {
  try {
    table_.Save();
    lastError_.clear();
  } catch (const std::exception& error) {
    lastError_ = error.what();
    if (onError_) onError_(error);
  }
}

std::uint64_t Archive::KnownHash() {
  // Until this copy writes, the file is as the table read it.
  if (!hash_) hash_ = table_.Lines().ReadHash();
  return *hash_;
}

int Archive::CodeColumn() const {
  return static_cast<int>(table_.FieldNamed(kCodiceFiscale).Index());
}

bool Archive::FindCode(const std::string& code) {
  // Another copy may have archived or deleted it meanwhile.
  if (table_.Active() && !table_.ReadOnly() && StampOf(table_.TableName()) != stamp_) {
    Sync(table_, false);
  }
  // The grid is told of the record the check ends on, not of each step.
  TQuietWalk walk(table_);
  table_.First();
  if (table_.Empty()) return false;
  const TableFile& lines = table_.Lines();
  const int column = CodeColumn();
  std::string scratch;
  const std::size_t found = lines.FindLine(
      code, 1, [&](std::string_view line) { return ValueAt(line, column, scratch) == code; });
  if (found == lines.LineCount()) {
    table_.Last();
    return false;
  }
  if (found > 1) table_.SetRecordNumber(static_cast<int>(found));
  return true;
}

void Archive::Add(const ArchiveRecord& record) {
  table_.Insert();
  table_.FieldNamed(kCognome).SetText(record.cognome);
  table_.FieldNamed(kNome).SetText(record.nome);
  table_.FieldNamed(kSex).SetText(record.sex);
  table_.FieldNamed(kComune).SetText(record.comune);
  table_.FieldNamed(kData).SetText(record.data);
  table_.FieldNamed(kCodiceFiscale).SetText(record.codiceFiscale);
  table_.Post();  // written through as the table tells of it
}

std::string Archive::CurrentValue(std::string_view column) const {
  const std::optional<std::string> value = table_.FieldNamed(std::string(column)).Value();
  if (!value) throw TableError("Invalid variant type conversion");
  return *value;
}

ArchiveRecord Archive::Current() const {
  ArchiveRecord record;
  record.cognome = CurrentValue(kCognome);
  record.nome = CurrentValue(kNome);
  record.sex = CurrentValue(kSex);
  record.comune = CurrentValue(kComune);
  record.data = CurrentValue(kData);
  record.codiceFiscale = CurrentValue(kCodiceFiscale);
  return record;
}

void Archive::Save(TLbCsv& table) { Sync(table, true); }

void Archive::Sync(TLbCsv& table, bool write) {
  const std::string& path = table.TableName();
  struct Saving {
    bool& flag;
    explicit Saving(bool& f) : flag(f) { flag = true; }
    ~Saving() { flag = false; }
  } saving(saving_);

  FileLock lock(LockPathOf(path));
  RemoveStaleTemporaryFiles(path);

  // The file as another copy may have left it.
  std::optional<TableFile> merged;
  const FileStamp now = StampOf(path);
  if (now.exists && now != stamp_) {
    // What cannot be read (a folder in the way) is left to the write to refuse.
    std::optional<FileBytes> bytes = ReadWholeFile(path);
    if (bytes && ContentHash::Of(bytes->View()) != KnownHash()) {
      TableFile disk = TableFile::FromBytes(std::move(*bytes));
      if (disk.LineCount() > 0) {
        const TTableChanges& changes = table.Changes();
        for (const std::string& gone : changes.removed) {
          for (std::size_t i = 1; i < disk.LineCount(); ++i) {
            if (disk.Line(i) == gone) {
              disk.Erase(i);
              break;
            }
          }
        }
        if (!changes.added.empty()) {
          const int ours = CodeColumn();
          const int theirs = ColumnNamed(disk.Line(0), kCodiceFiscale);
          std::string scratch;
          for (const std::string& line : changes.added) {
            const std::string code = ValueAt(line, ours, scratch);
            const bool there = disk.FindLine(code, 1, [&](std::string_view other) {
              return ValueAt(other, theirs, scratch) == code;
            }) != disk.LineCount();
            if (!there) disk.Append(line);
          }
        }
        merged = std::move(disk);
      }
    }
  }

  if (!write) {
    // Read again only: what this copy holds in memory, merged, shown.
    if (!merged) return;
    hash_.reset();  // the text merged, about to be the table's, as read
    stamp_ = now;
  }

  // A file that lost bytes when read is kept whole before it is first replaced.
  if (write && lostBytes_ && now.exists) {
    const std::string copy = CopyBesideAsOriginal(path);
    lostBytes_ = false;
    if (onCopy_) onCopy_(copy);
  }

  if (write) {
    const TableFile& written = merged ? *merged : table.Lines();
    hash_ = written.WriteBack(path);
    stamp_ = StampOf(path);
    table.TakeChanges();
  }

  if (merged) {
    // The same record stays current where it is still there.
    const int number = table.RecordNumber();
    std::string currentLine;
    if (table.RecordCount() > 0) currentLine = std::string(table.Lines().Line(number));
    int current = number;
    for (std::size_t i = 1; i < merged->LineCount(); ++i) {
      if (merged->Line(i) == currentLine) {
        current = static_cast<int>(i);
        break;
      }
    }
    table.ReplaceLines(std::move(*merged), current);
  }
}
