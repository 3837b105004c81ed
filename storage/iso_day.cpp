#include "storage/iso_day.h"

#include <cstdio>

#include "engine/calendar_date.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

CalendarDate DateOf(std::string_view day) {
  const auto number = [&](std::size_t at, std::size_t size) {
    int value = 0;
    for (std::size_t i = at; i < at + size; ++i) value = value * 10 + (day[i] - '0');
    return value;
  };
  return {number(0, 4), number(5, 2), number(8, 2)};
}

std::string TextOf(const CalendarDate& date) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

}  // namespace

bool IsIsoDay(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (!IsDigit(text[i])) return false;
  }
  const CalendarDate date = DateOf(text);
  return date.month >= 1 && date.month <= 12 && date.day >= 1 &&
         date.day <= DaysInMonth(date.year, date.month);
}

std::string DayAfter(std::string_view day) {
  CalendarDate date = DateOf(day);
  if (++date.day > DaysInMonth(date.year, date.month)) {
    date.day = 1;
    if (++date.month > 12) {
      date.month = 1;
      ++date.year;
    }
  }
  return TextOf(date);
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
  return TextOf(date);
}
