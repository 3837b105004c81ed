// The register's lookup of typed text: the steps that read it as people
// write places, and the choice among the places found by the birth date.
#include <algorithm>

#include "engine/calendar_date.h"
#include "engine/letter_folding.h"
#include "storage/places/common_place_names.h"
#include "storage/places/place_text.h"
#include "storage/places/places.h"

namespace {

// Entries in file order, each once.
void Settle(std::vector<std::uint32_t>& found) {
  std::ranges::sort(found);
  found.erase(std::unique(found.begin(), found.end()), found.end());
}

void Merge(std::vector<std::uint32_t>& into, const std::vector<std::uint32_t>& more) {
  into.insert(into.end(), more.begin(), more.end());
  Settle(into);
}

}  // namespace

void Places::Add(std::span<const Slot> slots, Found& found) const {
  for (const Slot& slot : slots) found.push_back(slot.entry);
}

PlaceLookup Places::Find(std::string_view typed, const CalendarDate& date) {
  RequireOpen();
  BuildIndex();
  const std::string tidy = TidyPlaceText(FoldPlaceName(typed));
  Found found;
  if (LooksLikePlaceCode(tidy)) {
    IndexCodes();
    Add(SlotsOf(byCode_, tidy), found);
  }
  if (found.empty()) found = Named(tidy);
  return Decide(std::move(found), date);
}

Places::Found Places::Named(std::string_view tidy) {
  const SuffixedName suffixed = SplitPlaceSuffix(tidy);
  if (suffixed.suffix.empty()) return NamedPlainly(tidy);
  // "BRIONE (BS)", "BRIONE (B184)": the name's places of that province or
  // code, besides a name written so in the table ("PALAU (EE)").
  Found found = Exactly(tidy);
  for (const std::uint32_t entry : NamedPlainly(TidyPlaceText(suffixed.base))) {
    const Entry& e = entries_[entry];
    if (ProvinceOf(e) == suffixed.suffix || CodeOf(e) == suffixed.suffix) found.push_back(entry);
  }
  Settle(found);
  return found;
}

Places::Found Places::NamedPlainly(std::string_view tidy) {
  if (tidy.empty()) return {};
  Found found = Loosely(tidy);
  if (!found.empty()) return found;
  // Either part of a bilingual form, each read as above.
  const std::vector<std::string> parts = BilingualParts(tidy);
  for (const std::string& part : parts) Merge(found, Loosely(part));
  if (!found.empty()) return found;
  found = ByCommonForm(tidy);
  for (const std::string& part : parts) Merge(found, ByCommonForm(part));
  return found;
}

Places::Found Places::Exactly(std::string_view name) const {
  Found found;
  Add(SlotsOf(byName_, name), found);
  Add(SlotsOf(byBase_, name), found);
  Settle(found);
  return found;
}

Places::Found Places::Loosely(std::string_view tidy) {
  // As written; then without spaces, hyphens and apostrophes; then with
  // "S." read out.
  Found found = Exactly(tidy);
  if (!found.empty()) return found;
  IndexLoosely();
  Add(SlotsOf(byLoose_, LoosePlaceText(tidy)), found);
  if (!found.empty()) {
    Settle(found);
    return found;
  }
  for (const std::string& reading : SaintReadings(tidy)) {
    Add(SlotsOf(byLoose_, LoosePlaceText(reading)), found);
  }
  Settle(found);
  return found;
}

Places::Found Places::ByCommonForm(std::string_view tidy) {
  Found found;
  for (const std::string& name : CommonPlaceNames::BuiltIn().NamesOf(LoosePlaceText(tidy))) {
    Merge(found, Exactly(name));
  }
  return found;
}

PlaceLookup Places::Decide(Found found, const CalendarDate& date) const {
  PlaceLookup lookup;
  if (found.empty()) return lookup;
  const std::int32_t day = DayOf(date);
  // The entries found as places, one a code, in file order.
  struct Place {
    std::string_view code;
    std::string_view province;
    const Entry* inUse = nullptr;  // the official name before any other
    const Entry* first = nullptr;
    bool begunAfter = true;  // every record begins after the date
  };
  std::vector<Place> places;
  for (const std::uint32_t index : found) {
    const Entry& entry = entries_[index];
    auto place = std::ranges::find(places, CodeOf(entry), &Place::code);
    if (place == places.end()) {
      places.push_back({CodeOf(entry), ProvinceOf(entry), nullptr, &entry, true});
      place = places.end() - 1;
    }
    if (entry.Contains(day) && (!place->inUse || (!place->inUse->official && entry.official))) {
      place->inUse = &entry;
    }
    place->begunAfter = place->begunAfter && entry.from != kNoDay && entry.from > day;
  }
  // A place of another province begun after the date still counts: the
  // registry's first days are no proof that it did not exist. One of the
  // same province is a successor, as the name's records follow one another.
  const auto alone = [&places](const Place& place) {
    return std::ranges::count(places, place.province, &Place::province) == 1;
  };
  std::vector<const Entry*> candidates;
  int inUse = 0;
  for (const Place& place : places) {
    if (place.inUse) {
      ++inUse;
      candidates.push_back(place.inUse);
    } else if (place.begunAfter && alone(place)) {
      candidates.push_back(place.first);
    }
  }
  if (candidates.size() > 1) {
    lookup.match = PlaceMatch::Ambiguous;
    std::ranges::sort(candidates, {}, &Entry::record);
    for (const Entry* candidate : candidates) lookup.candidates.push_back(RecordOf(*candidate));
    return lookup;
  }
  if (inUse == 1) {
    lookup.match = PlaceMatch::Found;
    lookup.place = RecordOf(*candidates.front());
    // The same answer until a record found begins or ends: only then can
    // another be in use, or a place count as begun after the date.
    std::int32_t first = kNoDay;
    std::int32_t last = kNoDay;
    const auto from = [&first](std::int32_t bound) {
      first = first == kNoDay ? bound : std::max(first, bound);
    };
    const auto to = [&last](std::int32_t bound) {
      last = last == kNoDay ? bound : std::min(last, bound);
    };
    for (const std::uint32_t index : found) {
      const Entry& entry = entries_[index];
      if (entry.from != kNoDay) {
        entry.from <= day ? from(entry.from) : to(DayOf(PreviousDay(DateOf(entry.from))));
      }
      if (entry.to != kNoDay)
        entry.to < day ? from(DayOf(NextDay(DateOf(entry.to)))) : to(entry.to);
    }
    if (first != kNoDay) lookup.answers.from = DateOf(first);
    if (last != kNoDay) lookup.answers.to = DateOf(last);
    return lookup;
  }
  // The latest record found is the one shown.
  lookup.match = PlaceMatch::NotInUseOnDate;
  lookup.place = RecordOf(entries_[found.back()]);
  // Homonyms' periods among the name's own: all in order of their days.
  std::ranges::stable_sort(found, {}, [this](std::uint32_t index) { return entries_[index].from; });
  for (const std::uint32_t index : found) lookup.periods.push_back(entries_[index].Period());
  return lookup;
}

std::vector<std::string> Places::Suggest(std::string_view typed, std::size_t most) {
  RequireOpen();
  BuildIndex();
  IndexLoosely();
  const std::string tidy = TidyPlaceText(FoldPlaceName(typed));
  if (tidy.empty()) return {};
  std::vector<std::string> starts{tidy};
  for (const std::string& part : BilingualParts(tidy)) starts.push_back(part);
  for (std::size_t i = 0, plain = starts.size(); i < plain; ++i) {
    for (std::string& reading : SaintReadings(starts[i])) starts.push_back(std::move(reading));
  }
  std::vector<std::string_view> names;
  Found named;
  for (const std::string& start : starts) {
    const std::string loose = LoosePlaceText(start);
    if (loose.empty()) continue;
    for (auto slot = std::lower_bound(
             byLoose_.begin(), byLoose_.end(), loose,
             [this](const Slot&s, const std::string&text) { return KeyOf(s) < text; });
         slot != byLoose_.end() && KeyOf(*slot).starts_with(loose); ++slot) {
      names.push_back(NameOf(entries_[slot->entry]));
    }
    for (const std::string& name : CommonPlaceNames::BuiltIn().NamesOfFormsStartingWith(loose)) {
      Merge(named, Exactly(name));
    }
  }
  for (const std::uint32_t entry : named) names.push_back(NameOf(entries_[entry]));
  std::ranges::sort(names);
  names.erase(std::unique(names.begin(), names.end()), names.end());
  if (names.size() > most) names.resize(most);
  return {names.begin(), names.end()};
}
