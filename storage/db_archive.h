#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "storage/archive.h"
#include "storage/tlbcsv.h"
#include "storage/waiting_records.h"

class PqConnection;

// The archive kept in a PostgreSQL database's table `archivio`
// (storage/sql/archivio.sql), shared by every desk that names the same
// database. The table cursor holds the records as the grid shows them, in
// the order they were added; the database holds one record per code, so two
// desks archiving one person at the same moment store it once.
//
// Every change is stored at once. A record added while the server is out
// of reach waits in a file in `waitingFolder` (the user's data folder),
// named after the database, and is sent first at the next change or the
// next opening by any of the user's copies (storing is idempotent: a code
// already there is skipped). Without a folder it waits in the table's
// changes, for the next change or the closing. A delete while the server is
// out of reach is refused. A duplicate check first takes in what other
// desks stored, when the table's count or identities show a change; every
// change is announced on the channel "archivio", so that open windows take
// it in (Refresh).
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
  // server that does not answer; true when the records changed.
  bool Refresh();

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
  // What tells this copy's records from the database's: how many, and the
  // sum of their identities (identities only grow, so a record deleted and
  // another added change it).
  struct Stamp {
    std::int64_t count = 0;
    std::int64_t idSum = 0;
    friend bool operator==(const Stamp&, const Stamp&) = default;
  };
  PqConnection& Connection();
  Stamp StampNow();
  // Every record, read again into the table cursor; the record current
  // stays current by its number.
  void Load();
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
  // Open desks told of a change; they catch up anyway at their next check.
  void Announce();

  std::string conninfo_;
  std::unique_ptr<PqConnection> connection_;
  WaitingRecords waiting_;
  Stamp stamp_;
};
