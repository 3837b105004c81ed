#include "cli/place_register.h"

#include "engine/ascii_case.h"
#include "storage/data_files.h"

namespace {

bool LooksLikeCode(std::string_view text) {
  if (text.size() != 4) return false;
  const char first = text[0];
  if (!((first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z'))) return false;
  for (std::size_t i = 1; i < 4; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

}  // namespace

PlaceRegister::PlaceRegister(const std::string& programFolder) {
  table_.SetTableName(MakeDataFilePaths(programFolder).municipalities);
  table_.SetReadOnly(true);
  table_.Open();
}

PlaceMatch PlaceRegister::FindCode(std::string_view code, const CalendarDate& date,
                                   PlaceRecord* found) {
  return places_.LookUpCode(code, date, found);
}

PlaceMatch PlaceRegister::Find(std::string_view typed, const CalendarDate& date,
                               const PlaceRecord** found) {
  auto it = remembered_.find(typed);
  if (it != remembered_.end()) {
    const Remembered& seen = it->second;
    // A name of several records needs the lookup again on another period.
    if (seen.match == PlaceMatch::UnknownName ||
        (seen.match == PlaceMatch::Found && seen.record.period.Contains(date))) {
      *found = &seen.record;
      return seen.match;
    }
  }
  PlaceRecord record;
  const PlaceMatch match = LookUp(typed, date, &record);
  if (it == remembered_.end()) {
    if (remembered_.size() > 100000) remembered_.clear();
    it = remembered_.emplace(std::string(typed), Remembered{}).first;
  }
  it->second = {match, std::move(record)};
  *found = &it->second.record;
  return match;
}

PlaceMatch PlaceRegister::LookUp(std::string_view typed, const CalendarDate& date,
                                 PlaceRecord* found) {
  if (LooksLikeCode(typed)) {
    std::string code(typed);
    code[0] = UpperAscii(code[0]);
    const PlaceMatch match = places_.LookUpCode(code, date, found);
    if (match != PlaceMatch::UnknownName) return match;
  }
  return places_.LookUp(typed, date, found);
}
