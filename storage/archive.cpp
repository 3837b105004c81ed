#include "storage/archive.h"

#include <optional>

#include "storage/table_error.h"

using namespace archive_column;

std::string Archive::CurrentValue(std::string_view column) const {
  const std::optional<std::string> value = table_.FieldNamed(std::string(column)).Value();
  if (!value) throw TableError("Invalid variant type conversion");
  return *value;
}

ArchiveRecord Archive::Current() const {
  ArchiveRecord record;
  record.cognome = CurrentValue(kCognome);
  record.nome = CurrentValue(kNome);
  record.sex = CurrentValue(kSex);
  record.comune = CurrentValue(kComune);
  record.data = CurrentValue(kData);
  record.codiceFiscale = CurrentValue(kCodiceFiscale);
  return record;
}

std::vector<ArchiveRecord> Archive::Records() const {
  std::array<std::size_t, kArchiveColumns.size()> at{};
  for (std::size_t i = 0; i < at.size(); ++i) at[i] = table_.FieldNamed(kArchiveColumns[i]).Index();
  std::vector<ArchiveRecord> records;
  records.reserve(static_cast<std::size_t>(table_.RecordCount()));
  for (int number = 1; number <= table_.RecordCount(); ++number) {
    std::vector<std::string> values = table_.RecordValues(number);
    records.push_back({std::move(values[at[0]]), std::move(values[at[1]]), std::move(values[at[2]]),
                       std::move(values[at[3]]), std::move(values[at[4]]),
                       std::move(values[at[5]])});
  }
  return records;
}

void Archive::RetriedWhileBusy(const std::function<void()>& write) {
  for (;;) {
    try {
      write();
      return;
    } catch (const ArchiveBusy& busy) {
      if (!onBusy_ || !onBusy_(busy)) throw;
    }
  }
}

void Archive::Reported(const std::function<void()>& write) {
  try {
    RetriedWhileBusy(write);
    lastError_.clear();
  } catch (const ArchiveBusy& busy) {
    lastError_ = busy.what();
    // Told already, by the question the user answered No.
    if (!onBusy_ && onError_) onError_(busy);
  } catch (const std::exception& error) {
    lastError_ = error.what();
    if (onError_) onError_(error);
  }
}
