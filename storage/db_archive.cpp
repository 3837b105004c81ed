#include "storage/db_archive.h"

#include <vector>

#include "engine/date_reading.h"
#include "engine/short_date.h"
#include "storage/db_archive_schema.h"
#include "storage/iso_day.h"
#include "storage/pq_connection.h"
#include "storage/record_format.h"
#include "storage/table_file.h"

namespace {

// The archive's six columns in the order of kArchiveColumns, the date as
// yyyy-mm-dd; then the identity.
const char* const kSelectAll =
    "SELECT cognome, nome, sex, comune, to_char(data, 'YYYY-MM-DD'), codicefiscale, id "
    "FROM archivio ORDER BY id";
const char* const kInsert =
    "INSERT INTO archivio (cognome, nome, sex, comune, data, codicefiscale) "
    "VALUES ($1, $2, $3, $4, $5::date, $6) ON CONFLICT (codicefiscale) DO NOTHING RETURNING id";
const char* const kDelete = "DELETE FROM archivio WHERE codicefiscale = $1 RETURNING id";
const char* const kStamp = "SELECT count(*), coalesce(sum(id), 0) FROM archivio";

// A record as the insert's values, the short date as the server's day.
std::vector<std::string> Values(const ArchiveRecord& record) {
  return {record.cognome,
          record.nome,
          record.sex,
          record.comune,
          IsoDayText(TextToDate(record.data)),
          record.codiceFiscale};
}

// A line of the table, in kArchiveHeader's order, as the insert's values.
std::vector<std::string> Values(std::string_view line) {
  std::vector<std::string> values;
  ParseRecord(line, values);
  values.resize(kArchiveColumns.size());
  return Values({values[0], values[1], values[2], values[3], values[4], values[5]});
}

}  // namespace

DbArchive::DbArchive(TLbCsv& table, std::string conninfo)
    : Archive(table), conninfo_(std::move(conninfo)) {
  table.SetSaver(this);
}

DbArchive::~DbArchive() {
  SetBusyHandler(nullptr);
  TLbCsv& table = Table();
  if (table.Active()) {
    try {
      table.Close();
    } catch (...) {
      // Every change was stored, or reported, when it was made.
      table.Discard();
    }
  }
  table.SetSaver(nullptr);
}

PqConnection& DbArchive::Connection() {
  if (!connection_) {
    auto made = std::make_unique<PqConnection>(conninfo_);
    if (made->Run("SELECT to_regclass('archivio') IS NULL")[0][0] == "t") {
      // Made by the first desk; a role granted only the records need not
      // be able to make it.
      made->Run(kArchiveSchema);
    }
    connection_ = std::move(made);
  }
  return *connection_;
}

void DbArchive::Open() {
  TLbCsv& table = Table();
  if (!table.Active()) table.Open(TableFile::FromText(std::string(kArchiveHeader) + "\r\n"));
  Connection();
  Load();
}

DbArchive::Stamp DbArchive::StampNow() {
  const std::vector<PqConnection::Row> rows = Connection().Run(kStamp);
  return {std::stoll(rows[0][0]), std::stoll(rows[0][1])};
}

void DbArchive::Load() {
  const std::vector<PqConnection::Row> rows = Connection().Run(kSelectAll);
  std::string text = std::string(kArchiveHeader) + "\r\n";
  Stamp stamp{static_cast<std::int64_t>(rows.size()), 0};
  std::vector<std::string> values(kArchiveColumns.size());
  for (const PqConnection::Row& row : rows) {
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = row[i];
    const std::optional<CalendarDate> day = ReadDate(row[4], kIsoDates);
    if (day) values[4] = DateToText(*day);
    text += WriteRecord(values);
    text += "\r\n";
    stamp.idSum += std::stoll(row[6]);
  }
  TLbCsv& table = Table();
  const int current = table.RecordNumber();
  // Another desk's changes replace what this copy held; its own waiting ones
  // are stored first (FindCode), so none is lost.
  table.ReplaceLines(TableFile::FromText(text), current);
  stamp_ = stamp;
}

void DbArchive::Store() {
  TLbCsv& table = Table();
  // A server first reached now (it was out of reach at start): its records
  // are read once this copy's are stored.
  const bool reached = !connection_;
  PqConnection& db = Connection();
  const TTableChanges& changes = table.Changes();
  // Deletions first: an edited record is its old line gone and its new one
  // added, under the same code.
  for (const std::string& line : changes.removed) {
    std::string code;
    ValueAt(line, 5, code);
    for (const PqConnection::Row& row : db.Run(kDelete, {code})) {
      --stamp_.count;
      stamp_.idSum -= std::stoll(row[0]);
    }
  }
  for (const std::string& line : changes.added) {
    // None when another desk stored the code first.
    for (const PqConnection::Row& row : db.Run(kInsert, Values(line))) {
      ++stamp_.count;
      stamp_.idSum += std::stoll(row[0]);
    }
  }
  table.TakeChanges();
  if (reached && table.State() == TDataSetState::Browse) Load();
}

int DbArchive::AddAll(const std::vector<ArchiveRecord>& records) {
  Store();
  PqConnection& db = Connection();
  db.Run("BEGIN");
  int stored = 0;
  try {
    for (const ArchiveRecord& record : records) {
      stored += static_cast<int>(db.Run(kInsert, Values(record)).size());
    }
    db.Run("COMMIT");
  } catch (...) {
    try {
      db.Run("ROLLBACK");
    } catch (const std::exception&) {
      // A connection that is gone rolled back on its own.
    }
    throw;
  }
  Load();
  return stored;
}

bool DbArchive::FindCode(const std::string& code) {
  // Only a live connection is asked: a server out of reach would hold every
  // check for the connection's timeout. Then what this copy holds is checked.
  if (connection_ && Table().Active()) {
    try {
      Store();
      if (StampNow() != stamp_) Load();
    } catch (const std::exception&) {
      // Told when the change that waits is next stored.
    }
  }
  return FindInTable(code);
}

void DbArchive::Add(const ArchiveRecord& record) {
  AppendToTable(record);
  WriteThrough();
}

void DbArchive::DeleteCurrent() {
  Table().Delete();
  WriteThrough();
}

void DbArchive::WriteThrough() {
  const TLbCsv& table = Table();
  if (!table.Active() || table.Changes().Empty()) return;
  Reported([this] { Store(); });
}

void DbArchive::Close() { Table().Close(); }

void DbArchive::Save(TLbCsv& table) {
  if (table.Changes().Empty()) return;
  RetriedWhileBusy([this] { Store(); });
}
