#include "storage/archive.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "engine/ascii_case.h"
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

// The value of column `column` of a record line, parsed only that far.
std::string ValueAt(std::string_view line, int column, std::vector<std::string>& scratch) {
  if (scratch.empty()) scratch.emplace_back();
  std::string& value = scratch.front();
  std::size_t at = 0;
  for (int i = 0; i <= column; ++i) {
    if (!ReadValue(line, at, value)) return std::string();
  }
  return column >= 0 ? value : std::string();
}

int ColumnNamed(std::string_view header, const char* name) {
  const std::vector<std::string> names = SplitHeader(header);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (EqualIgnoringCase(names[i], name)) return static_cast<int>(i);
  }
  return -1;
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
  stamp_ = StampOf(table_.TableName());
  hash_ = table_.Lines().ReadHash();
  lostBytes_ = table_.Lines().LostBytes();
  indexed_ = false;
}

void Archive::DataEvent(TLbCsv&, TDataEvent event) {
  if (event == TDataEvent::ActiveChanged) {
    if (table_.Active()) Opened();
    indexed_ = false;
    return;
  }
  if (event != TDataEvent::DataSetChanged || saving_) return;
  IndexChanges();
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

int Archive::CodeColumn() const {
  return static_cast<int>(table_.FieldNamed(kCodiceFiscale).Index());
}

void Archive::BuildIndex() {
  codes_.clear();
  const TableFile& lines = table_.Lines();
  const int column = CodeColumn();
  std::vector<std::string> scratch;
  codes_.reserve(lines.LineCount());
  for (std::size_t i = 1; i < lines.LineCount(); ++i)
    ++codes_[ValueAt(lines.Line(i), column, scratch)];
  indexedAdded_ = table_.Changes().added.size();
  indexedRemoved_ = table_.Changes().removed.size();
  indexed_ = true;
}

void Archive::IndexChanges() {
  if (!indexed_) return;
  const TTableChanges& changes = table_.Changes();
  if (changes.added.size() < indexedAdded_ || changes.removed.size() < indexedRemoved_) {
    indexed_ = false;  // the changes were taken or folded together: count again
    return;
  }
  const int column = CodeColumn();
  std::vector<std::string> scratch;
  for (std::size_t i = indexedAdded_; i < changes.added.size(); ++i) {
    ++codes_[ValueAt(changes.added[i], column, scratch)];
  }
  for (std::size_t i = indexedRemoved_; i < changes.removed.size(); ++i) {
    const auto found = codes_.find(ValueAt(changes.removed[i], column, scratch));
    if (found != codes_.end() && --found->second <= 0) codes_.erase(found);
  }
  indexedAdded_ = changes.added.size();
  indexedRemoved_ = changes.removed.size();
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
  if (!indexed_) BuildIndex();
  if (codes_.find(code) == codes_.end()) {
    table_.Last();
    return false;
  }
  // Only the lines holding the text can hold the code.
  const TableFile& lines = table_.Lines();
  const int column = CodeColumn();
  std::vector<std::string> scratch;
  for (std::size_t i = 1; i < lines.LineCount(); ++i) {
    if (lines.Line(i).find(code) == std::string_view::npos) continue;
    if (ValueAt(lines.Line(i), column, scratch) != code) continue;
    if (i > 1) table_.SetRecordNumber(static_cast<int>(i));
    return true;
  }
  table_.Last();  // the index was stale; the lines have the last word
  return false;
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
    std::optional<std::string> bytes = ReadWholeFile(path);
    if (bytes && ContentHash::Of(*bytes) != hash_) {
      TableFile disk = TableFile::FromText(std::move(*bytes));
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
          std::vector<std::string> scratch;
          std::unordered_set<std::string> there;
          for (std::size_t i = 1; i < disk.LineCount(); ++i) {
            there.insert(ValueAt(disk.Line(i), theirs, scratch));
          }
          for (const std::string& line : changes.added) {
            if (there.insert(ValueAt(line, ours, scratch)).second) disk.Append(line);
          }
        }
        merged = std::move(disk);
      }
    }
  }

  if (!write) {
    // Read again only: what this copy holds in memory, merged, shown.
    if (!merged) return;
    hash_ = merged->ReadHash();
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
  indexed_ = indexed_ && !merged;
  indexedAdded_ = indexedRemoved_ = 0;

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
