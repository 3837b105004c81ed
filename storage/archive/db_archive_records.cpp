#include "storage/archive/db_archive_records.h"

#include <algorithm>
#include <sstream>

#include "engine/iso_day.h"
#include "engine/short_date.h"
#include "storage/table/record_format.h"

namespace {

const char* const kInsertInto =
    "INSERT INTO archivio (cognome, nome, sex, comune, data, codicefiscale) VALUES ";
// Records a statement when many are stored at once: few statements, so the
// log's counter row changes few times in the transaction.
constexpr std::size_t kBatch = 500;

// The insert of `count` records, their six values each, a code already
// there skipped; gives the identities stored.
std::string InsertOf(std::size_t count) {
  std::ostringstream sql;
  sql << kInsertInto;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t n = i * 6;
    sql << (i > 0 ? ", " : "") << "($" << n + 1 << ", $" << n + 2 << ", $" << n + 3 << ", $"
        << n + 4 << ", $" << n + 5 << "::date, $" << n + 6 << ")";
  }
  sql << " ON CONFLICT (codicefiscale) DO NOTHING RETURNING id, codicefiscale";
  return sql.str();
}

}  // namespace

std::vector<std::string> Values(const ArchiveRecord& record) {
  return {record.cognome,
          record.nome,
          record.sex,
          record.comune,
          IsoDayText(TextToDate(record.data)),
          record.codiceFiscale};
}

std::vector<std::string> Values(std::string_view line) {
  std::vector<std::string> values;
  ParseRecord(line, values);
  values.resize(kArchiveColumns.size());
  return Values({values[0], values[1], values[2], values[3], values[4], values[5]});
}

std::vector<std::pair<std::int64_t, std::string>> InsertRecords(
    PqConnection& db, const std::vector<std::vector<std::string>>& records) {
  std::vector<std::pair<std::int64_t, std::string>> stored;
  for (std::size_t from = 0; from < records.size(); from += kBatch) {
    const std::size_t count = std::min(kBatch, records.size() - from);
    std::vector<std::string> params;
    params.reserve(count * 6);
    for (std::size_t i = from; i < from + count; ++i) {
      params.insert(params.end(), records[i].begin(), records[i].end());
    }
    db.RunEach(InsertOf(count).c_str(), params, [&](const std::vector<std::string_view>& row) {
      stored.emplace_back(std::stoll(std::string(row[0])), std::string(row[1]));
    });
  }
  return stored;
}

std::vector<std::vector<std::string>> RecordsOf(const std::vector<std::string>& lines) {
  std::vector<std::vector<std::string>> records;
  records.reserve(lines.size());
  for (const std::string& line : lines) records.push_back(Values(std::string_view(line)));
  return records;
}

std::vector<WaitingRecords::Refusal> InsertRefusing(PqConnection& db,
                                                    const std::vector<std::string>& lines,
                                                    std::size_t& stored) {
  std::vector<WaitingRecords::Refusal> refused;
  // All at once, as a rule; one by one only when the server refuses some.
  db.Run("SAVEPOINT viveze_tutti");
  try {
    stored = InsertRecords(db, RecordsOf(lines)).size();
    db.Run("RELEASE SAVEPOINT viveze_tutti");
    return refused;
  } catch (const ArchiveUnreachable&) {
    throw;
  } catch (const std::exception&) {
    db.Run("ROLLBACK TO SAVEPOINT viveze_tutti");
  }
  stored = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    db.Run("SAVEPOINT viveze_uno");
    try {
      stored += InsertRecords(db, RecordsOf({lines[i]})).size();
      db.Run("RELEASE SAVEPOINT viveze_uno");
    } catch (const ArchiveUnreachable&) {
      throw;
    } catch (const std::exception& no) {
      db.Run("ROLLBACK TO SAVEPOINT viveze_uno");
      // The server's first line; what follows is its detail.
      const std::string why = no.what();
      refused.push_back({i, why.substr(0, why.find('\n'))});
    }
  }
  return refused;
}
