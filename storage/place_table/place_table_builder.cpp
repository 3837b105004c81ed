#include "storage/place_table/place_table_builder.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "engine/iso_day.h"
#include "storage/place_table/place_table_naming.h"
#include "storage/place_table/registry_archive.h"
#include "storage/table/delimited_text.h"
#include "storage/table/record_format.h"

namespace {

using Records = std::vector<PlaceTableRecord>;

bool IsForeign(const PlaceTableRecord& record) { return record.code.starts_with('Z'); }

bool IsOfficial(const PlaceTableRecord& record) { return record.language.empty(); }

// The records of the table in use, whatever its columns' order; a table
// without the Lingua column has official names only.
Records ReadTable(const std::vector<std::string>& lines) {
  Records records;
  if (lines.empty()) return records;
  const std::vector<std::string> header = SplitHeader(lines.front());
  const auto column = [&](std::string_view name) { return ColumnIndex(header, name); };
  const int columns[] = {column("comuni"), column("Code"), column("Prov"),
                         column("Dal"),    column("Al"),   column("Lingua")};
  std::string value;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    PlaceTableRecord record;
    std::string* fields[] = {&record.name, &record.code,  &record.province,
                             &record.from, &record.until, &record.language};
    for (int f = 0; f < 6; ++f) *fields[f] = ValueAt(lines[i], columns[f], value);
    records.push_back(std::move(record));
  }
  return records;
}

// One record for each name of each code, over the registry's rows: rows of
// one name that follow one another without a gap are one record, with the
// province of the last of them.
Records RegistryRecords(std::vector<RegistryPeriod> periods) {
  std::stable_sort(periods.begin(), periods.end(), [](const auto& a, const auto& b) {
    return a.code != b.code ? a.code < b.code : a.from < b.from;
  });
  Records records;
  std::map<std::pair<std::string, std::string>, std::size_t> last;  // (language, name) of the code
  for (std::size_t i = 0; i < periods.size(); ++i) {
    const RegistryPeriod& period = periods[i];
    if (i == 0 || periods[i - 1].code != period.code) last.clear();
    const std::pair<std::string, std::string> names[] = {
        {"", period.name}, {std::string(kOtherLanguage), period.otherName}};
    for (const auto& [language, name] : names) {
      if (name.empty()) continue;
      const auto found = last.find({language, name});
      if (found != last.end()) {
        PlaceTableRecord& before = records[found->second];
        if (!before.until.empty() && DayAfter(before.until) >= period.from) {
          before.until = period.until;
          before.province = period.province;
          continue;
        }
      }
      last[{language, name}] = records.size();
      records.push_back({name, period.code, period.province, period.from, period.until, language});
    }
  }
  // A second-language name that the code also bore as its official name at
  // the same time adds nothing.
  std::set<std::pair<std::string, std::string>> official;
  for (const PlaceTableRecord& record : records) {
    if (IsOfficial(record)) official.insert({record.code, record.name});
  }
  std::erase_if(records, [&](const PlaceTableRecord& record) {
    return !IsOfficial(record) && official.contains({record.code, record.name});
  });
  return records;
}

// Each code's latest official record.
std::map<std::string, const PlaceTableRecord*> LatestOfficial(const Records& records) {
  std::map<std::string, const PlaceTableRecord*> latest;
  for (const PlaceTableRecord& record : records) {
    const PlaceTableRecord*& found = latest[record.code];
    if (IsOfficial(record) && (found == nullptr || found->from < record.from)) found = &record;
  }
  std::erase_if(latest, [](const auto& entry) { return entry.second == nullptr; });
  return latest;
}

// What the table in use knows and the registry's file does not: codes it
// lacks, ends of codes ceased since, and names given since (the new name
// begins on the day after the file's, unless the table knows a later day).
void KeepNewerRecords(Records& records, const Records& table, const std::string& registryDay) {
  std::set<std::string> registryCodes;
  std::set<std::pair<std::string, std::string>> registryNames;
  for (const PlaceTableRecord& record : records) {
    registryCodes.insert(record.code);
    registryNames.insert({record.code, record.name});
  }
  for (const PlaceTableRecord& record : table) {
    if (!IsForeign(record) && !registryCodes.contains(record.code)) {
      records.push_back(record);
      records.back().name = BaseName(record);
    }
  }
  std::map<std::string, std::string> ceasedOn;                           // by code
  std::map<std::pair<std::string, std::string>, std::string> renamedOn;  // by code and old name
  Records renamed;
  const auto inRegistry = LatestOfficial(records);
  for (const auto& [code, known] : LatestOfficial(table)) {
    const auto found = inRegistry.find(code);
    if (IsForeign(*known) || found == inRegistry.end() || !found->second->until.empty()) continue;
    const PlaceTableRecord& current = *found->second;
    const std::string name = BaseName(*known);
    if (name != current.name && !registryNames.contains({code, name})) {
      const std::string from = std::max(known->from, DayAfter(registryDay));
      if (from <= current.from) continue;
      renamed.push_back({name, code, known->province, from, known->until, ""});
      renamedOn[{code, current.name}] = DayBefore(from);
    } else if (!known->until.empty() && known->until >= current.from) {
      ceasedOn[code] = known->until;
    }
  }
  for (PlaceTableRecord& record : records) {
    if (!record.until.empty()) continue;
    if (const auto end = ceasedOn.find(record.code); end != ceasedOn.end())
      record.until = end->second;
    const auto end = renamedOn.find({record.code, record.name});
    if (IsOfficial(record) && end != renamedOn.end()) record.until = end->second;
  }
  records.insert(records.end(), renamed.begin(), renamed.end());
}

// Official names in use, by code.
std::map<std::string, std::string> InUse(const Records& records) {
  std::map<std::string, std::string> inUse;
  for (const PlaceTableRecord& record : records) {
    if (!IsForeign(record) && IsOfficial(record) && record.until.empty()) {
      inUse[record.code] = record.name;
    }
  }
  return inUse;
}

void Count(const Records& records, const Records& table, PlaceTableReport& report) {
  const auto latest = LatestOfficial(records);
  std::set<std::string> tableCodes;
  for (const PlaceTableRecord& record : table) tableCodes.insert(record.code);
  for (const PlaceTableRecord& record : records) {
    if (IsForeign(record)) {
      ++report.foreign;
    } else if (!IsOfficial(record)) {
      ++report.otherLanguageNames;
    } else if (const auto found = latest.find(record.code); found->second == &record) {
      ++report.officialNames;
      report.added += !tableCodes.contains(record.code);
    } else {
      ++report.oldNames;
    }
  }
  const auto now = InUse(records);
  for (const auto& [code, name] : InUse(table)) {
    const auto found = now.find(code);
    if (found == now.end()) {
      ++report.ceased;
    } else if (found->second != name) {
      ++report.renamed;
    }
  }
}

}  // namespace

std::vector<std::string> PlaceTable::Lines() const {
  std::vector<std::string> lines{std::string(kPlaceTableHeader)};
  lines.reserve(records.size() + 1);
  for (const PlaceTableRecord& r : records) {
    lines.push_back(WriteRecord({r.name, r.code, r.province, r.from, r.until, r.language}));
  }
  return lines;
}

std::string RefusalText(const RegistryNotRecognized&, const std::string& path) {
  return "File non riconosciuto: " + path;
}

std::string RefusalText(const RegistryLacksCodes& refusal) {
  constexpr std::size_t kShown = 10;
  std::string text = "Il file non contiene i comuni: ";
  for (std::size_t i = 0; i < refusal.codes.size() && i < kShown; ++i) {
    text += (i == 0 ? "" : ", ") + refusal.codes[i];
  }
  if (refusal.codes.size() > kShown) {
    text += " e altri " + std::to_string(refusal.codes.size() - kShown);
  }
  return text;
}

PlaceTableBuild BuildPlaceTable(std::string_view registry,
                                const std::vector<std::string>& tableInUse, PlaceTableSource source,
                                std::string registryDay) {
  std::optional<RegistryArchive> archive = ReadRegistryArchive(registry);
  if (!archive) return RegistryNotRecognized{};
  const Records table = ReadTable(tableInUse);
  Records records = RegistryRecords(std::move(archive->periods));
  if (source == PlaceTableSource::Update) {
    std::set<std::string> codes;
    for (const PlaceTableRecord& record : records) codes.insert(record.code);
    RegistryLacksCodes lacking;
    for (const PlaceTableRecord& record : table) {
      if (!IsForeign(record) && !codes.contains(record.code)) lacking.codes.push_back(record.code);
    }
    std::sort(lacking.codes.begin(), lacking.codes.end());
    lacking.codes.erase(std::unique(lacking.codes.begin(), lacking.codes.end()),
                        lacking.codes.end());
    if (!lacking.codes.empty()) return lacking;
  } else {
    KeepNewerRecords(records, table, registryDay.empty() ? archive->latestDay : registryDay);
  }

  std::vector<PlaceToName> places;
  places.reserve(records.size() + table.size());
  for (PlaceTableRecord& record : records) places.push_back({record, record.name, false});
  for (const PlaceTableRecord& record : table) {
    if (IsForeign(record)) places.push_back({record, BaseName(record), true});
  }
  std::set<std::pair<std::string, std::string>> plainNamesInUse;
  for (const PlaceTableRecord& record : table) {
    if (record.until.empty() && BaseName(record) == record.name) {
      plainNamesInUse.insert({record.code, record.name});
    }
  }
  PlaceTable result;
  result.report.overlapsResolved = ResolveOverlaps(places);
  NamePlaces(places, plainNamesInUse);
  result.records.reserve(places.size());
  for (PlaceToName& place : places) result.records.push_back(std::move(place.record));
  std::sort(result.records.begin(), result.records.end(), [](const auto& a, const auto& b) {
    return a.name != b.name ? a.name < b.name : a.from < b.from;
  });
  result.report.withoutCode = archive->withoutCode;
  Count(result.records, table, result.report);
  return result;
}
