// The archive's interface: its columns, records, errors and rules.
#pragma once

#include <array>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/table/tlb_csv.h"
#include "storage/table_error.h"

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

// Another desk holds the archive past the lock's limit: "L'archivio è in uso
// da un'altra postazione: <path>".
class ArchiveBusy : public TableError {
 public:
  using TableError::TableError;
};
// That text for the archive at `path`, for every wait that gives up.
ArchiveBusy ArchiveInUse(const std::string& path);

// The archive's server cannot be reached, or stopped answering: "Archivio
// non raggiungibile: <reason>", never with a password in it.
class ArchiveUnreachable : public TableError {
 public:
  using TableError::TableError;
};

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

// The rules of the archive of computed codes, over the table cursor the
// window's grid shows. Columns are found by name, so an archive whose header
// orders them otherwise works too. Where the records are kept is the kind's
// business (a file beside the program, later a database server); what every
// kind promises is that nothing the user was told of is lost: Add and
// DeleteCurrent have stored the change when they return, or reported why
// not, once, to the error handler, and the change waits in memory for the
// next change or the closing to try again.
class Archive {
 public:
  using ErrorHandler = std::function<void(const std::exception& error)>;
  using NoticeHandler = std::function<void(const std::string& text)>;
  using BusyHandler = std::function<bool(const ArchiveBusy& busy)>;

  explicit Archive(TLbCsv& table) : table_(table) {}
  virtual ~Archive() = default;
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  TLbCsv& Table() const { return table_; }

  // A write that fails is reported here; without a handler it is only kept
  // as LastError(), which the next write that succeeds clears.
  void SetErrorHandler(ErrorHandler handler) { onError_ = std::move(handler); }
  const std::string& LastError() const { return lastError_; }
  // Asked, when another desk holds the archive past the limit, whether to
  // try again; without one, a busy archive is reported as any failure. A
  // change not tried again waits in memory for the next change or closing.
  void SetBusyHandler(BusyHandler handler) { onBusy_ = std::move(handler); }
  // Told, once each, in the user's words, what the user must know though
  // nothing failed: where the copy of a file that could not be kept whole
  // on writing was put, records the server refused and where they went.
  void SetNoticeHandler(NoticeHandler handler) { onNotice_ = std::move(handler); }
  // Called about every 50 ms while another desk's hold on the archive is
  // waited for, so that a window keeps painting.
  void SetLockWait(std::function<void()> waiting) { lockWait_ = std::move(waiting); }

  // Takes in what other desks stored or deleted since, when the kind can
  // be told of it without waiting; the current record stays current. True
  // when the records changed. A file's copies meet under its lock instead,
  // so the file has nothing to do here.
  virtual bool Refresh() { return false; }

  // Whether some record's "CodiceFiscale" equals `code`, byte for byte. The
  // cursor is left on the (first) matching record, or on the last one when
  // none does, as a walk from the first record would leave it.
  virtual bool FindCode(const std::string& code) = 0;
  // Adds `record` after the last record; it becomes the current record. A
  // value longer than a field holds is refused (TableError "<Column> troppo
  // lungo per l'archivio: ..."), nothing added.
  virtual void Add(const ArchiveRecord& record) = 0;
  // Deletes the current record; its successor becomes current.
  virtual void DeleteCurrent() = 0;
  // Stores the changes still waiting, now; reports a failure as Add does.
  virtual void WriteThrough() = 0;
  // Stores what waits and closes the table. Throws when it cannot be
  // stored: the table then stays open with every record.
  virtual void Close() = 0;

  // The value of `column` in the current record. With no current record there
  // is no value at all: TableError "Invalid variant type conversion".
  std::string CurrentValue(std::string_view column) const;
  // The current record, read column by column as CurrentValue does.
  ArchiveRecord Current() const;
  // Every record, in the order the table holds them.
  std::vector<ArchiveRecord> Records() const;

 protected:
  // The duplicate check on the records the table holds, as FindCode
  // describes it; the grid told of where it ends only.
  bool FindInTable(const std::string& code);
  // Its end when the code is known to be missing: the cursor on the last
  // record, as that walk would leave it; false.
  bool NotInTable();
  // `record` inserted after the last record and posted, not yet stored; one
  // with a value too long refused, as Add says.
  void AppendToTable(const ArchiveRecord& record);
  // Runs `write`, again while the archive is busy and the busy handler asks
  // for it; a failure is thrown.
  void RetriedWhileBusy(const std::function<void()>& write);
  // The same, a failure kept and reported instead of thrown.
  void Reported(const std::function<void()>& write);
  void Notice(const std::string& text) {
    if (onNotice_) onNotice_(text);
  }
  const std::function<void()>& LockWait() const { return lockWait_; }

 private:
  TLbCsv& table_;
  ErrorHandler onError_;
  NoticeHandler onNotice_;
  BusyHandler onBusy_;
  std::function<void()> lockWait_;
  std::string lastError_;
};
