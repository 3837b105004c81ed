#include "storage/codes/code_against_data.h"

#include <initializer_list>
#include <string_view>

#include "engine/fiscal_code.h"
#include "engine/letter_folding.h"
#include "engine/short_date.h"
#include "engine/today.h"
#include "storage/codes/code_reading.h"
#include "storage/places/place_memory.h"

namespace {

using Pieces = std::initializer_list<std::string_view>;

// "<Campo>: nel codice <value>, nei dati <value>", each value in pieces: a
// list writes one on every row that differs.
std::string Differs(std::string_view field, Pieces inCode, Pieces inData) {
  std::size_t size = field.size() + 24;
  for (const Pieces pieces : {inCode, inData}) {
    for (const std::string_view piece : pieces) size += piece.size();
  }
  std::string line;
  line.reserve(size);
  line.append(field).append(": nel codice ");
  for (const std::string_view piece : inCode) line.append(piece);
  line.append(", nei dati ");
  for (const std::string_view piece : inData) line.append(piece);
  return line;
}

}  // namespace

bool IsBlankValue(std::string_view text) {
  // A plain loop: a list asks of every value, most of which begin with a letter.
  for (const char c : text) {
    if (c != ' ' && c != '\t') return false;
  }
  return true;
}

DataCheck CheckAgainstData(const CodeReading& reading, const PersonData& person, Places& places) {
  PlaceMemory memory(places);
  return CheckAgainstData(reading, person, memory);
}

DataCheck CheckAgainstData(const CodeReading& reading, const PersonData& person,
                           PlaceMemory& places) {
  DataCheck check;
  const DecodedCode& decoded = reading.decoded;
  // The verdict first, set at the end; then the fields that differ, the
  // missing ones and the notes.
  std::vector<std::string>& lines = check.lines;
  lines.reserve(4);
  lines.emplace_back();
  std::string missing;
  std::string note;
  const auto miss = [&missing](std::string_view field) {
    missing.append(missing.empty() ? "Dati mancanti: " : ", ").append(field);
  };

  const auto letters = [&](std::string_view field, const std::string& typed, bool firstName,
                           std::size_t at) {
    std::string buffer;
    const std::string_view folded = FoldNameLettersIfNeeded(typed, buffer);
    const std::string ours = firstName ? FirstNameLetters(folded) : SurnameLetters(folded);
    const std::string_view theirs = std::string_view(reading.code).substr(at, 3);
    if (IsBlankValue(typed) || ours.empty()) {
      miss(field);
    } else if (ours != theirs) {
      lines.push_back(Differs(field, {theirs}, {ours}));
    }
  };
  letters("Cognome", person.surname, false, 0);
  letters("Nome", person.name, true, 3);

  const std::string_view codedSex(&decoded.sex, 1);
  if (person.sex.empty()) {
    miss("Sesso");
  } else if (person.sex != codedSex) {
    lines.push_back(Differs("Sesso", {codedSex}, {person.sex}));
  }

  const CalendarDate& coded = decoded.birthDate;
  if (!person.birthDate) {
    miss("Data di nascita");
  } else {
    const CalendarDate& born = *person.birthDate;
    if (born > Today()) {
      check.error = "Data di nascita nel futuro: " + DateToText(born);
      check.lines.clear();
      return check;
    }
    if (born.year % 100 != coded.year % 100 || born.month != coded.month || born.day != coded.day) {
      // The code's two-digit year in the century of the data's.
      const CalendarDate shown{born.year - born.year % 100 + coded.year % 100, coded.month,
                               coded.day};
      lines.push_back(Differs("Data di nascita", {DateToText(shown)}, {DateToText(born)}));
    }
  }

  if (IsBlankValue(person.place)) {
    miss("Luogo di nascita");
  } else {
    const CalendarDate on = person.birthDate ? *person.birthDate : coded;
    const PlaceLookup& lookup = places.Find(person.place, on);
    const PlaceChain& chain = places.Chain(person.place, on, lookup);
    if (chain.records.empty()) {
      check.error = *PlaceLookupMessage(lookup, person.place);
      check.lines.clear();
      return check;
    }
    const PlaceRecord& anchor = chain.Anchor();
    if (!chain.Has(decoded.placeCode)) {
      const bool province = !anchor.province.empty();
      lines.push_back(Differs("Luogo di nascita", {decoded.placeCode, " ", reading.placeName},
                              {anchor.code, " ", anchor.name, province ? " (" : "", anchor.province,
                               province ? ")" : ""}));
    } else if (!chain.onDate || anchor.code != decoded.placeCode) {
      note = "nota: codice luogo di un altro periodo";
    }
  }

  check.matches = lines.size() == 1 && missing.empty();
  lines.front() =
      check.matches ? "Corrisponde ai dati inseriti" : "Non corrisponde ai dati inseriti";
  if (!missing.empty()) lines.push_back(std::move(missing));
  // No date to choose between the centuries the code fits: both said.
  if (!person.birthDate && reading.otherBirthDate) lines.push_back(BirthDateLine(reading));
  if (!note.empty()) lines.push_back(std::move(note));
  return check;
}
