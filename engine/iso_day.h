// Days written yyyy-mm-dd, as the place table and the registry write them.
#pragma once

#include <string>
#include <string_view>

// Days written yyyy-mm-dd, as the place table and the registry write them.
// Such days compare as text in date order.

bool IsIsoDay(std::string_view text);

struct CalendarDate;
// `date` written so.
std::string IsoDayText(const CalendarDate& date);

// The day after and the day before a day IsIsoDay accepts.
std::string DayAfter(std::string_view day);
std::string DayBefore(std::string_view day);
