#include "storage/places.h"

#include "engine/ascii_case.h"
#include "storage/tlbcsv.h"

using namespace place_column;

std::vector<std::string> Places::Names() const {
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(table_.RecordCount()));
  TStringField& name = table_.FieldNamed(kName);
  table_.First();
  while (!table_.AtEnd()) {
    names.push_back(name.Text());
    table_.Next();
  }
  return names;
}

bool Places::Find(const std::string& name) const {
  const std::string wanted = UpperAscii(name);
  table_.First();
  TStringField& names = table_.FieldNamed(kName);
  while (true) {
    if (!table_.Empty() && names.Text() == wanted) return true;
    table_.Next();
    if (table_.AtEnd()) return false;
  }
}

std::string Places::Code() const { return table_.FieldNamed(kCode).Text(); }

std::string Places::Province() const { return table_.FieldNamed(kProvince).Text(); }
