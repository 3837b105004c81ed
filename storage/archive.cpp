#include "storage/archive.h"

#include <optional>

#include "storage/table_error.h"
#include "storage/tlbcsv.h"

using namespace archive_column;

bool Archive::FindCode(const std::string& code) const {
  table_.First();
  if (table_.Empty()) return false;
  TStringField& codes = table_.FieldNamed(kCodiceFiscale);
  while (true) {
    if (codes.Text() == code) return true;
    table_.Next();
    if (table_.AtEnd()) return false;
  }
}

void Archive::Add(const ArchiveRecord& record) const {
  table_.Insert();
  table_.FieldNamed(kCognome).SetText(record.cognome);
  table_.FieldNamed(kNome).SetText(record.nome);
  table_.FieldNamed(kSex).SetText(record.sex);
  table_.FieldNamed(kComune).SetText(record.comune);
  table_.FieldNamed(kData).SetText(record.data);
  table_.FieldNamed(kCodiceFiscale).SetText(record.codiceFiscale);
  table_.Post();
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
