#include "storage/archive/archive.h"

#include <optional>
#include <utility>

#include "storage/table/record_format.h"
#include "storage/table/table_file.h"
#include "storage/table/tquiet_walk.h"
#include "storage/table/tstring_field.h"
#include "storage/table_error.h"

using namespace archive_column;

ArchiveBusy ArchiveInUse(const std::string& path) {
  return ArchiveBusy("L'archivio è in uso da un'altra postazione: " + path);
}

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

bool Archive::NotInTable() {
  TQuietWalk walk(table_);
  table_.Last();
  return false;
}

bool Archive::FindInTable(const std::string& code) {
  TLbCsv& table = table_;
  TQuietWalk walk(table);
  table.First();
  if (table.Empty()) return false;
  const TableFile& lines = table.Lines();
  const int column = static_cast<int>(table.FieldNamed(kCodiceFiscale).Index());
  std::string scratch;
  const std::size_t found = lines.FindLine(
      code, 1, [&](std::string_view line) { return ValueAt(line, column, scratch) == code; });
  if (found == lines.LineCount()) {
    table.Last();
    return false;
  }
  if (found > 1) table.SetRecordNumber(static_cast<int>(found));
  return true;
}

void Archive::AppendToTable(const ArchiveRecord& record) {
  // The table's fields hold so many bytes; one cut there could split a
  // letter, which a server then refuses.
  const std::pair<const char*, const std::string*> values[] = {
      {kCognome, &record.cognome}, {kNome, &record.nome}, {kSex, &record.sex},
      {kComune, &record.comune},   {kData, &record.data}, {kCodiceFiscale, &record.codiceFiscale}};
  for (const auto& [column, value] : values) {
    if (value->size() > TStringField::Size()) {
      throw TableError(std::string(column) +
                       " troppo lungo per l'archivio: " + std::to_string(value->size()) +
                       " byte, al massimo " + std::to_string(TStringField::Size()));
    }
  }
  table_.Insert();
  table_.FieldNamed(kCognome).SetText(record.cognome);
  table_.FieldNamed(kNome).SetText(record.nome);
  table_.FieldNamed(kSex).SetText(record.sex);
  table_.FieldNamed(kComune).SetText(record.comune);
  table_.FieldNamed(kData).SetText(record.data);
  table_.FieldNamed(kCodiceFiscale).SetText(record.codiceFiscale);
  table_.Post();
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
