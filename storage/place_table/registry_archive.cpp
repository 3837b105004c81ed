#include "storage/place_table/registry_archive.h"

#include <algorithm>
#include <array>

#include "engine/iso_day.h"
#include "engine/letter_folding.h"
#include "storage/table/delimited_text.h"

namespace {

constexpr std::string_view kNoCode = "ND";
constexpr std::string_view kOpenEnd = "9999-12-31";

enum Column { kFrom, kUntil, kCode, kName, kOtherName, kProvince, kUpdated, kColumns };
constexpr std::array<std::string_view, kColumns> kColumnNames = {
    "DATAISTITUZIONE",    "DATACESSAZIONE", "CODCATASTALE", "DENOMINAZIONE_IT",
    "ALTRADENOMINAZIONE", "SIGLAPROVINCIA", "DATAULTIMOAGG"};

// The registry writes a bilingual municipality's official name as both names
// joined by a hyphen, "DOBERDO' DEL LAGO-DOBERDOB", with the other half (or a
// longer form ending in it, "COMUNE DI SAN DORLIGO DELLA VALLE-OBCINA DOLINA")
// as the other name. A hyphen whose second part is not the other name joins
// one name (CORIGLIANO-ROSSANO, CASTELBELLO-CIARDES beside
// KASTELBELL-TSCHARS).
void SplitBilingualName(RegistryPeriod& period) {
  if (period.otherName.empty()) return;
  for (std::size_t hyphen = period.name.find('-'); hyphen != std::string::npos;
       hyphen = period.name.find('-', hyphen + 1)) {
    const std::string other = PlaceTableName(std::string_view(period.name).substr(hyphen + 1));
    if (other.empty()) continue;
    if (period.otherName == other || period.otherName.ends_with(" " + other)) {
      period.name = PlaceTableName(std::string_view(period.name).substr(0, hyphen));
      period.otherName = other;
      return;
    }
  }
}

}  // namespace

std::string PlaceTableName(std::string_view utf8) {
  const std::string folded = FoldPlaceName(utf8);
  std::string name;
  for (char c : folded) {
    const bool blank = c == ' ' || c == '\t';
    if (blank && (name.empty() || name.back() == ' ')) continue;
    name += blank ? ' ' : c;
  }
  // A full stop ends an abbreviation (ST. FELIX), never a name: one at the
  // end is a slip of the registry's (EHRENBURG.).
  while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
  return name;
}

std::optional<RegistryArchive> ReadRegistryArchive(std::string_view text) {
  const std::optional<DelimitedText> table = ReadDelimitedText(text);
  if (!table) return std::nullopt;
  std::array<int, kColumns> at{};
  for (int i = 0; i < kColumns; ++i) {
    at[i] = table->Column(kColumnNames[i]);
    if (at[i] < 0) return std::nullopt;
  }
  RegistryArchive archive;
  archive.periods.reserve(table->rows.size());
  for (const std::vector<std::string>& row : table->rows) {
    const auto value = [&](Column column) -> const std::string& {
      return table->Value(row, at[column]);
    };
    if (value(kCode) == kNoCode) {
      ++archive.withoutCode;
      continue;
    }
    RegistryPeriod period{value(kCode),
                          value(kFrom),
                          value(kUntil) == kOpenEnd ? "" : value(kUntil),
                          PlaceTableName(value(kName)),
                          PlaceTableName(value(kOtherName)),
                          value(kProvince)};
    if (!IsIsoDay(period.from) || !(period.until.empty() || IsIsoDay(period.until))) {
      return std::nullopt;
    }
    SplitBilingualName(period);
    if (period.otherName == period.name) period.otherName.clear();
    for (const std::string& day : {period.from, period.until, value(kUpdated)}) {
      if (IsIsoDay(day)) archive.latestDay = std::max(archive.latestDay, day);
    }
    archive.periods.push_back(std::move(period));
  }
  return archive;
}
