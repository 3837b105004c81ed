#include "storage/places/place_lookup.h"

#include <algorithm>
#include <stdexcept>

#include "engine/fiscal_code_check.h"
#include "engine/short_date.h"
#include "storage/table/tlb_csv.h"
#include "storage/table/tquiet_walk.h"

namespace {

std::string PeriodText(const PlacePeriod& period) {
  std::string text;
  if (period.from) text += "dal " + DateToText(*period.from);
  if (period.to) text += (text.empty() ? "al " : " al ") + DateToText(*period.to);
  return text;
}

// A name without the " (...)" that tells homonyms apart.
std::string_view BaseName(std::string_view name) {
  const std::size_t open = name.rfind(" (");
  return open != std::string_view::npos && name.back() == ')' ? name.substr(0, open) : name;
}

// Candidate `i` as the user can type it: its name followed by its province,
// or by its code where another candidate shares the province.
std::string TypedForm(const std::vector<PlaceRecord>& candidates, std::size_t i) {
  const PlaceRecord& candidate = candidates[i];
  bool shared = false;
  for (std::size_t j = 0; j < candidates.size(); ++j) {
    shared = shared || (j != i && candidates[j].province == candidate.province);
  }
  return std::string(BaseName(candidate.name)) + " (" +
         (shared ? candidate.code : candidate.province) + ")";
}

}  // namespace

std::optional<std::string> PlaceLookupMessage(const PlaceLookup& lookup, std::string_view typed) {
  switch (lookup.match) {
    case PlaceMatch::Found:
      return std::nullopt;
    case PlaceMatch::UnknownName:
      return "Comune non trovato: " + std::string(typed);
    case PlaceMatch::NotInUseOnDate: {
      std::string periods;
      for (const PlacePeriod& period : lookup.periods) {
        if (!periods.empty()) periods += "; ";
        periods += PeriodText(period);
      }
      return lookup.place.name + ": nessun codice in uso alla data di nascita (in uso " + periods +
             ")";
    }
    case PlaceMatch::Ambiguous: {
      std::string text = "Comune ambiguo: ";
      for (std::size_t i = 0; i < lookup.candidates.size(); ++i) {
        if (i > 0) text += ", ";
        text += TypedForm(lookup.candidates, i);
      }
      return text;
    }
  }
  return {};
}

std::string AnsweredProvince(const PlaceLookup& lookup) {
  switch (lookup.match) {
    case PlaceMatch::Found:
    case PlaceMatch::NotInUseOnDate:
      return lookup.place.province;
    case PlaceMatch::UnknownName:
      return {};
    case PlaceMatch::Ambiguous: {
      std::vector<std::string_view> named;
      for (const PlaceRecord& candidate : lookup.candidates) {
        if (std::ranges::find(named, candidate.province) == named.end()) {
          named.push_back(candidate.province);
        }
      }
      std::string text;
      for (const std::string_view province : named) {
        if (!text.empty()) text += " / ";
        text += province;
      }
      return text;
    }
  }
  return {};
}

PlaceLookup SettledByFiscalCode(PlaceLookup lookup, std::string_view fiscalCode) {
  if (lookup.match != PlaceMatch::Ambiguous) return lookup;
  std::string place;
  try {
    place = BaseCode(fiscalCode).substr(11, 4);
  } catch (const std::invalid_argument&) {
    return lookup;  // no code to settle it: the user is asked as for a typed name
  }
  const auto chosen = std::ranges::find(lookup.candidates, place, &PlaceRecord::code);
  if (chosen == lookup.candidates.end()) return lookup;
  PlaceLookup settled;
  settled.match = PlaceMatch::Found;
  settled.place = *chosen;
  return settled;
}

void ShowPlace(TLbCsv& table, const PlaceLookup& lookup) {
  TQuietWalk walk(table);
  const bool shown =
      lookup.match == PlaceMatch::Found || lookup.match == PlaceMatch::NotInUseOnDate;
  const int row = shown ? lookup.place.row : 0;
  if (row == 0) {
    table.Last();
  } else if (row == 1) {
    table.First();  // the flags as a walk that stopped at once leaves them
  } else {
    table.SetRecordNumber(row);
  }
}
