#include "storage/code_reading.h"

#include "engine/short_date.h"
#include "storage/places.h"

namespace {

std::string PlaceLine(const DecodedCode& decoded, Places& places) {
  const std::string caption = "Luogo di nascita: ";
  PlaceRecord record;
  switch (places.LookUpCode(decoded.placeCode, decoded.birthDate, &record)) {
    case PlaceMatch::Found:
      return caption + record.name + " (" + record.province + ")";
    case PlaceMatch::NotInUseOnDate:
      return caption + record.name + " (codice non in uso alla data di nascita)";
    case PlaceMatch::UnknownName:
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
