// The records of a place name around a birth date, and the nearby code offered.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/calendar_date.h"
#include "storage/places/place_lookup.h"

class Places;

// The records of one place name that follow one another without a gap (no
// day between one's last day and the next one's first) and include a birth
// date, or, when none does, the record nearest to it if it begins or ends
// within five years of it: the codes the Agenzia may have issued for a
// person born there then, whatever the registry's dates.
struct PlaceChain {
  std::vector<PlaceRecord> records;  // earliest first; empty for none
  bool onDate = false;               // a record of it includes the date

  std::size_t anchor = 0;  // the record in use on the date, or the nearest

  bool Has(std::string_view code) const;
  const PlaceRecord& Anchor() const { return records[anchor]; }
};

// The chain of the place typed (UTF-8) for a birth date, from the lookup
// Places::Find gave for it; empty when the lookup found no place or no
// record lies near enough.
PlaceChain ChainOfPlace(Places& places, std::string_view typed, const CalendarDate& born,
                        const PlaceLookup& lookup);

// Every record of the name typed (UTF-8), earliest first, read from the
// lookup Places::Find gave for it: the same on every date on which the
// lookup finds the name, and on every date on which it finds it not in use.
std::vector<PlaceRecord> RecordsOfName(Places& places, std::string_view typed,
                                       const PlaceLookup& lookup);

// ChainOfPlace among the records RecordsOfName gave for the lookup (or for
// one of the same kind on another date). It depends on the date only
// through the first of them that holds it, when one does.
PlaceChain ChainAmong(const std::vector<PlaceRecord>& named, const CalendarDate& born,
                      const PlaceLookup& lookup);
// The first of `records` whose period holds `born`; records.size() for none.
std::size_t RecordHolding(std::span<const PlaceRecord> records, const CalendarDate& born);

// For Calcola with a name that has no record in use on the birth date: the
// first record of the name when the date comes before it, or the last one
// when the date comes after it, by five years at most; none in a gap between
// two periods, which belong to different municipalities.
std::optional<PlaceRecord> NearbyRecord(Places& places, std::string_view typed,
                                        const CalendarDate& born, const PlaceLookup& lookup);

// "Calcolare con <CODE>, <NAME> (<PROV>), in uso dal <Dal> al <Al>?", " al
// <Al>" left out while in use, dates in the short date format.
std::string NearbyRecordQuestion(const PlaceRecord& record);
