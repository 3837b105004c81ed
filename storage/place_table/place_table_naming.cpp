#include "storage/place_table/place_table_naming.h"

#include <algorithm>
#include <map>

#include "engine/iso_day.h"

namespace {

constexpr std::string_view kOpenEnd = "9999-12-31";

std::string_view LastDay(const PlaceTableRecord& record) {
  return record.until.empty() ? kOpenEnd : std::string_view(record.until);
}

bool Overlap(const PlaceTableRecord& a, const PlaceTableRecord& b) {
  return a.from <= LastDay(b) && b.from <= LastDay(a);
}

bool InUseOfficially(const PlaceTableRecord& record) {
  return record.until.empty() && record.language.empty() && record.province != "EE";
}

std::map<std::string, std::vector<PlaceToName*>> ByBase(std::vector<PlaceToName>& places) {
  std::map<std::string, std::vector<PlaceToName*>> groups;
  for (PlaceToName& place : places) groups[place.base].push_back(&place);
  return groups;
}

std::string WithSuffix(const std::string& base, const std::string& suffix) {
  return base + " (" + suffix + ")";
}

}  // namespace

std::string BaseName(const PlaceTableRecord& record) {
  for (const std::string& suffix : {record.province, record.code}) {
    const std::string tail = " (" + suffix + ")";
    if (record.name.size() > tail.size() && record.name.ends_with(tail)) {
      return record.name.substr(0, record.name.size() - tail.size());
    }
  }
  return record.name;
}

std::vector<std::string> ResolveOverlaps(std::vector<PlaceToName>& places) {
  std::vector<std::string> resolved;
  for (auto& [base, group] : ByBase(places)) {
    std::sort(group.begin(), group.end(), [](const PlaceToName* a, const PlaceToName* b) {
      return a->record.from < b->record.from;
    });
    for (PlaceToName* older : group) {
      for (const PlaceToName* newer : group) {
        PlaceTableRecord& o = older->record;
        const PlaceTableRecord& n = newer->record;
        if (older->keepsName || newer->keepsName || n.code == o.code || n.province != o.province ||
            o.until.empty() || !(o.from < n.from && n.from <= o.until && o.until < LastDay(n))) {
          continue;
        }
        resolved.push_back(base + ": " + o.code + " until " + o.until + " and " + n.code +
                           " from " + n.from);
        o.until = DayBefore(n.from);
      }
    }
  }
  return resolved;
}

void NamePlaces(std::vector<PlaceToName>& places,
                const std::set<std::pair<std::string, std::string>>& plainNamesInUse) {
  std::map<std::string, std::vector<const PlaceTableRecord*>> taken;
  const auto take = [&](PlaceToName& place, std::string name) {
    place.record.name = std::move(name);
    taken[place.record.name].push_back(&place.record);
  };
  auto groups = ByBase(places);
  std::vector<PlaceToName*> others;
  for (auto& [base, group] : groups) {
    std::vector<PlaceToName*> inUse;
    for (PlaceToName* place : group) {
      if (place->keepsName) {
        taken[place->record.name].push_back(&place->record);
      } else if (InUseOfficially(place->record)) {
        inUse.push_back(place);
      } else {
        others.push_back(place);
      }
    }
    // A structured binding is no variable a lambda may capture everywhere.
    const auto& name = base;
    const auto keeper = std::find_if(inUse.begin(), inUse.end(), [&](const PlaceToName* place) {
      return plainNamesInUse.contains({place->record.code, name});
    });
    if (inUse.size() > 1 && keeper != inUse.end()) {
      take(**keeper, base);
      inUse.erase(keeper);
      others.insert(others.end(), inUse.begin(), inUse.end());
      continue;
    }
    for (PlaceToName* place : inUse) {
      const bool provinceShared = std::count_if(inUse.begin(), inUse.end(), [&](auto* other) {
                                    return other->record.province == place->record.province;
                                  }) > 1;
      const std::string& suffix = provinceShared ? place->record.code : place->record.province;
      take(*place, inUse.size() > 1 ? WithSuffix(base, suffix) : base);
    }
  }
  // Older records choose first, so that a name once given stays as newer
  // records of the registry arrive.
  std::stable_sort(others.begin(), others.end(), [](const PlaceToName* a, const PlaceToName* b) {
    return a->record.from < b->record.from;
  });
  for (PlaceToName* place : others) {
    const PlaceTableRecord& record = place->record;
    bool rival = false;
    bool provinceShared = false;
    for (const PlaceToName* other : groups[place->base]) {
      if (other->record.code == record.code || !Overlap(other->record, record)) continue;
      rival = true;
      provinceShared = provinceShared || other->record.province == record.province;
    }
    std::string name =
        !rival ? place->base
               : WithSuffix(place->base, provinceShared ? record.code : record.province);
    const auto& holders = taken[name];
    if (std::any_of(holders.begin(), holders.end(),
                    [&](const PlaceTableRecord* holder) { return Overlap(*holder, record); })) {
      name = WithSuffix(place->base, record.code);
    }
    take(*place, std::move(name));
  }
}
