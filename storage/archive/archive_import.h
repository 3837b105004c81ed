// What a file archive's record must be to be copied into another archive.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "storage/archive/archive.h"

// Why a record of a file archive may not be copied into another archive as
// it stands; nothing when it may: its line (`line`, as the file holds it)
// is not text in the desk's 8-bit code (UTF-8 outside Windows, saying at
// which byte), its code is not a valid person's code, its date does not
// read in the short date format, or the date is not the day, month and
// year its code says (a file from a desk with another date order would
// otherwise have days and months swapped).
std::optional<std::string> ImportRefusal(const ArchiveRecord& record, std::string_view line);
