// The program's short date format, and dates written and read with it.
#pragma once

#include <string>

#include "engine/calendar_date.h"
#include "engine/date_conversion_error.h"

// The process-wide short date format every date text is written and read
// with. A pattern is day, month and year ("d", "dd", "M", "MM", "yy", "yyyy")
// in any order, separated by one character: "dd/MM/yyyy", "M/d/yyyy",
// "yyyy-MM-dd", "d.M.yyyy". Throws std::invalid_argument for anything else.
void SetShortDateFormat(const std::string& pattern);
std::string ShortDateFormat();

std::string DateToText(const CalendarDate& date);

// Reads a text written in the short date format: one or two digits for day
// and month, two or four for the year. Every date read is a birth date, so a
// two-digit year is the latest year ending in those digits that does not put
// the date after today (engine/today.h). Throws DateConversionError.
CalendarDate TextToDate(const std::string& text);

// Turns a locale's short date pattern (Qt/ICU letters) into one the program
// reads back safely: numeric month, four-digit year, the locale's order and
// separator kept ("/" when it has none or a blank).
std::string NormaliseShortDatePattern(const std::string& localePattern);
