#include "storage/place_table/place_table_check.h"

#include <algorithm>
#include <set>
#include <vector>

#include "engine/iso_day.h"
#include "storage/place_table/place_table_builder.h"
#include "storage/table/record_format.h"

namespace {

constexpr int kLeastMunicipalityCodes = 9500;
constexpr int kLeastForeignCodes = 260;

// Records any table must hold; `until` "*" takes any end, "" an open record.
struct KnownRecord {
  std::string_view name, code, province, from, until, language;
};
constexpr KnownRecord kKnown[] = {
    {"CESENA", "C573", "FC", "", "", ""},
    {"MONTALCINO", "F402", "SI", "", "2016-12-31", ""},
    {"MONTALCINO", "M378", "SI", "2017-01-01", "", ""},
    {"ADERNO'", "A056", "CT", "", "1929-08-22", ""},
    {"ADRANO", "A056", "CT", "1929-08-23", "", ""},
    {"AQUILA DEGLI ABRUZZI", "A345", "AQ", "", "*", ""},
    {"BOZEN", "A952", "BZ", "", "", "altra"},
    {"AOSTE", "A326", "AO", "", "", "altra"},
    {"CORIGLIANO-ROSSANO", "M403", "CS", "2018-03-31", "", ""},
    {"CECOSLOVACCHIA", "Z105", "EE", "", "1992-12-31", ""},
    {"HONG KONG", "Z221", "EE", "", "", ""},
};

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsCode(std::string_view code) {
  return code.size() == 4 && IsUpper(code[0]) && IsDigit(code[1]) && IsDigit(code[2]) &&
         IsDigit(code[3]);
}

bool IsName(std::string_view name) {
  if (name.empty() || !(IsUpper(name[0]) || IsDigit(name[0])) || name.back() == ' ') return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return IsUpper(c) || IsDigit(c) ||
           std::string_view(" '().,/-").find(c) != std::string_view::npos;
  });
}

std::optional<std::string> BytesFailure(std::string_view text) {
  const std::string header = std::string(kPlaceTableHeader) + "\r\n";
  if (!text.starts_with(header)) return "intestazione diversa da " + std::string(kPlaceTableHeader);
  if (!text.ends_with("\r\n")) return "l'ultima riga non termina con CR LF";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = text[i];
    if (c == '\r' ? text[i + 1] != '\n' : c == '\n' ? text[i - 1] != '\r' : c < 0x20 || c > 0x7E) {
      return "carattere non ammesso alla posizione " + std::to_string(i);
    }
  }
  return std::nullopt;
}

std::optional<std::string> RecordFailure(const PlaceTableRecord& r) {
  const std::string what = r.name + " " + r.code + ": ";
  if (!IsName(r.name)) return what + "nome non valido";
  if (!IsCode(r.code)) return what + "codice non valido";
  if (r.province.size() != 2 || !IsUpper(r.province[0]) || !IsUpper(r.province[1])) {
    return what + "provincia non valida";
  }
  if ((r.province == "EE") != (r.code[0] == 'Z')) return what + "EE solo e sempre per i codici Z";
  if (!IsIsoDay(r.from) || !(r.until.empty() || (IsIsoDay(r.until) && r.from <= r.until))) {
    return what + "periodo non valido";
  }
  if (!(r.language.empty() || (r.language == kOtherLanguage && r.code[0] != 'Z'))) {
    return what + "lingua non valida";
  }
  return std::nullopt;
}

bool Holds(const std::vector<PlaceTableRecord>& records, const KnownRecord& known) {
  return std::any_of(records.begin(), records.end(), [&](const PlaceTableRecord& r) {
    return r.name == known.name && r.code == known.code && r.province == known.province &&
           (known.from.empty() || r.from == known.from) &&
           (known.until == "*" || r.until == known.until) && r.language == known.language;
  });
}

}  // namespace

std::optional<std::string> PlaceTableFailure(std::string_view text) {
  if (auto failure = BytesFailure(text)) return failure;
  std::vector<PlaceTableRecord> records;
  std::vector<std::string> values;
  std::set<std::string> municipalities;
  std::set<std::string> foreign;
  std::size_t at = text.find('\n') + 1;
  while (at < text.size()) {
    const std::size_t end = text.find("\r\n", at);
    ParseRecord(text.substr(at, end - at), values);
    at = end + 2;
    if (values.size() != 6)
      return "riga " + std::to_string(records.size() + 2) + ": non sei valori";
    PlaceTableRecord r{values[0], values[1], values[2], values[3], values[4], values[5]};
    if (auto failure = RecordFailure(r)) return failure;
    if (!records.empty()) {
      const PlaceTableRecord& before = records.back();
      if (before.name > r.name || (before.name == r.name && before.from > r.from)) {
        return r.name + " " + r.code + ": non in ordine di nome e data";
      }
      if (before.name == r.name && (before.until.empty() || before.until >= r.from)) {
        return r.name + ": i periodi di " + before.code + " e " + r.code + " si sovrappongono";
      }
    }
    (r.code[0] == 'Z' ? foreign : municipalities).insert(r.code);
    records.push_back(std::move(r));
  }
  if (municipalities.size() < kLeastMunicipalityCodes) {
    return "solo " + std::to_string(municipalities.size()) + " codici di comuni";
  }
  if (foreign.size() < kLeastForeignCodes) {
    return "solo " + std::to_string(foreign.size()) + " codici esteri";
  }
  for (const KnownRecord& known : kKnown) {
    if (!Holds(records, known)) {
      return "manca " + std::string(known.name) + " " + std::string(known.code);
    }
  }
  return std::nullopt;
}
