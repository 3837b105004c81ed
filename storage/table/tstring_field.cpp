#include "storage/table/tstring_field.h"

#include <utility>

#include "storage/table/tlb_csv.h"

TStringField::TStringField(TLbCsv& table, std::string fieldName, std::size_t index)
    : table_(table), fieldName_(std::move(fieldName)), index_(index) {}

const std::string& TStringField::Text() const {
  static const std::string kNone;
  const std::string* value = table_.FieldValue(*this);
  return value != nullptr ? *value : kNone;
}

void TStringField::SetText(const std::string& value) { table_.SetFieldText(*this, value); }

std::optional<std::string> TStringField::Value() const {
  const std::string* value = table_.FieldValue(*this);
  if (value == nullptr) return std::nullopt;
  return *value;
}
