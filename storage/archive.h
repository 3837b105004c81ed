#pragma once

#include <array>
#include <string>
#include <string_view>

class TLbCsv;

// The archive's columns, and the header line a new archive gets: the same
// names in the same order.
namespace archive_column {
inline constexpr const char* kCognome = "Cognome";
inline constexpr const char* kNome = "Nome";
inline constexpr const char* kSex = "Sex";
inline constexpr const char* kComune = "Comune";
inline constexpr const char* kData = "Data";
inline constexpr const char* kCodiceFiscale = "CodiceFiscale";
}  // namespace archive_column
inline constexpr std::array<const char*, 6> kArchiveColumns = {
    archive_column::kCognome, archive_column::kNome, archive_column::kSex,
    archive_column::kComune,  archive_column::kData, archive_column::kCodiceFiscale};
inline constexpr const char* kArchiveHeader = "Cognome,Nome,Sex,Comune,Data,CodiceFiscale";

// One archived person: the six values, as the files hold them.
struct ArchiveRecord {
  std::string cognome;
  std::string nome;
  std::string sex;
  std::string comune;
  std::string data;
  std::string codiceFiscale;

  friend bool operator==(const ArchiveRecord&, const ArchiveRecord&) = default;
};

// The rules of the archive of computed codes, on its table cursor. Columns are
// found by name, so an archive whose header orders them otherwise works too.
class Archive {
 public:
  explicit Archive(TLbCsv& table) : table_(table) {}

  TLbCsv& Table() const { return table_; }

  // Whether some record's "CodiceFiscale" equals `code`, byte for byte. The
  // cursor is left on the matching record, or on the last one when none does.
  bool FindCode(const std::string& code) const;

  // Adds `record` after the last record; it becomes the current record.
  void Add(const ArchiveRecord& record) const;

  // The value of `column` in the current record. With no current record there
  // is no value at all: TableError "Invalid variant type conversion".
  std::string CurrentValue(std::string_view column) const;
  // The current record, read column by column as CurrentValue does.
  ArchiveRecord Current() const;

 private:
  TLbCsv& table_;
};
