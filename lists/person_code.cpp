#include "lists/person_code.h"

#include "engine/date_reading.h"
#include "engine/fiscal_code.h"
#include "engine/letter_folding.h"
#include "engine/today.h"
#include "storage/places/place_chain.h"

std::string UnreadableDateMessage(std::string_view typed) {
  return "Data non valida: " + std::string(typed);
}

bool ReadBirthDate(std::string_view text, CalendarDate& born, PersonError& error) {
  error.usage = !ReadDate(text, kCommandLineDates, born);
  if (error.usage) {
    error.text = UnreadableDateMessage(text);
    return false;
  }
  // Read once: a list asks for every row, and a run does not cross days.
  static const CalendarDate today = Today();
  if (born > today) {
    error.text.assign("Data di nascita nel futuro: ").append(text);
    return false;
  }
  return true;
}

bool ReadSex(std::string_view text, std::string_view& sex, PersonError& error) {
  sex = text == "f" ? "F" : text == "m" ? "M" : text;
  error.usage = sex != "F" && sex != "M";
  if (error.usage) error.text.assign("Sesso non valido (F o M): ").append(text);
  return !error.usage;
}

namespace {

bool ReadBirthDateAndSex(const PersonText& person, CalendarDate& born, std::string_view& sex,
                         PersonError& error) {
  return ReadBirthDate(person.date, born, error) && ReadSex(person.sex, sex, error);
}

}  // namespace

namespace {

bool AppendCode(const PersonText& person, const CalendarDate& born, std::string_view sex,
                std::string_view placeCode, std::string& code, PersonError& error) {
  std::string foldedSurname, foldedName;
  const std::string_view surname = FoldNameLettersIfNeeded(person.surname, foldedSurname);
  const std::string_view name = FoldNameLettersIfNeeded(person.name, foldedName);
  const std::size_t start = code.size();
  if (!AppendFiscalCode(surname, name, born, sex, placeCode, code)) {
    code.resize(start);
    error.text = kNoLetterMessage;
    return false;
  }
  return true;
}

}  // namespace

bool AppendPersonCode(const PersonText& person, PlaceRegister& places, std::string& code,
                      PersonError& error) {
  CalendarDate born;
  std::string_view sex;
  return ReadBirthDateAndSex(person, born, sex, error) &&
         AppendPersonCode(person, born, sex, places, code, error);
}

bool AppendPersonCode(const PersonText& person, const CalendarDate& born, std::string_view sex,
                      PlaceRegister& places, std::string& code, PersonError& error) {
  const PlaceLookup& place = places.Find(person.place, born);
  if (!place.Found()) {
    error.text = *PlaceLookupMessage(place, person.place);
    return false;
  }
  return AppendCode(person, born, sex, place.place.code, code, error);
}

PersonCode ComputePersonCode(const PersonText& person, PlaceRegister& places, bool nearby) {
  PersonCode result;
  PersonError error;
  bool computed = AppendPersonCode(person, places, result.code, error);
  CalendarDate born;
  std::string_view sex;
  if (!computed && nearby && ReadBirthDateAndSex(person, born, sex, error)) {
    const PlaceLookup place = places.Find(person.place, born);
    if (const auto near = NearbyRecord(places.Register(), person.place, born, place)) {
      computed = AppendCode(person, born, sex, near->code, result.code, error);
      result.nearbyPlace = computed;
    }
  }
  if (!computed) {
    result.error = std::move(error.text);
    result.usage = error.usage;
  }
  return result;
}
