// One column of an open table cursor.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

class TLbCsv;

// One column of an open table. Reads and writes go to the table's current
// record.
class TStringField {
 public:
  TStringField(TLbCsv& table, std::string fieldName, std::size_t index);
  TStringField(const TStringField&) = delete;
  TStringField& operator=(const TStringField&) = delete;

  const std::string& FieldName() const { return fieldName_; }
  std::size_t Index() const { return index_; }
  static constexpr std::size_t Size() { return 255; }

  // The current record's value; empty text when there is no current record.
  // Valid until the cursor moves or the table changes: a scan reads each
  // record's value without copying it.
  const std::string& Text() const;
  // Only in the edit or insert state; the value is cut to Size() characters.
  void SetText(const std::string& value);
  // No value at all when there is no current record.
  std::optional<std::string> Value() const;

 private:
  TLbCsv& table_;
  std::string fieldName_;
  std::size_t index_;
};
