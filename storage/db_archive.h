#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "storage/archive.h"
#include "storage/tlbcsv.h"

class PqConnection;

// The archive kept in a PostgreSQL database's table `archivio`
// (storage/sql/archivio.sql), shared by every desk that names the same
// database. The table cursor holds the records as the grid shows them, in
// the order they were added; the database holds one record per code, so two
// desks archiving one person at the same moment store it once.
//
// Every change is stored at once; one that cannot be waits in the table's
// changes, as with the file, and goes with the next change or the closing
// (storing is idempotent: a code already there is skipped, one already gone
// is not missed). A duplicate check first takes in what other desks stored,
// when the table's count or identities show a change.
class DbArchive : public Archive, public TTableSaver {
 public:
  // Nothing is connected before Open.
  DbArchive(TLbCsv& table, std::string conninfo);
  ~DbArchive() override;

  // Connects, makes the table when missing and reads its records into the
  // table cursor. A server out of reach throws ArchiveUnreachable with the
  // table cursor open and empty: codes are still computed, and what is
  // added waits to be stored.
  void Open();

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
  // The table's changes, stored; throws when the server refuses or is gone.
  void Store();

  std::string conninfo_;
  std::unique_ptr<PqConnection> connection_;
  Stamp stamp_;
};
