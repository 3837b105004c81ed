// Today's date, or the one a test set.
#pragma once

#include "engine/calendar_date.h"

// Today's date on the system clock in local time, or the date a test set. Every date
// the engine reads is a birth date, so today bounds the century of a
// two-digit year.
CalendarDate Today();

// A process-wide "today" for tests, until cleared.
void SetTodayForTesting(const CalendarDate& date);
void ClearTodayForTesting();

// The latest year ending in `twoDigits` (0..99) that does not put that day
// and month (1..12) after today.
int LatestYearNotAfterToday(int twoDigits, int month, int day);
