#include "storage/code_reading.h"

#include "engine/short_date.h"
#include "storage/places.h"

namespace {

std::string PlaceLine(const DecodedCode& decoded, Places& places) {
  const std::string caption = "Luogo di nascita: ";
  const PlaceLookup lookup = places.FindCode(decoded.placeCode, decoded.birthDate);
  switch (lookup.match) {
    case PlaceMatch::Found:
      return caption + lookup.place.name + " (" + lookup.place.province + ")";
    case PlaceMatch::NotInUseOnDate:
      return caption + lookup.place.name + " (codice non in uso alla data di nascita)";
    case PlaceMatch::UnknownName:
    case PlaceMatch::Ambiguous:
      break;
  }
  return caption + "codice " + decoded.placeCode + " sconosciuto";
}

}  // namespace

CodeReading ReadCode(std::string_view code, Places& places) {
  CodeReading reading;
  reading.check = CheckFiscalCode(code);
  reading.lines.push_back(CodeCheckText(reading.check));
  if (!reading.check.Valid() || reading.check.numeric) return reading;

  const DecodedCode decoded = DecodeFiscalCode(code);
  reading.lines.push_back(std::string("Sesso: ") + decoded.sex);
  reading.lines.push_back("Data di nascita: " + DateToText(decoded.birthDate));
  reading.lines.push_back(PlaceLine(decoded, places));
  if (IsHomocode(code)) reading.lines.push_back("Omocodia: codice base " + BaseCode(code));
  return reading;
}

std::string MatchLine(std::string_view code, const std::string& computed) {
  return MatchesComputedCode(code, computed) ? "Corrisponde ai dati inseriti"
                                             : "Non corrisponde ai dati inseriti";
}
