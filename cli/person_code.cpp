#include "cli/person_code.h"

#include "cli/birth_date_text.h"
#include "engine/fiscal_code.h"
#include "engine/letter_folding.h"
#include "engine/short_date.h"

PersonCode ComputePersonCode(const PersonText& person, PlaceRegister& places) {
  PersonCode result;
  const std::optional<CalendarDate> born = ReadBirthDate(person.date);
  if (!born) {
    result.error = "Data non valida: " + person.date;
    result.usage = true;
    return result;
  }
  std::string sex = person.sex;
  if (sex == "f" || sex == "m") sex[0] = static_cast<char>(sex[0] - 'a' + 'A');
  if (sex != "F" && sex != "M") {
    result.error = "Sesso non valido (F o M): " + person.sex;
    result.usage = true;
    return result;
  }
  PlaceRecord place;
  switch (places.Find(person.place, *born, &place)) {
    case PlaceMatch::Found:
      break;
    case PlaceMatch::UnknownName:
      result.error = "Comune non trovato: " + person.place;
      return result;
    case PlaceMatch::NotInUseOnDate:
      result.error = places.NotInUseMessage(place.name);
      return result;
  }
  result.code = ComputeFiscalCode(FoldNameLetters(person.surname), FoldNameLetters(person.name),
                                  DateToText(*born), sex, place.code);
  if (result.code == kErrorCode) {
    result.error = "Codice incompleto (ERRORE): cognome e nome devono avere almeno due lettere";
  }
  return result;
}
