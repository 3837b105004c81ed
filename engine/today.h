#pragma once

#include "engine/calendar_date.h"

// Today's date on the system clock in local time, or the date a test set. Every date
// the engine reads is a birth date, so today bounds the century of a
// two-digit year.
CalendarDate Today();

// A process-wide "today" for tests, until cleared.
void SetTodayForTesting(const CalendarDate& date);
void ClearTodayForTesting();
