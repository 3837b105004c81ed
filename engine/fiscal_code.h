// The fiscal code of a person, computed.
#pragma once

#include <string>
#include <string_view>

#include "engine/calendar_date.h"

// What the computation gives when the inputs make no complete code.
inline constexpr std::string_view kErrorCode = "ERRORE";

// The Italian fiscal code of a person, or kErrorCode when the inputs give no
// complete code. The birth date text is read with the short date format
// (engine/short_date.h); an unreadable one throws DateConversionError.
std::string ComputeFiscalCode(const std::string& surname, const std::string& name,
                              const std::string& birthDateText, const std::string& sexLetter,
                              const std::string& municipalityCode);

// The same for a birth date already read, as the text path gives it for the
// text of that date; a date that is no real day gives kErrorCode.
std::string ComputeFiscalCode(std::string_view surname, std::string_view name,
                              const CalendarDate& birthDate, std::string_view sexLetter,
                              std::string_view municipalityCode);

// Appends that code, or kErrorCode, to `out`: no allocation when `out` has
// room. False when it appended kErrorCode.
bool AppendFiscalCode(std::string_view surname, std::string_view name,
                      const CalendarDate& birthDate, std::string_view sexLetter,
                      std::string_view municipalityCode, std::string& out);

// The three letters a surname, or a first name, gives in the code (letters
// a to z in any case, other bytes dropped); empty when it has no letter.
std::string SurnameLetters(std::string_view surname);
std::string FirstNameLetters(std::string_view name);
