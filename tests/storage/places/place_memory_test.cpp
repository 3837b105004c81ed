// The register's answers kept for a run: on every date, in any order of
// asking, what the register itself gives.
#include "storage/places/place_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/short_date.h"
#include "engine/today.h"
#include "storage/codes/code_reading.h"
#include "storage/places/places.h"
#include "storage/table/tlb_csv.h"

namespace {

std::string Said(const PlacePeriod& period) {
  std::string said = period.from ? DateToText(*period.from) : std::string("-");
  return said.append("..").append(period.to ? DateToText(*period.to) : std::string("-"));
}

// What a caller can read of a lookup.
std::string Said(const PlaceLookup& lookup) {
  std::string said = std::to_string(static_cast<int>(lookup.match)) + " " +
                     std::to_string(lookup.place.row) + " " + lookup.place.name + " " +
                     Said(lookup.place.period);
  for (const PlacePeriod& period : lookup.periods) said.append(" ").append(Said(period));
  for (const PlaceRecord& candidate : lookup.candidates) said.append(" ").append(candidate.name);
  return said;
}

std::string Said(const PlaceChain& chain) {
  std::string said = chain.onDate ? "on date" : "near";
  for (const PlaceRecord& record : chain.records)
    said.append(" ").append(std::to_string(record.row));
  if (!chain.records.empty()) said.append(" at ").append(std::to_string(chain.anchor));
  return said;
}

class PlaceMemoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetShortDateFormat("dd/MM/yyyy");
    SetTodayForTesting({2026, 12, 8});
    table_.SetTableName(std::string(VIVEZE_DATA_DIR) + "/comuni.dat");
    table_.SetReadOnly(true);
    table_.Open();
  }
  void TearDown() override { ClearTodayForTesting(); }

  TLbCsv table_{"LbCsv1"};
  Places places_{table_};
};

// Names and codes with periods, gaps, homonyms and none; the dates around
// each of their bounds and across two centuries, asked in three orders.
TEST_F(PlaceMemoryTest, GivesWhatTheRegisterGivesOnEveryDateInAnyOrder) {
  const std::vector<std::string> texts = {
      "MONTALCINO", "SANGIANO", "BRIONE", "brione (tn)", "GIRGENTI", "CORIGLIANO-ROSSANO",
      "DAIRAGO",    "castro",   "H501",   "NOWHERE",     "HONG KONG"};
  const std::vector<std::string> codes = {"F402", "M378", "H872", "A089", "D244", "B185", "Z999"};
  std::vector<CalendarDate> dates;
  for (int year = 1850; year <= 2026; year += 3) dates.push_back({year, year % 12 + 1, 15});
  for (const std::string& text : texts) {
    for (const PlacePeriod& period : places_.Find(text, CalendarDate{1, 1, 1}).periods) {
      for (const auto& bound : {period.from, period.to}) {
        if (!bound) continue;
        dates.push_back(PreviousDay(*bound));
        dates.push_back(*bound);
        dates.push_back(NextDay(*bound));
      }
    }
  }
  std::vector<CalendarDate> reversed(dates.rbegin(), dates.rend());
  std::vector<CalendarDate> shuffled = dates;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(42));
  PlaceMemory memory(places_);
  for (const auto* order : {&dates, &reversed, &shuffled}) {
    for (const CalendarDate& date : *order) {
      SCOPED_TRACE(DateToText(date));
      for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const PlaceLookup expected = places_.Find(text, date);
        const PlaceLookup& kept = memory.Find(text, date);
        EXPECT_EQ(Said(kept), Said(expected));
        EXPECT_EQ(Said(memory.Chain(text, date, kept)),
                  Said(ChainOfPlace(places_, text, date, expected)));
      }
      for (const std::string& code : codes) {
        SCOPED_TRACE(code);
        EXPECT_EQ(Said(memory.FindCode(code, date)), Said(places_.FindCode(code, date)));
        EXPECT_EQ(Said(memory.FindCode(code)), Said(places_.FindCode(code)));
        if (places_.FindCode(code).Found()) {
          EXPECT_EQ(memory.NameOn(code, date), PlaceNameOn(places_, code, date));
        }
      }
    }
  }
}

}  // namespace
