// A code held against a person's data, field by field.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/calendar_date.h"

class PlaceMemory;
class Places;
struct CodeReading;

// A person's data as typed (UTF-8); an empty text is a value left empty.
struct PersonData {
  std::string surname;
  std::string name;
  std::string sex;  // "F" or "M"
  std::optional<CalendarDate> birthDate;
  std::string place;
};

// Whether a code read is that person's, the lines the window's check tab and
// `vivezecf verifica` both show.
struct DataCheck {
  bool matches = false;
  // Set when the data name no place to compare with (not found, ambiguous,
  // no code near the birth date) or a birth date after today: the one line
  // shown instead of a verdict.
  std::string error;
  // "Corrisponde ai dati inseriti" or "Non corrisponde ai dati inseriti";
  // then for each field that differs "<Campo>: nel codice <value>, nei dati
  // <value>" (Cognome, Nome, Sesso, Data di nascita, Luogo di nascita),
  // "Dati mancanti: <fields>", with no birth date the reading's date line
  // when the code fits two centuries ("Data di nascita: 24/03/2026; anche
  // 24/03/1926"), and "nota: codice luogo di un altro periodo" when the
  // place code is another of the place's chain of records.
  std::vector<std::string> lines;
};

// A value of spaces and tabs only counts as left empty.
bool IsBlankValue(std::string_view text);

// Compares a valid reading with the data, every homocode form alike (the
// code's digits read back), the place by the chain of its records (D19 of
// the decisions on place codes: storage/place_chain.h).
// A caller checking many codes keeps a memory of the register's answers.
DataCheck CheckAgainstData(const CodeReading& reading, const PersonData& person, Places& places);
DataCheck CheckAgainstData(const CodeReading& reading, const PersonData& person,
                           PlaceMemory& places);
