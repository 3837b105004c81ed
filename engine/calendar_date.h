// A day of the calendar, and the days before and after it.
#pragma once

#include <compare>

struct CalendarDate {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31

  friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
  friend auto operator<=>(const CalendarDate&, const CalendarDate&) = default;
};

constexpr bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

inline constexpr int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Month 1..12.
constexpr int DaysInMonth(int year, int month) {
  return month == 2 && IsLeapYear(year) ? 29 : kDaysInMonth[month - 1];
}

constexpr CalendarDate NextDay(CalendarDate date) {
  if (++date.day > DaysInMonth(date.year, date.month)) {
    date.day = 1;
    if (++date.month > 12) date.month = 1, ++date.year;
  }
  return date;
}

constexpr CalendarDate PreviousDay(CalendarDate date) {
  if (--date.day < 1) {
    if (--date.month < 1) date.month = 12, --date.year;
    date.day = DaysInMonth(date.year, date.month);
  }
  return date;
}
