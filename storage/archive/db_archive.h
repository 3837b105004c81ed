// The archive kept in a PostgreSQL table.
#pragma once

#include <chrono>
#include <cstdint>
#include <future>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "storage/archive/archive.h"
#include "storage/archive/waiting_records.h"
#include "storage/table/tlb_csv.h"

class PqConnection;

// The archive kept in a PostgreSQL database's table `archivio`
// (storage/archive/sql/archivio.sql), shared by every desk that names the same
// database. The table cursor holds the records as the grid shows them, in
// the order they were added; the database holds one record per code, so two
// desks archiving one person at the same moment store it once.
//
// Every change is stored at once. A record added while the server is out
// of reach waits in a file in `waitingFolder` (the user's data folder),
// named after the database libpq tried, and is sent first at the next
// change or the next opening by any of the user's copies (storing is
// idempotent: a code already there is skipped); one the server refuses, or
// that fails an import's checks, is moved aside and told of (the notice
// handler), never holding up the others. Without a folder it waits in the table's
// changes, for the next change or the closing. A delete while the server is
// out of reach is refused. The server numbers every change in a log, in
// commit order, and tells listening desks of it; a desk takes in the
// changes after the last it saw, before a duplicate check and when told
// (Refresh), so that what others archive costs it only their records.
class DbArchive : public Archive, public TTableSaver {
 public:
  // Nothing is connected before Open.
  DbArchive(TLbCsv& table, std::string conninfo, std::string waitingFolder = {});
  ~DbArchive() override;

  // Connects, makes the table when missing, sends what waits and reads the
  // records into the table cursor. A server out of reach throws
  // ArchiveUnreachable, saying how many records wait, with the table cursor
  // open on those: codes are still computed, and what is added waits.
  void Open();

  // Takes in what other desks stored or deleted, when the server has told
  // of a change since; the current record stays current. Never waits for a
  // server that does not answer: a connection lost (a restart) is tried
  // again in the background, and once made the changes missed are taken
  // in. True when the records changed.
  bool Refresh() override;

  // Stores `records` in one transaction, each unless its code is there
  // already, with what waits; gives how many were stored. Throws when the
  // server refuses or is gone: then none is stored.
  int AddAll(const std::vector<ArchiveRecord>& records);

  bool FindCode(const std::string& code) override;
  void Add(const ArchiveRecord& record) override;
  void DeleteCurrent() override;
  void WriteThrough() override;
  void Close() override;
  // The table's write-back, on closing: what still waits, stored.
  void Save(TLbCsv& table) override;

 private:
  PqConnection& Connection();
  // Every record, read again into the table cursor with the number of the
  // last change; the record current stays current by its code.
  void Load();
  // The changes after the last one seen, taken into the table cursor; the
  // whole table read again when the log cannot say (the table emptied at
  // once, or a database behind what this copy saw). True when the records
  // changed.
  bool CatchUp();
  // What waits in the file and the table's changes, stored; throws when
  // the server refuses or is gone.
  void Store();
  // The same, once more on a connection made again when the server dropped
  // the one there was (a restart).
  void StoreReconnecting();
  // What waits in the file, sent; whether anything was.
  bool SendWaiting();
  // The table's added lines, moved to the waiting file, and the user told:
  // throws ArchiveUnreachable. Without the file, `away` is thrown.
  [[noreturn]] void KeepWaiting(const ArchiveUnreachable& away);
  // Whether the lost connection could be made again, asked of a background
  // try so that the window never waits; true once it is made.
  bool Reconnected();

  std::string conninfo_;
  std::unique_ptr<PqConnection> connection_;
  WaitingRecords waiting_;
  // The number of the last change taken in.
  std::int64_t seen_ = 0;
  // This copy's own records added since, by identity, with their codes:
  // already in the table when the log tells of them.
  std::map<std::int64_t, std::string> ownAdded_;
  // A server restarted, or a database made anew, may be behind seen_.
  bool checkSeen_ = false;
  std::future<bool> reachable_;
  std::chrono::steady_clock::time_point nextTry_{};
};
