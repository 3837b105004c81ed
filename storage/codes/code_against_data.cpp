#include "storage/codes/code_against_data.h"

#include "engine/fiscal_code.h"
#include "engine/letter_folding.h"
#include "engine/short_date.h"
#include "engine/today.h"
#include "storage/codes/code_reading.h"
#include "storage/places/place_chain.h"
#include "storage/places/places.h"

namespace {

std::string Differs(const char* field, const std::string& inCode, const std::string& inData) {
  return std::string(field) + ": nel codice " + inCode + ", nei dati " + inData;
}

std::string Named(const std::string& code, const std::string& place) { return code + " " + place; }

std::string ProvinceOf(const PlaceRecord& record) {
  return record.province.empty() ? record.name : record.name + " (" + record.province + ")";
}

}  // namespace

bool IsBlankValue(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

DataCheck CheckAgainstData(const CodeReading& reading, const PersonData& person, Places& places) {
  DataCheck check;
  const DecodedCode& decoded = reading.decoded;
  std::vector<std::string> differ;
  std::vector<std::string> missing;
  std::vector<std::string> notes;

  const auto letters = [&](const char* field, const std::string& typed, bool firstName,
                           std::size_t at) {
    const std::string folded = FoldNameLetters(typed);
    const std::string ours = firstName ? FirstNameLetters(folded) : SurnameLetters(folded);
    const std::string theirs = reading.code.substr(at, 3);
    if (IsBlankValue(typed) || ours.empty()) {
      missing.emplace_back(field);
    } else if (ours != theirs) {
      differ.push_back(Differs(field, theirs, ours));
    }
  };
  letters("Cognome", person.surname, false, 0);
  letters("Nome", person.name, true, 3);

  if (person.sex.empty()) {
    missing.emplace_back("Sesso");
  } else if (person.sex != std::string(1, decoded.sex)) {
    differ.push_back(Differs("Sesso", std::string(1, decoded.sex), person.sex));
  }

  const CalendarDate& coded = decoded.birthDate;
  if (!person.birthDate) {
    missing.emplace_back("Data di nascita");
  } else {
    const CalendarDate& born = *person.birthDate;
    if (born > Today()) {
      check.error = "Data di nascita nel futuro: " + DateToText(born);
      return check;
    }
    if (born.year % 100 != coded.year % 100 || born.month != coded.month || born.day != coded.day) {
      // The code's two-digit year in the century of the data's.
      const CalendarDate shown{born.year - born.year % 100 + coded.year % 100, coded.month,
                               coded.day};
      differ.push_back(Differs("Data di nascita", DateToText(shown), DateToText(born)));
    }
  }

  if (IsBlankValue(person.place)) {
    missing.emplace_back("Luogo di nascita");
  } else {
    const CalendarDate on = person.birthDate ? *person.birthDate : coded;
    const PlaceLookup lookup = places.Find(person.place, on);
    const PlaceChain chain = ChainOfPlace(places, person.place, on, lookup);
    if (chain.records.empty()) {
      check.error = *PlaceLookupMessage(lookup, person.place);
      return check;
    }
    const PlaceRecord& anchor = chain.Anchor();
    if (!chain.Has(decoded.placeCode)) {
      differ.push_back(Differs("Luogo di nascita", Named(decoded.placeCode, reading.placeName),
                               Named(anchor.code, ProvinceOf(anchor))));
    } else if (!chain.onDate || anchor.code != decoded.placeCode) {
      notes.emplace_back("nota: codice luogo di un altro periodo");
    }
  }

  check.matches = differ.empty() && missing.empty();
  check.lines.emplace_back(check.matches ? "Corrisponde ai dati inseriti"
                                         : "Non corrisponde ai dati inseriti");
  check.lines.insert(check.lines.end(), differ.begin(), differ.end());
  if (!missing.empty()) {
    std::string line = "Dati mancanti: ";
    for (std::size_t i = 0; i < missing.size(); ++i) line += (i ? ", " : "") + missing[i];
    check.lines.push_back(line);
  }
  check.lines.insert(check.lines.end(), notes.begin(), notes.end());
  return check;
}
