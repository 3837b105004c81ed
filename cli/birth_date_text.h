#pragma once

#include <optional>
#include <string_view>

#include "engine/calendar_date.h"

// A birth date as offices write it: dd/mm/yyyy, d/m/yyyy or yyyy-mm-dd; a
// two-digit year (dd/mm/yy) is the latest one not putting the date after
// today. None for anything else, an impossible day included.
std::optional<CalendarDate> ReadBirthDate(std::string_view text);
