#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "storage/tlbcsv_observer.h"
#include "storage/tstring_field.h"

enum class TDataSetState { Inactive, Browse, Edit, Insert };

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
  void Close();

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
  // What a column reads and writes: the current record's value; none when
  // there is no current record.
  const std::string* FieldValue(const TStringField& field) const;
  void SetFieldText(const TStringField& field, const std::string& value);

  struct Impl;
  std::unique_ptr<Impl> d_;
};
