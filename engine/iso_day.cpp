#include "engine/iso_day.h"

#include <cstdio>

#include "engine/calendar_date.h"
#include "engine/date_reading.h"

namespace {

// A day IsIsoDay accepts, read by the one date reader.
CalendarDate DateOf(std::string_view day) {
  return ReadDate(day, kIsoDates).value_or(CalendarDate{});
}

}  // namespace

std::string IsoDayText(const CalendarDate& date) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

bool IsIsoDay(std::string_view text) { return ReadDate(text, kIsoDates).has_value(); }

std::string DayAfter(std::string_view day) { return IsoDayText(NextDay(DateOf(day))); }

std::string DayBefore(std::string_view day) { return IsoDayText(PreviousDay(DateOf(day))); }
