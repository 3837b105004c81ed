#include "lists/place_register.h"

PlaceRegister::PlaceRegister(const std::string& tablePath, PlaceTableReading reading) {
  table_.SetTableName(tablePath);
  table_.SetReadOnly(true);
  if (reading == PlaceTableReading::ForOneCode) {
    places_.OpenForOneCode();
  } else {
    table_.Open();
  }
}

const PlaceLookup& PlaceRegister::Find(std::string_view typed, const CalendarDate& date) {
  auto it = remembered_.find(typed);
  if (it != remembered_.end()) {
    const PlaceLookup& seen = it->second;
    if (seen.match == PlaceMatch::UnknownName ||
        (seen.match == PlaceMatch::Found && seen.answers.Contains(date))) {
      return seen;
    }
  }
  PlaceLookup lookup = places_.Find(typed, date);
  if (it == remembered_.end()) {
    if (remembered_.size() > 100000) remembered_.clear();
    it = remembered_.emplace(std::string(typed), PlaceLookup{}).first;
  }
  it->second = std::move(lookup);
  return it->second;
}
