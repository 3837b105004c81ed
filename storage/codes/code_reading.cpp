#include "storage/codes/code_reading.h"

#include "engine/short_date.h"
#include "engine/today.h"
#include "engine/typed_code.h"
#include "storage/places/places.h"

namespace {

std::string WithProvince(const std::string& name, const std::string& province) {
  return province.empty() ? name : name + " (" + province + ")";
}

// Sex, date in the century of its place and place of a valid code whose
// place code is known; false for an unknown place code.
bool Decode(CodeReading& reading, Places& places) {
  reading.decoded = DecodeFiscalCode(reading.code);
  const std::string& place = reading.decoded.placeCode;
  if (!places.FindCode(place).Found()) return false;
  bool inUse = false;
  for (const CalendarDate& date : BirthDateCandidates(reading.code)) {
    if (places.FindCode(place, date).Found()) {
      reading.decoded.birthDate = date;
      inUse = true;
      break;
    }
  }
  if (!inUse) reading.notes.emplace_back("nota: codice luogo non in uso alla data di nascita");
  reading.placeName = PlaceNameOn(places, place, reading.decoded.birthDate);
  return true;
}

}  // namespace

std::string PlaceNameOn(Places& places, const std::string& code, const CalendarDate& born) {
  PlaceLookup then = places.FindCode(code, born);
  if (!then.Found()) then = places.FindCode(code);
  const PlaceLookup now = places.FindCode(code, Today());
  if (now.Found() && now.place.name != then.place.name) {
    return then.place.name + ", oggi " + WithProvince(now.place.name, now.place.province);
  }
  return WithProvince(then.place.name, then.place.province);
}

CodeReading ReadCode(std::string_view typed, Places& places) {
  CodeReading reading;
  reading.code = NormalizeTypedCode(typed);
  reading.check = CheckFiscalCode(reading.code);
  if (!reading.check.Valid() || reading.check.numeric) {
    reading.lines.push_back(CodeCheckText(reading.check));
    return reading;
  }
  reading.faults = ImpossibleLetterLines(reading.code);
  if (!Decode(reading, places)) {
    reading.faults.push_back("Codice luogo sconosciuto: " + reading.decoded.placeCode);
  }
  if (!reading.faults.empty()) {
    reading.notes.clear();
    reading.lines = reading.faults;
    return reading;
  }
  reading.valid = true;
  reading.lines = {"Codice valido", std::string("Sesso: ") + reading.decoded.sex,
                   "Data di nascita: " + DateToText(reading.decoded.birthDate),
                   "Luogo di nascita: " + reading.placeName};
  if (IsHomocode(reading.code)) {
    reading.lines.push_back("Omocodia: codice base " + BaseCode(reading.code));
  }
  reading.lines.insert(reading.lines.end(), reading.notes.begin(), reading.notes.end());
  return reading;
}
