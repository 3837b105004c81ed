#include "storage/db_archive.h"

#include <algorithm>
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
const char* const kChannel = "archivio";

// "<reason>." from the first line of a reason: libpq's second is a hint.
std::string Sentence(std::string reason) {
  reason.resize(std::min(reason.find('\n'), reason.size()));
  while (!reason.empty() && (reason.back() == ' ' || reason.back() == '.')) reason.pop_back();
  return reason + ".";
}

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

// Runs `work` between BEGIN and COMMIT, rolled back when it throws.
template <class Work>
void InTransaction(PqConnection& db, Work work) {
  db.Run("BEGIN");
  try {
    work();
    db.Run("COMMIT");
  } catch (...) {
    try {
      db.Run("ROLLBACK");
    } catch (const std::exception&) {
      // A connection that is gone rolled back on its own.
    }
    throw;
  }
}

}  // namespace

DbArchive::DbArchive(TLbCsv& table, std::string conninfo, std::string waitingFolder)
    : Archive(table),
      conninfo_(std::move(conninfo)),
      waiting_(waitingFolder,
               waitingFolder.empty() ? std::string() : PqConnection::DatabaseLabel(conninfo_)) {
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
    made->Listen(kChannel);
    connection_ = std::move(made);
  }
  return *connection_;
}

void DbArchive::Open() {
  TLbCsv& table = Table();
  if (!table.Active()) table.Open(TableFile::FromText(std::string(kArchiveHeader) + "\r\n"));
  try {
    Connection();
  } catch (const ArchiveUnreachable& away) {
    const std::vector<std::string> lines = waiting_.Lines();
    if (lines.empty()) throw;
    // Shown, so that the user sees them and they are not archived twice.
    std::string text = std::string(kArchiveHeader) + "\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    table.ReplaceLines(TableFile::FromText(text), static_cast<int>(lines.size()));
    throw ArchiveUnreachable(Sentence(away.what()) + " " + std::to_string(lines.size()) +
                             " record conservati saranno inviati appena possibile.");
  }
  SendWaiting();
  Load();
}

bool DbArchive::Refresh() {
  const TLbCsv& table = Table();
  if (!connection_ || !table.Active() || table.State() != TDataSetState::Browse) return false;
  if (!connection_->TakeNotifications()) return false;
  try {
    if (StampNow() == stamp_) return false;  // this desk's own change
    Load();
    return true;
  } catch (const std::exception&) {
    // Taken in at the next check.
    return false;
  }
}

DbArchive::Stamp DbArchive::StampNow() {
  const std::vector<PqConnection::Row> rows = Connection().Run(kStamp);
  return {std::stoll(rows[0][0]), std::stoll(rows[0][1])};
}

void DbArchive::Load() {
  const std::vector<PqConnection::Row> rows = Connection().Run(kSelectAll);
  std::string text = std::string(kArchiveHeader) + "\r\n";
  Stamp stamp{static_cast<std::int64_t>(rows.size()), 0};
  TLbCsv& table = Table();
  // The record current stays current by its code; one another desk deleted
  // leaves its place to the next.
  int current = table.RecordNumber();
  std::string currentCode;
  if (!table.Empty() && table.State() == TDataSetState::Browse) {
    ValueAt(table.Lines().Line(static_cast<std::size_t>(current)), 5, currentCode);
  }
  std::vector<std::string> values(kArchiveColumns.size());
  int number = 0;
  for (const PqConnection::Row& row : rows) {
    ++number;
    if (!currentCode.empty() && row[5] == currentCode) current = number;
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = row[i];
    const std::optional<CalendarDate> day = ReadDate(row[4], kIsoDates);
    if (day) values[4] = DateToText(*day);
    text += WriteRecord(values);
    text += "\r\n";
    stamp.idSum += std::stoll(row[6]);
  }
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
  bool changed = SendWaiting();
  const TTableChanges& changes = table.Changes();
  // Deletions first: an edited record is its old line gone and its new one
  // added, under the same code.
  for (const std::string& line : changes.removed) {
    std::string code;
    ValueAt(line, 5, code);
    for (const PqConnection::Row& row : db.Run(kDelete, {code})) {
      --stamp_.count;
      stamp_.idSum -= std::stoll(row[0]);
      changed = true;
    }
  }
  for (const std::string& line : changes.added) {
    // None when another desk stored the code first.
    for (const PqConnection::Row& row : db.Run(kInsert, Values(line))) {
      ++stamp_.count;
      stamp_.idSum += std::stoll(row[0]);
      changed = true;
    }
  }
  table.TakeChanges();
  if (changed) Announce();
  if (reached && table.State() == TDataSetState::Browse) Load();
}

void DbArchive::StoreReconnecting() {
  const bool connected = connection_ != nullptr;
  try {
    Store();
    return;
  } catch (const ArchiveUnreachable&) {
    // One never reached was tried just now: the user waits no second time.
    if (!connected) throw;
  }
  Store();
}

bool DbArchive::SendWaiting() {
  bool sent = false;
  waiting_.Send([this, &sent](const std::vector<std::string>& lines) {
    PqConnection& db = Connection();
    InTransaction(db, [&] {
      for (const std::string& line : lines) {
        for (const PqConnection::Row& row : db.Run(kInsert, Values(line))) {
          ++stamp_.count;
          stamp_.idSum += std::stoll(row[0]);
          sent = true;
        }
      }
    });
  });
  return sent;
}

void DbArchive::KeepWaiting(const ArchiveUnreachable& away) {
  TLbCsv& table = Table();
  if (!waiting_.Kept() || !table.Changes().removed.empty()) throw away;
  waiting_.Append(table.Changes().added);
  table.TakeChanges();
  throw ArchiveUnreachable(Sentence(away.what()) +
                           " Il record è conservato e sarà inviato appena possibile.");
}

void DbArchive::Announce() {
  try {
    Connection().Run((std::string("NOTIFY ") + kChannel).c_str());
  } catch (const std::exception&) {
    // The change is stored; other desks see it at their next check.
  }
}

int DbArchive::AddAll(const std::vector<ArchiveRecord>& records) {
  Store();
  PqConnection& db = Connection();
  int stored = 0;
  InTransaction(db, [&] {
    for (const ArchiveRecord& record : records) {
      stored += static_cast<int>(db.Run(kInsert, Values(record)).size());
    }
  });
  if (stored > 0) Announce();
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
  Reported([this] {
    try {
      StoreReconnecting();
    } catch (const ArchiveUnreachable& away) {
      KeepWaiting(away);
    }
  });
}

void DbArchive::DeleteCurrent() {
  Reported([this] {
    try {
      StoreReconnecting();
    } catch (const ArchiveUnreachable& away) {
      // Refused: the record would come back from the server.
      throw ArchiveUnreachable(Sentence(away.what()));
    }
    for (const PqConnection::Row& row :
         Connection().Run(kDelete, {CurrentValue(archive_column::kCodiceFiscale)})) {
      --stamp_.count;
      stamp_.idSum -= std::stoll(row[0]);
    }
    TLbCsv& table = Table();
    table.Delete();
    table.TakeChanges();
    Announce();
  });
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
