// The first, plain computation, to check the fast one against.
#pragma once

#include <string>

#include "engine/calendar_date.h"

// The first, plain implementation of the computation and of the date reading,
// kept to check the fast one against: same results, same exceptions.
std::string ReferenceFiscalCode(const std::string& surname, const std::string& name,
                                const std::string& birthDateText, const std::string& sexLetter,
                                const std::string& municipalityCode);

// Reads a date text in the current short date format.
CalendarDate ReferenceTextToDate(const std::string& text);
