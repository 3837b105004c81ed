// The table cursor TLbCsv over a table file.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "storage/table/tlb_csv_observer.h"
#include "storage/table/tstring_field.h"

enum class TDataSetState { Inactive, Browse, Edit, Insert };

class RecordEdits;
class TableFile;
class TLbCsv;
class TQuietWalk;

// The record lines a table gained and lost through the cursor since they were
// last taken: what a write-back that merges with another copy's changes must
// apply. An edit counts as the old line lost and the new one gained.
struct TTableChanges {
  std::vector<std::string> added;
  std::vector<std::string> removed;

  bool Empty() const { return added.empty() && removed.empty(); }
};

// Writes a table's file back in place of the plain write-back of its lines
// (the archive's rules: lock, merge, copies). It may replace the table's lines
// with the merged ones.
class TTableSaver {
 public:
  virtual ~TTableSaver() = default;
  virtual void Save(TLbCsv& table) = 0;
};

// Record cursor over one comma-separated table file. The whole file is held as
// its line list while open; a record's line is parsed when a move reaches it.
// Errors are TableError with the component name in front ("LbCsv2: ...").
class TLbCsv {
 public:
  explicit TLbCsv(std::string name = "LbCsv");
  ~TLbCsv();  // closes an open table; a failed write-back is swallowed here
  TLbCsv(const TLbCsv&) = delete;
  TLbCsv& operator=(const TLbCsv&) = delete;

  const std::string& Name() const;
  void SetName(const std::string& name);

  const std::string& TableName() const;
  void SetTableName(const std::string& path);  // closes first when the name changes
  bool ReadOnly() const;
  void SetReadOnly(bool readOnly);
  bool Active() const;
  void SetActive(bool active);
  void Open();
  // Opens over the lines of the table's file already read (TableFile::Load
  // of TableName()), as Open would after reading them.
  void Open(TableFile file);
  void Close();
  // Closes without writing the file back (the user chose to lose the changes).
  void Discard();
  // Writes the file back now, as closing would, and stays open.
  void Save();
  // Who writes the file back; none (the default) writes the lines as they are.
  void SetSaver(TTableSaver* saver);

  // The line list as it stands: header, then one line per stored record.
  const TableFile& Lines() const;
  // What was added and removed through the cursor since the last TakeChanges.
  const TTableChanges& Changes() const;
  // Every change of the records' lines and places, numbered, for views that
  // follow the records without reading them all again.
  const RecordEdits& Edits() const;
  TTableChanges TakeChanges();
  // Puts `lines` in place of the line list of an open table in the browse
  // state (a merged copy of its file); record `current` (1-based, clamped)
  // becomes current and the views are told. The header must name the same
  // columns.
  void ReplaceLines(TableFile lines, int current);
  // Takes in records changed elsewhere (another desk's), not as changes of
  // this cursor: the lines at `erase` (ascending) removed, `append` added
  // after the last; record `current` (1-based, clamped) becomes current
  // and the views are told.
  void TakeInLines(const std::vector<std::size_t>& erase, std::vector<std::string> append,
                   int current);

  int RecordCount() const;
  void First();
  void Prior();
  void Next();
  void Last();
  int Skip(int n);
  bool AtBeginning() const;
  bool AtEnd() const;
  bool Empty() const;
  bool Writable() const;
  int RecordNumber() const;
  void SetRecordNumber(int number);  // clamped to 1..RecordCount

  TStringField& FieldNamed(const std::string& name);
  int FieldCount() const;
  TStringField& Field(int index);

  void Insert();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  TDataSetState State() const;
  bool Modified() const;

  // The values of record `number` (1-based) as the parser reads its line,
  // without moving the cursor; what a view shows. During an insert or edit the
  // current record's pending values are returned for the current number. One
  // value per column, missing ones empty; a number with no record gives one
  // empty text per column (the blank row of an empty table).
  std::vector<std::string> RecordValues(int number) const;

  void Attach(TLbCsvObserver* view);
  void Detach(TLbCsvObserver* view);

 private:
  friend class TStringField;
  friend class TQuietWalk;
  // Moves made while held are told to the views once, when the last hold ends.
  void HoldMoves();
  void ReleaseMoves();
  // What a column reads and writes: the current record's value; none when
  // there is no current record.
  const std::string* FieldValue(const TStringField& field) const;
  void SetFieldText(const TStringField& field, const std::string& value);

  struct Impl;
  std::unique_ptr<Impl> d_;
};
