// What a given code says: its person, century and place.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/fiscal_code_check.h"

class PlaceMemory;
class Places;

// What a code handed in says. Spaces in it are ignored and its letters
// upper-cased. The century of its year is the one in which its place code
// was in use on that date and the date is not after today (the later when
// both fit, the other kept to be named; when neither, the later not after
// today, with a note). The place
// is named as on the birth date, with today's name when it differs. Letters
// no surname or name can give and a place code no record has make it not
// valid. The table's cursor does not move.
struct CodeReading {
  std::string code;  // as read: no spaces, upper case
  CodeCheck check;
  bool valid = false;   // a person's code, with possible letters and a known place
  DecodedCode decoded;  // valid: the birth date in the century of its place
  // Valid: the date in the century before, when the place code was in use
  // then too; the code fits both, and the later is the one read.
  std::optional<CalendarDate> otherBirthDate;
  std::string placeName;  // valid: "MONTALCINO (SI)", "GIRGENTI, oggi AGRIGENTO (AG)"
  // Why it is not valid, when the check passed: "Lettere del cognome
  // impossibili: AAB", "Lettere del nome impossibili: ...", "Codice luogo
  // sconosciuto: Z999", each a line.
  std::vector<std::string> faults;
  std::vector<std::string> notes;  // "nota: ..."
  // The lines the user reads: the verdict ("Codice valido", or the first
  // fault), then the other faults, or "Sesso: M", the birth date's line
  // (BirthDateLine), "Luogo di nascita: ...", for a homocode "Omocodia:
  // codice base <code>", and the notes. Bytes as the table holds them.
  std::vector<std::string> lines;
};

// `typed` as typed (UTF-8). A caller reading many codes keeps a memory of
// the register's answers.
CodeReading ReadCode(std::string_view typed, Places& places);
CodeReading ReadCode(std::string_view typed, PlaceMemory& places);
// The same for a code as ReadCode has it after its first steps: spaces
// dropped, upper case, and `check` what CheckFiscalCode said of it (a list
// has done both to see whether the row's data give the code). A valid
// code's `lines` are left empty: a list says only what differs.
CodeReading ReadCheckedCode(std::string code, const CodeCheck& check, PlaceMemory& places);

// A valid reading's line of the birth date, in the short date format:
// "Data di nascita: 15/03/1975", and where the code fits two centuries the
// other too: "Data di nascita: 24/03/2026; anche 24/03/1926".
std::string BirthDateLine(const CodeReading& reading);

// The place of a known place code named as on `born`, with today's name when
// it differs: "MONTALCINO (SI)", "GIRGENTI, oggi AGRIGENTO (AG)".
// (PlaceMemory::NameOn.)
std::string PlaceNameOn(Places& places, const std::string& code, const CalendarDate& born);
