#include "cli/place_register.h"

#include "engine/ascii_case.h"

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

PlaceRegister::PlaceRegister(const std::string& tablePath) {
  table_.SetTableName(tablePath);
  table_.SetReadOnly(true);
  table_.Open();
}

const PlaceLookup& PlaceRegister::Find(std::string_view typed, const CalendarDate& date) {
  auto it = remembered_.find(typed);
  if (it != remembered_.end()) {
    const PlaceLookup& seen = it->second;
    // A name of several records needs the lookup again on another period.
    if (seen.match == PlaceMatch::UnknownName ||
        (seen.match == PlaceMatch::Found && seen.place.period.Contains(date))) {
      return seen;
    }
  }
  PlaceLookup lookup = LookUp(typed, date);
  if (it == remembered_.end()) {
    if (remembered_.size() > 100000) remembered_.clear();
    it = remembered_.emplace(std::string(typed), PlaceLookup{}).first;
  }
  it->second = std::move(lookup);
  return it->second;
}

PlaceLookup PlaceRegister::LookUp(std::string_view typed, const CalendarDate& date) {
  if (LooksLikeCode(typed)) {
    std::string code(typed);
    code[0] = UpperAscii(code[0]);
    PlaceLookup lookup = places_.FindCode(code, date);
    if (lookup.match != PlaceMatch::UnknownName) return lookup;
  }
  return places_.Find(typed, date);
}
