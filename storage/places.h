#pragma once

#include <string>
#include <vector>

class TLbCsv;

// The columns of the municipality table the program reads.
namespace place_column {
inline constexpr const char* kName = "comuni";
inline constexpr const char* kCode = "Code";
inline constexpr const char* kProvince = "Prov";
}  // namespace place_column

// The municipality table as a register of places: Italian municipalities and
// foreign states with their cadastral codes and provinces. Lookups move the
// table's cursor, since the current record is what the window shows.
class Places {
 public:
  explicit Places(TLbCsv& table) : table_(table) {}

  TLbCsv& Table() const { return table_; }

  // Every name, in file order. The last record is current afterwards.
  std::vector<std::string> Names() const;

  // Makes the record of `name` current: the text with its letters a to z
  // upper-cased is compared whole with each stored name. When no record
  // matches, the last one stays current and the answer is false.
  bool Find(const std::string& name) const;

  // The current record's code and province.
  std::string Code() const;
  std::string Province() const;

 private:
  TLbCsv& table_;
};
