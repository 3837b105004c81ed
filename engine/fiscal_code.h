#pragma once

#include <string>
#include <string_view>

// What the computation gives when the inputs make no complete code.
inline constexpr std::string_view kErrorCode = "ERRORE";

// The Italian fiscal code of a person, or kErrorCode when the inputs give no
// complete code. The birth date text is read with the short date format
// (engine/short_date.h); an unreadable one throws DateConversionError.
std::string ComputeFiscalCode(const std::string& surname, const std::string& name,
                              const std::string& birthDateText, const std::string& sexLetter,
                              const std::string& municipalityCode);
