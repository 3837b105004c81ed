#include "storage/places.h"

#include <charconv>

#include "engine/letter_folding.h"
#include "engine/short_date.h"
#include "storage/table_error.h"
#include "storage/tlbcsv.h"
#include "storage/tquiet_walk.h"

using namespace place_column;

namespace {

// An ISO date, yyyy-mm-dd, as the table writes it; none for an empty or
// unreadable text, which bounds nothing.
std::optional<CalendarDate> IsoDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  CalendarDate date;
  const auto number = [&](std::size_t at, std::size_t size, int& into) {
    const char* first = text.data() + at;
    const auto [end, error] = std::from_chars(first, first + size, into);
    return error == std::errc() && end == first + size;
  };
  if (!number(0, 4, date.year) || !number(5, 2, date.month) || !number(8, 2, date.day)) {
    return std::nullopt;
  }
  if (date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > DaysInMonth(date.year, date.month)) {
    return std::nullopt;
  }
  return date;
}

// The index of a column, or -1 when the table has none of that name.
int ColumnOf(TLbCsv& table, const char* name) {
  try {
    return static_cast<int>(table.FieldNamed(name).Index());
  } catch (const TableError&) {
    return -1;
  }
}

}  // namespace

Places::Places(TLbCsv& table) : table_(table) { table_.Attach(this); }

Places::~Places() { table_.Detach(this); }

void Places::DataEvent(TLbCsv&, TDataEvent event) {
  // The table read-only never changes while open; a new opening may hold
  // another file.
  if (event == TDataEvent::ActiveChanged || event == TDataEvent::DataSetChanged) indexed_ = false;
}

void Places::BuildIndex() {
  if (indexed_) return;
  const int nameColumn = static_cast<int>(table_.FieldNamed(kName).Index());
  const int codeColumn = ColumnOf(table_, kCode);
  nameColumn_ = nameColumn;
  codeColumn_ = codeColumn;
  provinceColumn_ = ColumnOf(table_, kProvince);
  const int fromColumn = ColumnOf(table_, kFrom);
  const int toColumn = ColumnOf(table_, kTo);
  names_.clear();
  byName_.clear();
  byCode_.clear();
  const int count = table_.RecordCount();
  byName_.reserve(static_cast<std::size_t>(count));
  byCode_.reserve(static_cast<std::size_t>(count));
  const auto value = [](const std::vector<std::string>& values, int column) -> std::string_view {
    return column >= 0 ? std::string_view(values[static_cast<std::size_t>(column)])
                       : std::string_view();
  };
  for (int record = 1; record <= count; ++record) {
    const std::vector<std::string> values = table_.RecordValues(record);
    const std::string& name = values[static_cast<std::size_t>(nameColumn)];
    const Entry entry{record,
                      {IsoDate(value(values, fromColumn)), IsoDate(value(values, toColumn))}};
    std::vector<Entry>& same = byName_[name];
    if (same.empty()) names_.push_back(name);
    same.push_back(entry);
    if (codeColumn >= 0) byCode_[std::string(value(values, codeColumn))].push_back(entry);
  }
  indexed_ = true;
}

void Places::MoveToRecord(int record) {
  // The flags as a walk from the first record would leave them.
  if (record == 1) {
    table_.First();
  } else {
    table_.SetRecordNumber(record);
  }
}

PlaceMatch Places::Match(const Index& index, const std::string& key, const CalendarDate& date,
                         const Entry** entry) const {
  const auto found = index.find(key);
  if (found == index.end()) return PlaceMatch::UnknownName;
  for (const Entry& candidate : found->second) {
    if (candidate.period.Contains(date)) {
      *entry = &candidate;
      return PlaceMatch::Found;
    }
  }
  *entry = &found->second.back();
  return PlaceMatch::NotInUseOnDate;
}

PlaceMatch Places::MoveTo(const Index& index, const std::string& key, const CalendarDate& date) {
  // The province label is told of the record found, once.
  TQuietWalk walk(table_);
  const Entry* entry = nullptr;
  const PlaceMatch match = Match(index, key, date, &entry);
  if (entry == nullptr) {
    table_.Last();
  } else {
    MoveToRecord(entry->record);
  }
  return match;
}

PlaceMatch Places::Read(const Index& index, const std::string& key, const CalendarDate& date,
                        PlaceRecord* found) {
  const Entry* entry = nullptr;
  const PlaceMatch match = Match(index, key, date, &entry);
  if (entry != nullptr && found != nullptr) {
    const std::vector<std::string> values = table_.RecordValues(entry->record);
    const auto value = [&values](int column) {
      return column >= 0 ? values[static_cast<std::size_t>(column)] : std::string();
    };
    *found = {entry->record, value(nameColumn_), value(codeColumn_), value(provinceColumn_),
              entry->period};
  }
  return match;
}

void Places::RequireOpen() {
  // The error any move of a closed table gives.
  if (!table_.Active()) table_.First();
}

PlaceMatch Places::LookUp(std::string_view typed, const CalendarDate& date, PlaceRecord* found) {
  RequireOpen();
  BuildIndex();
  return Read(byName_, FoldPlaceName(typed), date, found);
}

PlaceMatch Places::LookUpCode(std::string_view code, const CalendarDate& date, PlaceRecord* found) {
  RequireOpen();
  BuildIndex();
  return Read(byCode_, std::string(code), date, found);
}

std::vector<std::string> Places::Names() {
  RequireOpen();
  BuildIndex();
  TQuietWalk walk(table_);
  table_.Last();
  return names_;
}

PlaceMatch Places::FindOn(std::string_view typed, const CalendarDate& date) {
  RequireOpen();
  BuildIndex();
  return MoveTo(byName_, FoldPlaceName(typed), date);
}

PlaceMatch Places::FindCodeOn(std::string_view code, const CalendarDate& date) {
  RequireOpen();
  BuildIndex();
  return MoveTo(byCode_, std::string(code), date);
}

std::string Places::Name() const { return table_.FieldNamed(kName).Text(); }
std::string Places::Code() const { return table_.FieldNamed(kCode).Text(); }
std::string Places::Province() const { return table_.FieldNamed(kProvince).Text(); }

PlacePeriod Places::Period() const {
  const auto text = [this](const char* column) {
    const int index = ColumnOf(table_, column);
    return index >= 0 ? table_.Field(index).Text() : std::string();
  };
  return {IsoDate(text(kFrom)), IsoDate(text(kTo))};
}

std::vector<PlacePeriod> Places::PeriodsOf(const std::string& name) {
  BuildIndex();
  std::vector<PlacePeriod> periods;
  if (const auto found = byName_.find(name); found != byName_.end()) {
    for (const Entry& entry : found->second) periods.push_back(entry.period);
  }
  return periods;
}

std::string Places::NotInUseMessage(const std::string& name) {
  std::string periods;
  for (const PlacePeriod& period : PeriodsOf(name)) {
    if (!periods.empty()) periods += "; ";
    std::string text;
    if (period.from) text += "dal " + DateToText(*period.from);
    if (period.to) text += (text.empty() ? "al " : " al ") + DateToText(*period.to);
    periods += text;
  }
  return name + ": nessun codice in uso alla data di nascita (in uso " + periods + ")";
}
