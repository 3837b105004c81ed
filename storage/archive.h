#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "storage/file_stamp.h"
#include "storage/tlbcsv.h"

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
//
// Nothing the user was told of is lost: every record added or deleted through
// the table, by whatever front end, is written through to the file at once,
// and closing writes it again. Each write takes the lock beside the file, so
// that two copies of the program on one archive take turns; a file another
// copy changed meanwhile is read again and this copy's own additions (unless
// their code is there already) and deletions (of lines still there) are put
// into it. A file that lost bytes when it was read (text after a NUL) is
// first copied beside itself whole.
class Archive : public TLbCsvObserver, public TTableSaver {
 public:
  using ErrorHandler = std::function<void(const std::exception& error)>;
  using CopyHandler = std::function<void(const std::string& copyPath)>;

  explicit Archive(TLbCsv& table);
  ~Archive() override;
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  TLbCsv& Table() const { return table_; }

  // A write-through that fails is reported here, once, and tried again at
  // the next change and at closing; the records stay in memory. Without a
  // handler it is kept as LastError().
  void SetErrorHandler(ErrorHandler handler) { onError_ = std::move(handler); }
  const std::string& LastError() const { return lastError_; }
  // Told where the copy of a file that lost bytes was made, once.
  void SetCopyHandler(CopyHandler handler) { onCopy_ = std::move(handler); }

  // Whether some record's "CodiceFiscale" equals `code`, byte for byte. The
  // cursor is left on the (first) matching record, or on the last one when
  // none does, as a walk from the first record would leave it.
  bool FindCode(const std::string& code);

  // Adds `record` after the last record; it becomes the current record, and
  // the file holds it when this returns (or the failure was reported).
  void Add(const ArchiveRecord& record);

  // The value of `column` in the current record. With no current record there
  // is no value at all: TableError "Invalid variant type conversion".
  std::string CurrentValue(std::string_view column) const;
  // The current record, read column by column as CurrentValue does.
  ArchiveRecord Current() const;

  // The table's write-back: lock, merge, copy, replace.
  void Save(TLbCsv& table) override;
  void DataEvent(TLbCsv& table, TDataEvent event) override;

 private:
  void Opened();
  // Under the lock: the file read again when another copy changed it and
  // this copy's changes applied; then, when `write`, written back.
  void Sync(TLbCsv& table, bool write);
  void WriteThrough();
  int CodeColumn() const;
  std::uint64_t KnownHash();

  TLbCsv& table_;
  ErrorHandler onError_;
  CopyHandler onCopy_;
  std::string lastError_;
  bool saving_ = false;

  // The file as this copy last read or wrote it.
  FileStamp stamp_;
  // The hash of the file as last read or written, once it has been asked.
  std::optional<std::uint64_t> hash_;
  bool lostBytes_ = false;
};
