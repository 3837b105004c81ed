// The place table as the commands over persons and lists read it.
#pragma once

#include <string>
#include <string_view>

#include "engine/calendar_date.h"
#include "storage/places/place_memory.h"
#include "storage/places/places.h"
#include "storage/table/tlb_csv.h"

// How much of the place table a command reads at start.
enum class PlaceTableReading {
  Whole,
  // A command that looks one code up: the header only, the lines holding
  // the code when it is asked for (Places::OpenForOneCode).
  ForOneCode,
};

// The place table the window reads, opened read-only,
// with a memory of the texts already looked up: a list repeats its places.
class PlaceRegister {
 public:
  // Throws the table's error when it cannot be opened.
  explicit PlaceRegister(const std::string& tablePath,
                         PlaceTableReading reading = PlaceTableReading::Whole);

  // A place as Places::Find reads it, on the birth date. The lookup is
  // valid until the next call.
  const PlaceLookup& Find(std::string_view typed, const CalendarDate& date) {
    return memory_.Find(typed, date);
  }

  Places& Register() { return places_; }
  PlaceMemory& Memory() { return memory_; }

  // The cadastral code, compared exactly.
  PlaceLookup FindCode(std::string_view code, const CalendarDate& date) {
    return places_.FindCode(code, date);
  }

 private:
  TLbCsv table_{"LbCsv1"};
  Places places_{table_};
  PlaceMemory memory_{places_};
};
