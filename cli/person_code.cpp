#include "cli/person_code.h"

#include "engine/date_reading.h"
#include "engine/fiscal_code.h"
#include "engine/letter_folding.h"

namespace {

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

bool AppendPersonCode(const PersonText& person, PlaceRegister& places, std::string& code,
                      PersonError& error) {
  const std::optional<CalendarDate> born = ReadDate(person.date, kCommandLineDates);
  if (!born) {
    error.text.assign("Data non valida: ").append(person.date);
    error.usage = true;
    return false;
  }
  std::string_view sex = person.sex;
  if (sex == "f") sex = "F";
  if (sex == "m") sex = "M";
  if (sex != "F" && sex != "M") {
    error.text.assign("Sesso non valido (F o M): ").append(person.sex);
    error.usage = true;
    return false;
  }
  error.usage = false;
  const PlaceLookup& place = places.Find(person.place, *born);
  if (!place.Found()) {
    error.text = PlaceLookupMessage(place, person.place);
    return false;
  }
  // Folding keeps ASCII as it is but for the case, which the computation
  // ignores: only other text needs it.
  std::string foldedSurname, foldedName;
  std::string_view surname = person.surname;
  std::string_view name = person.name;
  if (!IsAscii(surname)) surname = foldedSurname = FoldNameLetters(surname);
  if (!IsAscii(name)) name = foldedName = FoldNameLetters(name);
  const std::size_t start = code.size();
  if (!AppendFiscalCode(surname, name, *born, sex, place.place.code, code)) {
    code.resize(start);
    error.text = "Codice incompleto (ERRORE): cognome e nome devono avere almeno due lettere";
    return false;
  }
  return true;
}

PersonCode ComputePersonCode(const PersonText& person, PlaceRegister& places) {
  PersonCode result;
  PersonError error;
  if (!AppendPersonCode(person, places, result.code, error)) {
    result.error = std::move(error.text);
    result.usage = error.usage;
  }
  return result;
}
