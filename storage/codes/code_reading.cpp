#include "storage/codes/code_reading.h"

#include "engine/short_date.h"
#include "engine/typed_code.h"
#include "storage/places/place_memory.h"

namespace {

// Sex, date in the century of its place and place of a valid code whose
// place code is known; false for an unknown place code.
bool Decode(CodeReading& reading, PlaceMemory& places) {
  reading.decoded = DecodeCheckedCode(reading.code, reading.check);
  const std::string& place = reading.decoded.placeCode;
  if (!places.FindCode(place).Found()) return false;
  bool inUse = false;
  for (const CalendarDate& date : BirthDateCandidates(reading.decoded.birthDate)) {
    if (!places.FindCode(place, date).Found()) continue;
    if (inUse) {
      reading.otherBirthDate = date;
    } else {
      reading.decoded.birthDate = date;
      inUse = true;
    }
  }
  if (!inUse) reading.notes.emplace_back("nota: codice luogo non in uso alla data di nascita");
  reading.placeName = places.NameOn(place, reading.decoded.birthDate);
  return true;
}

}  // namespace

std::string PlaceNameOn(Places& places, const std::string& code, const CalendarDate& born) {
  PlaceMemory memory(places);
  return memory.NameOn(code, born);
}

CodeReading ReadCode(std::string_view typed, Places& places) {
  PlaceMemory memory(places);
  return ReadCode(typed, memory);
}

CodeReading ReadCode(std::string_view typed, PlaceMemory& places) {
  std::string code = NormalizeTypedCode(typed);
  const CodeCheck check = CheckFiscalCode(code);
  CodeReading reading = ReadCheckedCode(std::move(code), check, places);
  if (!reading.valid) return reading;
  std::vector<std::string>& lines = reading.lines;
  lines.reserve(5 + reading.notes.size());
  lines.emplace_back("Codice valido");
  lines.emplace_back("Sesso: ").push_back(reading.decoded.sex);
  lines.push_back(BirthDateLine(reading));
  lines.emplace_back("Luogo di nascita: ").append(reading.placeName);
  if (reading.check.homocode) lines.push_back("Omocodia: codice base " + BaseCode(reading.code));
  lines.insert(lines.end(), reading.notes.begin(), reading.notes.end());
  return reading;
}

CodeReading ReadCheckedCode(std::string code, const CodeCheck& check, PlaceMemory& places) {
  CodeReading reading;
  reading.code = std::move(code);
  reading.check = check;
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
  return reading;
}

std::string BirthDateLine(const CodeReading& reading) {
  std::string line = "Data di nascita: " + DateToText(reading.decoded.birthDate);
  if (reading.otherBirthDate) line.append("; anche ").append(DateToText(*reading.otherBirthDate));
  return line;
}
