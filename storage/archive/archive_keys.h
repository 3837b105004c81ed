// The archive's records as a find and a sort compare them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "storage/table/record_order.h"

class TLbCsv;

// The archive's text (the desk's 8-bit text) as UTF-8; none when it is
// UTF-8 already, as on every system but Windows.
using ArchiveTextToUtf8 = std::function<std::string(std::string_view stored)>;

// A surname or name as a find and a sort compare it: folded as names are
// (engine/letter_folding.h), letters A-Z only, so that spaces, apostrophes
// and accents make no difference ("D'ÀNGELO" is DANGELO).
std::string FoldedNameKey(std::string_view utf8);

// A day as the order of the "Data" column keys it: yyyymmdd.
struct CalendarDate;
std::string DayKey(const CalendarDate& date);

// The order key of one of the archive's columns, found by name in the
// table's header as each line is read: names folded as above, the date as
// yyyymmdd (read in the short date format; a date that does not read goes
// first), any other column as it is.
RecordOrder::Key ArchiveColumnKey(const TLbCsv& table, std::string_view column,
                                  ArchiveTextToUtf8 toUtf8 = {});

// The key of surname then name (or, `nameFirst`, name then surname), each
// folded, joined by kKeyJoint: what a find by "ROSSI MARIO" looks up.
RecordOrder::Key ArchivePersonKey(const TLbCsv& table, bool nameFirst,
                                  ArchiveTextToUtf8 toUtf8 = {});
inline constexpr char kKeyJoint = '\x01';
