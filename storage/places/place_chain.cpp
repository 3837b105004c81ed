#include "storage/places/place_chain.h"

#include <algorithm>
#include <span>

#include "engine/short_date.h"
#include "storage/places/places.h"

namespace {

constexpr int kNearYears = 5;

CalendarDate YearsLater(const CalendarDate& date, int years) {
  return {date.year + years, date.month, date.day};
}

bool BeginsOrEndsNear(const PlacePeriod& period, const CalendarDate& born) {
  return (period.from && born < *period.from && *period.from <= YearsLater(born, kNearYears)) ||
         (period.to && *period.to < born && YearsLater(born, -kNearYears) <= *period.to);
}

// Days counted roughly, enough to tell which of two records is nearer.
long Days(const CalendarDate& date) { return date.year * 372L + date.month * 31L + date.day; }

bool Follows(const PlaceRecord& earlier, const PlaceRecord& later) {
  return earlier.period.to && later.period.from &&
         NextDay(*earlier.period.to) == *later.period.from;
}

// A lookup that found the name, on the date or not: only such a name has
// records to chain.
bool Chained(const PlaceLookup& lookup) {
  return lookup.match == PlaceMatch::Found || lookup.match == PlaceMatch::NotInUseOnDate;
}

}  // namespace

std::vector<PlaceRecord> RecordsOfName(Places& places, std::string_view typed,
                                       const PlaceLookup& lookup) {
  // Asked of Find itself, a date in each period, so that a name is found as
  // everywhere else.
  std::vector<PlacePeriod> periods = lookup.periods;
  if (lookup.Found()) {
    const PlaceLookup before = places.Find(typed, CalendarDate{1, 1, 1});
    if (before.match == PlaceMatch::NotInUseOnDate) periods = before.periods;
  }
  std::vector<PlaceRecord> records;
  for (const PlacePeriod& period : periods) {
    // A period without bounds is in use on every day: any day finds it.
    const CalendarDate day = period.from ? *period.from : period.to.value_or(CalendarDate{1, 1, 1});
    const PlaceLookup found = places.Find(typed, day);
    if (found.Found() && found.place.period == period) records.push_back(found.place);
  }
  std::ranges::sort(records, [](const PlaceRecord& a, const PlaceRecord& b) {
    return a.period.from < b.period.from;
  });
  return records;
}

bool PlaceChain::Has(std::string_view code) const {
  return std::ranges::any_of(records, [code](const PlaceRecord& r) { return r.code == code; });
}

PlaceChain ChainOfPlace(Places& places, std::string_view typed, const CalendarDate& born,
                        const PlaceLookup& lookup) {
  if (!Chained(lookup)) return {};
  return ChainAmong(RecordsOfName(places, typed, lookup), born, lookup);
}

std::size_t RecordHolding(std::span<const PlaceRecord> records, const CalendarDate& born) {
  std::size_t at = 0;
  while (at < records.size() && !records[at].period.Contains(born)) ++at;
  return at;
}

PlaceChain ChainAmong(const std::vector<PlaceRecord>& named, const CalendarDate& born,
                      const PlaceLookup& lookup) {
  PlaceChain chain;
  if (!Chained(lookup)) return chain;
  // A name no period of which is told apart is the record found.
  std::span<const PlaceRecord> records = named;
  if (named.empty() && lookup.Found()) records = {&lookup.place, 1};
  std::size_t at = RecordHolding(records, born);
  chain.onDate = at < records.size();
  long nearest = 0;
  for (std::size_t i = 0; !chain.onDate && i < records.size(); ++i) {
    const PlacePeriod& period = records[i].period;
    if (!BeginsOrEndsNear(period, born)) continue;
    const long distance = period.from && born < *period.from ? Days(*period.from) - Days(born)
                                                             : Days(born) - Days(*period.to);
    if (at == records.size() || distance < nearest) at = i, nearest = distance;
  }
  if (at == records.size()) return chain;
  std::size_t first = at, last = at;
  while (first > 0 && Follows(records[first - 1], records[first])) --first;
  while (last + 1 < records.size() && Follows(records[last], records[last + 1])) ++last;
  chain.records.assign(records.begin() + static_cast<std::ptrdiff_t>(first),
                       records.begin() + static_cast<std::ptrdiff_t>(last) + 1);
  chain.anchor = at - first;
  return chain;
}

std::optional<PlaceRecord> NearbyRecord(Places& places, std::string_view typed,
                                        const CalendarDate& born, const PlaceLookup& lookup) {
  if (lookup.match != PlaceMatch::NotInUseOnDate) return std::nullopt;
  const std::vector<PlaceRecord> records = RecordsOfName(places, typed, lookup);
  if (records.empty()) return std::nullopt;
  const PlaceRecord& first = records.front();
  const PlaceRecord& last = records.back();
  if (first.period.from && born < *first.period.from && BeginsOrEndsNear(first.period, born)) {
    return first;
  }
  if (last.period.to && *last.period.to < born && BeginsOrEndsNear(last.period, born)) return last;
  return std::nullopt;
}

std::string NearbyRecordQuestion(const PlaceRecord& record) {
  std::string text = "Calcolare con " + record.code + ", " + record.name + " (" + record.province +
                     "), in uso dal " +
                     (record.period.from ? DateToText(*record.period.from) : std::string("?"));
  if (record.period.to) text += " al " + DateToText(*record.period.to);
  return text + "?";
}
