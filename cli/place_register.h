#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/calendar_date.h"
#include "storage/places.h"
#include "storage/tlbcsv.h"

// The shipped place table, opened read-only from where the window finds it,
// with a memory of the texts already looked up: a list repeats its places.
class PlaceRegister {
 public:
  // Throws the table's error when it cannot be opened.
  explicit PlaceRegister(const std::string& programFolder);

  // A name as the drop-down lists it (letters folded, any case) or a
  // four-character cadastral code, on the birth date. `found` is the record
  // used (the latest one when not in use on the date).
  PlaceMatch Find(const std::string& typed, const CalendarDate& date, PlaceRecord* found);

  // The cadastral code, compared exactly.
  PlaceMatch FindCode(std::string_view code, const CalendarDate& date, PlaceRecord* found);

  std::string NotInUseMessage(const std::string& name) { return places_.NotInUseMessage(name); }

 private:
  struct Remembered {
    PlaceMatch match;
    PlaceRecord record;
  };

  PlaceMatch LookUp(const std::string& typed, const CalendarDate& date, PlaceRecord* found);

  TLbCsv table_{"LbCsv1"};
  Places places_{table_};
  std::unordered_map<std::string, Remembered> remembered_;
};
