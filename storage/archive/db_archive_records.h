// The database archive's records as the server's statements take them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/archive/archive.h"
#include "storage/archive/pq_connection.h"
#include "storage/archive/waiting_records.h"

// A record as the insert's six values, the short date as the server's day.
std::vector<std::string> Values(const ArchiveRecord& record);
// A line of the table, in kArchiveHeader's order, the same way.
std::vector<std::string> Values(std::string_view line);
// The table's `lines` as the insert's values.
std::vector<std::vector<std::string>> RecordsOf(const std::vector<std::string>& lines);

// Runs `work` between `begin` and COMMIT, rolled back when it throws.
template <class Work>
void InTransaction(PqConnection& db, Work work, const char* begin = "BEGIN") {
  db.Run(begin);
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

// Stores `records` (each its insert's six values) in batches; gives the
// identities stored with their codes. None when another desk stored the
// code first.
std::vector<std::pair<std::int64_t, std::string>> InsertRecords(
    PqConnection& db, const std::vector<std::vector<std::string>>& records);

// Inside a transaction: stores the table's `lines` as InsertRecords does,
// but for those the server refuses, which are given back with its reason
// instead of failing the others; `stored` counts those stored. A server
// out of reach still throws.
std::vector<WaitingRecords::Refusal> InsertRefusing(PqConnection& db,
                                                    const std::vector<std::string>& lines,
                                                    std::size_t& stored);
