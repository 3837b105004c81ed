#include "storage/archive/db_archive.h"

#include <algorithm>
#include <vector>

#include "engine/date_reading.h"
#include "engine/short_date.h"
#include "storage/archive/db_archive_records.h"
#include "storage/archive/db_archive_schema.h"
#include "storage/archive/pq_connection.h"
#include "storage/table/record_format.h"
#include "storage/table/table_file.h"

namespace {

// The archive's six columns in the order of kArchiveColumns, the date as
// yyyy-mm-dd; then the identity.
const char* const kSelectAll =
    "SELECT cognome, nome, sex, comune, to_char(data, 'YYYY-MM-DD'), codicefiscale, id "
    "FROM archivio ORDER BY id";
const char* const kDelete = "DELETE FROM archivio WHERE codicefiscale = $1 RETURNING id";
const char* const kHasCode = "SELECT 1 FROM archivio WHERE codicefiscale = $1";
const char* const kLastChange = "SELECT numero FROM archivio_versione";
// The changes after $1, an added record with its values while it is there,
// looked up by identity: OFFSET 0 keeps the planner from turning the lookup
// into a join that reads the whole table, as it may before the server has
// counted a newly filled one.
const char* const kChangesAfter =
    "SELECT m.numero, m.aggiunto, m.id, m.codicefiscale, a.id, a.cognome, a.nome, a.sex, "
    "a.comune, to_char(a.data, 'YYYY-MM-DD'), a.codicefiscale "
    "FROM archivio_modifiche m LEFT JOIN LATERAL (SELECT * FROM archivio "
    "WHERE m.aggiunto AND id = m.id OFFSET 0) a ON true "
    "WHERE m.numero > $1 ORDER BY m.numero, m.id";
const char* const kChannel = "archivio";
// The schema's own lock, held by the session while it looks and makes.
const char* const kSchemaTurn = "SELECT pg_advisory_lock(hashtext('viveze archivio'))";
const char* const kSchemaTurnEnd = "SELECT pg_advisory_unlock(hashtext('viveze archivio'))";
// Whether the table or its log is still to be made.
bool Missing(PqConnection& db) {
  return db.Run(
             "SELECT to_regclass('archivio') IS NULL OR to_regclass('archivio_modifiche') IS "
             "NULL")[0][0] == "t";
}

// A row of the server's (the six values, the date as yyyy-mm-dd) as a line
// of the table.
std::string LineOf(const std::vector<std::string_view>& row, std::size_t first,
                   std::vector<std::string>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = row[first + i];
  const std::optional<CalendarDate> day = ReadDate(values[4], kIsoDates);
  if (day) values[4] = DateToText(*day);
  return WriteRecord(values);
}

// "<reason>." from the first line of a reason: libpq's second is a hint.
std::string Sentence(std::string reason) {
  reason.resize(std::min(reason.find('\n'), reason.size()));
  while (!reason.empty() && (reason.back() == ' ' || reason.back() == '.')) reason.pop_back();
  return reason + ".";
}

}  // namespace

DbArchive::DbArchive(TLbCsv& table, std::string conninfo, std::string waitingFolder)
    : Archive(table), conninfo_(std::move(conninfo)), waiting_(std::move(waitingFolder)) {
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
    // What waits is named after the database libpq tried, reached or not.
    std::string label;
    std::unique_ptr<PqConnection> made;
    try {
      made = std::make_unique<PqConnection>(conninfo_, &label);
    } catch (const ArchiveUnreachable&) {
      waiting_.Name(label);
      throw;
    }
    waiting_.Name(label);
    if (Missing(*made)) {
      // Made by the first desk, or the log added to an earlier version's
      // table; a role granted only the records need not be able to. Desks
      // starting together take turns and look again: the script run while
      // another desk already adds would lock the tables against its adds.
      made->Run(kSchemaTurn);
      try {
        if (Missing(*made)) made->RunScript(kArchiveSchema);
      } catch (...) {
        try {
          made->Run(kSchemaTurnEnd);
        } catch (const std::exception&) {
          // A session that is gone holds no lock.
        }
        throw;
      }
      made->Run(kSchemaTurnEnd);
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
  try {
    if (!connection_->Connected()) return Reconnected() && CatchUp();
    if (!connection_->TakeNotifications()) return false;
    return CatchUp();
  } catch (const std::exception&) {
    // Taken in at the next check.
    return false;
  }
}

bool DbArchive::Reconnected() {
  const auto now = std::chrono::steady_clock::now();
  if (!reachable_.valid()) {
    if (now < nextTry_) return false;
    reachable_ = std::async(std::launch::async, [conninfo = conninfo_] {
      try {
        PqConnection probe(conninfo);
        return true;
      } catch (const std::exception&) {
        return false;
      }
    });
  }
  if (reachable_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return false;
  const bool reachable = reachable_.get();
  nextTry_ = now + std::chrono::seconds(2);
  if (!reachable) return false;
  // The server answers now, so this does not hold the window.
  Connection().Run("SELECT 1");
  checkSeen_ = true;
  return true;
}

void DbArchive::Load() {
  TLbCsv& table = Table();
  // The record current stays current by its code; one another desk deleted
  // leaves its place to the next.
  int current = table.RecordNumber();
  std::string currentCode;
  if (!table.Empty() && table.State() == TDataSetState::Browse) {
    ValueAt(table.Lines().Line(static_cast<std::size_t>(current)), 5, currentCode);
  }
  std::string text = std::string(kArchiveHeader) + "\r\n";
  std::int64_t last = 0;
  std::vector<std::string> values(kArchiveColumns.size());
  PqConnection& db = Connection();
  // The records and the number of the last change, as of one moment.
  InTransaction(
      db,
      [&] {
        last = std::stoll(db.Run(kLastChange)[0][0]);
        int number = 0;
        db.RunEach(kSelectAll, {}, [&](const std::vector<std::string_view>& row) {
          ++number;
          if (!currentCode.empty() && row[5] == currentCode) current = number;
          text += LineOf(row, 0, values);
          text += "\r\n";
        });
      },
      "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
  // Another desk's changes replace what this copy held; its own waiting ones
  // are stored first (FindCode), so none is lost.
  table.ReplaceLines(TableFile::FromText(text), current);
  seen_ = last;
  ownAdded_.clear();
  checkSeen_ = false;
}

bool DbArchive::CatchUp() {
  TLbCsv& table = Table();
  if (table.State() != TDataSetState::Browse) return false;
  PqConnection& db = Connection();
  if (checkSeen_) {
    checkSeen_ = false;
    if (std::stoll(db.Run(kLastChange)[0][0]) < seen_) {
      Load();
      return true;
    }
  }
  const TableFile& lines = table.Lines();
  std::vector<std::size_t> erase;
  std::vector<std::string> append;
  std::vector<std::string> appendCodes;
  std::vector<std::string> values(kArchiveColumns.size());
  std::string scratch;
  bool emptied = false;
  std::int64_t last = seen_;
  db.RunEach(kChangesAfter, {std::to_string(seen_)}, [&](const std::vector<std::string_view>& row) {
    last = std::stoll(std::string(row[0]));
    if (row[2].empty()) {
      emptied = true;
    } else if (row[1] == "t") {
      // This copy's own, or one deleted since (its deletion follows).
      if (ownAdded_.erase(std::stoll(std::string(row[2]))) > 0 || row[4].empty()) return;
      append.push_back(LineOf(row, 5, values));
      appendCodes.emplace_back(row[3]);
    } else {
      const std::string_view code = row[3];
      for (const auto& [id, own] : ownAdded_) {
        if (own == code) return;  // archived here again after that deletion
      }
      const auto pending = std::find(appendCodes.begin(), appendCodes.end(), code);
      if (pending != appendCodes.end()) {
        append.erase(append.begin() + (pending - appendCodes.begin()));
        appendCodes.erase(pending);
        return;
      }
      const std::size_t at = lines.FindLine(
          code, 1, [&](std::string_view line) { return ValueAt(line, 5, scratch) == code; });
      // None when this copy deleted it itself.
      if (at < lines.LineCount()) erase.push_back(at);
    }
  });
  seen_ = last;
  if (emptied) {
    Load();
    return true;
  }
  if (erase.empty() && append.empty()) return false;
  std::sort(erase.begin(), erase.end());
  erase.erase(std::unique(erase.begin(), erase.end()), erase.end());
  const auto current = static_cast<std::size_t>(table.RecordNumber());
  const auto before = std::lower_bound(erase.begin(), erase.end(), current) - erase.begin();
  table.TakeInLines(erase, std::move(append), static_cast<int>(current) - static_cast<int>(before));
  return true;
}

void DbArchive::Store() {
  TLbCsv& table = Table();
  // A server first reached now (it was out of reach at start): its records
  // are read once this copy's are stored.
  bool reload = !connection_;
  PqConnection& db = Connection();
  // Records sent from the file may be another copy's, not in this table.
  reload = SendWaiting() || reload;
  const TTableChanges& changes = table.Changes();
  // Deletions first: an edited record is its old line gone and its new one
  // added, under the same code.
  for (const std::string& line : changes.removed) {
    std::string code;
    ValueAt(line, 5, code);
    db.Run(kDelete, {code});
  }
  const auto stored = InsertRecords(db, RecordsOf(changes.added));
  // Fewer when another desk stored a code first: its record replaces this
  // copy's line.
  reload = reload || stored.size() != changes.added.size();
  for (const auto& [id, code] : stored) ownAdded_.emplace(id, code);
  table.TakeChanges();
  if (reload && table.State() == TDataSetState::Browse) Load();
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
  checkSeen_ = true;
  Store();
}

bool DbArchive::SendWaiting() {
  std::size_t stored = 0;
  const std::string refused = waiting_.Send([this, &stored](const std::vector<std::string>& lines) {
    PqConnection& db = Connection();
    std::vector<WaitingRecords::Refusal> refusals;
    InTransaction(db, [&] { refusals = InsertRefusing(db, lines, stored); });
    return refusals;
  });
  if (!refused.empty()) Notice(refused);
  return stored > 0;
}

void DbArchive::KeepWaiting(const ArchiveUnreachable& away) {
  TLbCsv& table = Table();
  if (!waiting_.Kept() || !table.Changes().removed.empty()) throw away;
  waiting_.Append(table.Changes().added);
  table.TakeChanges();
  throw ArchiveUnreachable(Sentence(away.what()) +
                           " Il record è conservato e sarà inviato appena possibile.");
}

int DbArchive::AddAll(const std::vector<ArchiveRecord>& records) {
  Store();
  PqConnection& db = Connection();
  std::vector<std::vector<std::string>> values;
  values.reserve(records.size());
  for (const ArchiveRecord& record : records) values.push_back(Values(record));
  std::size_t stored = 0;
  InTransaction(db, [&] { stored = InsertRecords(db, values).size(); });
  Load();
  return static_cast<int>(stored);
}

bool DbArchive::FindCode(const std::string& code) {
  // Only a live connection is asked: a server out of reach would hold every
  // check for the connection's timeout. Then what this copy holds is checked.
  if (connection_ && Table().Active()) {
    try {
      Store();
      CatchUp();
      // The server's index answers at once; the table is walked only for
      // a code that is there, to stop on it.
      if (Connection().Run(kHasCode, {code}).empty()) return NotInTable();
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
    Connection().Run(kDelete, {CurrentValue(archive_column::kCodiceFiscale)});
    TLbCsv& table = Table();
    table.Delete();
    table.TakeChanges();
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
