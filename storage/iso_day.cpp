#include "storage/iso_day.h"

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

std::string DayAfter(std::string_view day) {
  CalendarDate date = DateOf(day);
  if (++date.day > DaysInMonth(date.year, date.month)) {
    date.day = 1;
    if (++date.month > 12) {
      date.month = 1;
      ++date.year;
    }
  }
  return IsoDayText(date);
}

std::string DayBefore(std::string_view day) {
  CalendarDate date = DateOf(day);
  if (--date.day < 1) {
    if (--date.month < 1) {
      date.month = 12;
      --date.year;
    }
    date.day = DaysInMonth(date.year, date.month);
  }
  return IsoDayText(date);
}
