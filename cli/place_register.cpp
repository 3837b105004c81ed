#include "cli/place_register.h"

PlaceRegister::PlaceRegister(const std::string& tablePath) {
  table_.SetTableName(tablePath);
  table_.SetReadOnly(true);
  table_.Open();
}

const PlaceLookup& PlaceRegister::Find(std::string_view typed, const CalendarDate& date) {
  // A list repeats its places: the text read by the steps is worth keeping,
  // but the date decides each time.
  auto it = remembered_.find(typed);
  if (it != remembered_.end() && it->second.match == PlaceMatch::UnknownName) return it->second;
  PlaceLookup lookup = places_.Find(typed, date);
  if (it == remembered_.end()) {
    if (remembered_.size() > 100000) remembered_.clear();
    it = remembered_.emplace(std::string(typed), PlaceLookup{}).first;
  }
  it->second = std::move(lookup);
  return it->second;
}
