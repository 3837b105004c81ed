// The municipality table as a register of places: names, the lookup by name
// or code on a date, and the cursor the window moves to what it gives.
#include "storage/places/places.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "engine/short_date.h"
#include "storage/table/tlb_csv.h"
#include "tests/support/event_recorder.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr CalendarDate kToday{2026, 12, 8};

class PlacesTest : public ::testing::Test {
 protected:
  void SetUp() override { SetShortDateFormat("dd/MM/yyyy"); }

  Places& Open(const std::string& text) {
    table_.Close();
    table_.SetTableName(folder_.Write("comuni.dat", text));
    table_.SetReadOnly(true);
    table_.Open();
    return places_;
  }

  // The window's way: the lookup, then its cursor moved to what it gave.
  PlaceLookup Show(const PlaceLookup& lookup) {
    ShowPlace(table_, lookup);
    return lookup;
  }

  TempFolder folder_;
  TLbCsv table_{"LbCsv1"};
  Places places_{table_};
};

// A table of the old layout: no dates, every place valid on every day.
const char* const kUndated =
    "comuni,Code,Prov\r\n"
    "ABANO TERME,A001,PD\r\n"
    "CESENA,C573,FC\r\n"
    "CITTA' DI CASTELLO,C745,PG\r\n"
    "FORLI',D704,FC\r\n"
    "ZURIGO,Z133,EE\r\n";

const char* const kDated =
    "comuni,Code,Prov,Dal,Al\r\n"
    "CORIGLIANO CALABRO,D005,CS,1863-02-06,2018-03-30\r\n"
    "CORIGLIANO-ROSSANO,M403,CS,2018-03-31,\r\n"
    "LESSONA,E552,BI,1861-03-17,2015-12-31\r\n"
    "LESSONA,M371,BI,2016-01-01,\r\n"
    "MONTALCINO,F402,SI,1861-03-17,2016-12-31\r\n"
    "MONTALCINO,M378,SI,2017-01-01,\r\n"
    "PONTE LAMBRO,G828,CO,1861-03-17,1928-05-24\r\n"
    "PONTE LAMBRO,G847,CO,1950-01-01,\r\n"
    "ZZ,Z999,EE,,\r\n";

TEST_F(PlacesTest, NamesOnceInFileOrder) {
  Places& places = Open(kDated);
  table_.SetRecordNumber(4);
  EXPECT_EQ(places.Names(),
            (std::vector<std::string>{"CORIGLIANO CALABRO", "CORIGLIANO-ROSSANO", "LESSONA",
                                      "MONTALCINO", "PONTE LAMBRO", "ZZ"}));
  EXPECT_EQ(table_.RecordNumber(), 4);  // never moved
  EXPECT_EQ(Open("comuni,Code,Prov\r\n").Names(), std::vector<std::string>{});
}

TEST_F(PlacesTest, TypedNamesAreFoldedAndComparedWhole) {
  Places& places = Open(kUndated);
  for (const char* typed : {"forli'", "Forlì", "FORLÌ", "forlí"}) {
    const PlaceLookup found = Show(places.Find(typed, kToday));
    EXPECT_EQ(found.match, PlaceMatch::Found) << typed;
    EXPECT_EQ(table_.RecordNumber(), 4) << typed;
    EXPECT_EQ(found.place.code, "D704") << typed;
    EXPECT_EQ(found.place.province, "FC") << typed;
  }
  EXPECT_EQ(places.Find("città di castello", kToday).place.code, "C745");
  const PlaceLookup abano = Show(places.Find("Abano Terme", kToday));
  EXPECT_EQ(abano.match, PlaceMatch::Found);
  EXPECT_EQ(table_.RecordNumber(), 1);
  EXPECT_TRUE(table_.AtBeginning());  // as a walk from the first record leaves it
  EXPECT_EQ(abano.place.province, "PD");
  // No part of a name matches: the last record is shown.
  for (const char* miss : {"CESEN", "ATLANTIDE"}) {
    const PlaceLookup none = Show(places.Find(miss, kToday));
    EXPECT_EQ(none.match, PlaceMatch::UnknownName) << miss;
    EXPECT_EQ(none.place.row, 0) << miss;
    EXPECT_EQ(table_.RecordNumber(), 5) << miss;
    EXPECT_EQ(table_.FieldNamed("Code").Text(), "Z133") << miss;
  }
}

TEST_F(PlacesTest, TheRecordValidOnTheDateIsChosen) {
  Places& places = Open(kDated);
  const struct {
    const char* name;
    CalendarDate date;
    const char* code;
  } cases[] = {
      {"MONTALCINO", {1975, 3, 15}, "F402"},
      {"MONTALCINO", {2016, 12, 31}, "F402"},  // the last day of the old code
      {"MONTALCINO", {2017, 1, 1}, "M378"},    // the first of the new
      {"MONTALCINO", {2020, 6, 1}, "M378"},
      {"LESSONA", {1934, 5, 5}, "E552"},
      {"Lessona", kToday, "M371"},
      {"CORIGLIANO CALABRO", {1975, 3, 15}, "D005"},
      {"CORIGLIANO-ROSSANO", {2018, 3, 31}, "M403"},
      {"ZZ", {1500, 1, 1}, "Z999"},  // no dates: always
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PlaceLookup found = places.Find(c.name, c.date);
    EXPECT_EQ(found.match, PlaceMatch::Found);
    EXPECT_EQ(found.place.code, c.code);
  }
}

// A table in no order: a name's records apart, codes unsorted, a quoted name
// holding a comma, a line short of its dates.
TEST_F(PlacesTest, ATableInNoOrderIsLookedUpAsWell) {
  Places& places = Open(
      "comuni,Code,Prov,Dal,Al\r\n"
      "PONTE LAMBRO,G847,CO,1950-01-01,\r\n"
      "\"BAGNO, IL\",B001,XX,1900-01-01,\r\n"
      "ALFA,Z999,EE\r\n"
      "PONTE LAMBRO,G828,CO,1861-03-17,1928-05-24\r\n"
      "ALFA,A100,EE,1800-01-01,1850-12-31\r\n");
  EXPECT_EQ(places.Names(), (std::vector<std::string>{"PONTE LAMBRO", "BAGNO, IL", "ALFA"}));
  const struct {
    const char* name;
    CalendarDate date;
    PlaceMatch match;
    int record;
  } cases[] = {
      {"PONTE LAMBRO", {1900, 1, 1}, PlaceMatch::Found, 4},
      {"PONTE LAMBRO", {1960, 1, 1}, PlaceMatch::Found, 1},
      {"PONTE LAMBRO", {1940, 1, 1}, PlaceMatch::NotInUseOnDate, 4},  // the latest in the file
      {"BAGNO, IL", {1975, 1, 1}, PlaceMatch::Found, 2},
      {"ALFA", {1820, 1, 1}, PlaceMatch::Ambiguous, 5},  // two codes at once: no guess
      {"BAGNO", {1975, 1, 1}, PlaceMatch::UnknownName, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Show(places.Find(c.name, c.date)).match, c.match);
    EXPECT_EQ(table_.RecordNumber(), c.record);
  }
  EXPECT_EQ(places.FindCode("A100", {1820, 1, 1}).place.row, 5);
  EXPECT_EQ(places.FindCode("G828", {1900, 1, 1}).place.row, 4);
  EXPECT_EQ(places.FindCode("B00", {1900, 1, 1}).match, PlaceMatch::UnknownName);
}

TEST_F(PlacesTest, ANameNotInUseOnTheDateIsSaidSoWithItsPeriods) {
  Places& places = Open(kDated);
  const PlaceLookup later = places.Find("CORIGLIANO-ROSSANO", {1975, 3, 15});
  EXPECT_EQ(later.match, PlaceMatch::NotInUseOnDate);
  EXPECT_EQ(later.place.name, "CORIGLIANO-ROSSANO");
  EXPECT_EQ(PlaceLookupMessage(later, "corigliano-rossano"),
            "CORIGLIANO-ROSSANO: nessun codice in uso alla data di nascita (in uso dal "
            "31/03/2018)");
  EXPECT_EQ(places.Find("CORIGLIANO CALABRO", {2018, 3, 31}).match, PlaceMatch::NotInUseOnDate);
  // Between two periods: the latest record of the name is shown.
  const PlaceLookup between = places.Find("ponte lambro", {1940, 1, 1});
  EXPECT_EQ(between.match, PlaceMatch::NotInUseOnDate);
  EXPECT_EQ(between.place.code, "G847");
  SetShortDateFormat("M/d/yyyy");
  EXPECT_EQ(PlaceLookupMessage(between, "ponte lambro"),
            "PONTE LAMBRO: nessun codice in uso alla data di nascita (in uso dal 3/17/1861 al "
            "5/24/1928; dal 1/1/1950)");
}

TEST_F(PlacesTest, WhatTheUserIsToldWhenNoPlaceIsUsed) {
  PlaceLookup lookup;
  EXPECT_EQ(PlaceLookupMessage(lookup, "Atlantide"), "Comune non trovato: Atlantide");
  lookup.match = PlaceMatch::Ambiguous;
  lookup.candidates = {{1, "CASTRO (BG)", "C337", "BG", {}}, {2, "CASTRO (LE)", "M261", "LE", {}}};
  EXPECT_EQ(PlaceLookupMessage(lookup, "castro"), "Comune ambiguo: CASTRO (BG), CASTRO (LE)");
  // Where the province is shared too, each is named by its code.
  lookup.candidates = {{1, "PEGLIO", "G415", "CO", {}},
                       {2, "PEGLIO (G999)", "G999", "CO", {}},
                       {3, "PEGLIO (PU)", "G416", "PU", {}}};
  EXPECT_EQ(PlaceLookupMessage(lookup, "peglio"),
            "Comune ambiguo: PEGLIO (G415), PEGLIO (G999), PEGLIO (PU)");
  lookup.match = PlaceMatch::Found;
  EXPECT_EQ(PlaceLookupMessage(lookup, "peglio"), std::nullopt);
}

TEST_F(PlacesTest, CodesAreFoundOnTheirDateOrAlone) {
  Places& places = Open(kDated);
  const PlaceLookup old = places.FindCode("F402", {1975, 3, 15});
  EXPECT_EQ(old.match, PlaceMatch::Found);
  EXPECT_EQ(old.place.name, "MONTALCINO");
  EXPECT_EQ(old.place.period.to, (CalendarDate{2016, 12, 31}));
  const PlaceLookup ended = places.FindCode("F402", {2020, 1, 1});
  EXPECT_EQ(ended.match, PlaceMatch::NotInUseOnDate);
  EXPECT_EQ(ended.place.name, "MONTALCINO");
  EXPECT_EQ(places.FindCode("f402", {1975, 3, 15}).match, PlaceMatch::UnknownName);
  EXPECT_EQ(places.FindCode("F402").place.row, 5);  // whatever the date
  EXPECT_EQ(places.FindCode("F40").match, PlaceMatch::UnknownName);
}

// A code with a name in the other official language too: reading the code
// gives the official name, whatever the order of the file.
TEST_F(PlacesTest, ACodeGivesItsOfficialNameBeforeTheOtherLanguages) {
  Places& places = Open(
      "comuni,Code,Prov,Dal,Al,Lingua\r\n"
      "MERAN,F132,BZ,1923-01-01,,altra\r\n"
      "MERANO,F132,BZ,1923-01-01,\r\n");
  EXPECT_EQ(places.FindCode("F132", {1980, 1, 1}).place.name, "MERANO");
  EXPECT_EQ(places.FindCode("F132").place.name, "MERANO");
  EXPECT_EQ(places.Find("meran", {1980, 1, 1}).place.code, "F132");
}

// The province label is told of the record a lookup ends on, once; the flags
// are those a walk from the first record would leave.
TEST_F(PlacesTest, AShownLookupTellsTheViewsOnceAndSetsTheFlagsAsAWalk) {
  Places& places = Open(kDated);
  Recorder label;
  table_.Attach(&label);
  const auto where = [this] {
    return std::to_string(table_.RecordNumber()) + (table_.AtBeginning() ? " 1" : " 0") +
           (table_.AtEnd() ? "1" : "0");
  };
  const auto told = [&](const std::function<void()>& lookup) {
    label.events.clear();
    lookup();
    return label.events;
  };
  const std::vector<TDataEvent> once{TDataEvent::RecordChanged};
  table_.SetRecordNumber(4);
  EXPECT_EQ(told([&] { Show(places.Find("corigliano calabro", kToday)); }), once);
  EXPECT_EQ(where(), "1 10");
  EXPECT_EQ(told([&] { Show(places.Find("MONTALCINO", kToday)); }), once);
  EXPECT_EQ(where(), "6 00");
  EXPECT_EQ(told([&] { Show(places.FindCode("G828", {1900, 1, 1})); }), once);
  EXPECT_EQ(where(), "7 00");
  EXPECT_EQ(told([&] { Show(places.Find("ATLANTIDE", kToday)); }), once);
  EXPECT_EQ(where(), "9 01");
  table_.Detach(&label);
}

TEST_F(PlacesTest, LookingUpNeverMovesTheCursor) {
  Places& places = Open(kDated);
  table_.SetRecordNumber(3);
  const PlaceLookup found = places.Find("Montalcino", {1975, 3, 15});
  EXPECT_EQ(found.match, PlaceMatch::Found);
  EXPECT_EQ(found.place.row, 5);
  EXPECT_EQ(found.place.name, "MONTALCINO");
  EXPECT_EQ(found.place.code, "F402");
  EXPECT_EQ(found.place.province, "SI");
  EXPECT_EQ(found.place.period.to, (CalendarDate{2016, 12, 31}));
  EXPECT_EQ(places.Find("CORIGLIANO-ROSSANO", {1975, 3, 15}).place.code, "M403");
  EXPECT_EQ(places.FindCode("M378", {2020, 1, 1}).place.name, "MONTALCINO");
  EXPECT_EQ(places.FindCode("Z000", {2020, 1, 1}).place.row, 0);
  EXPECT_EQ(table_.RecordNumber(), 3);  // never moved
  table_.Close();
  EXPECT_EQ(ErrorOf([&] { places.Find("ROMA", kToday); }),
            "LbCsv1: Cannot perform this operation on a closed dataset");
}

TEST_F(PlacesTest, ColumnsByNameAClosedTableAndANewOpening) {
  Places& places = Open("Prov,extra,Code,COMUNI\r\nRM,x,H501,ROMA\r\n");
  const PlaceLookup roma = places.Find("roma", kToday);
  EXPECT_EQ(roma.match, PlaceMatch::Found);
  EXPECT_EQ(roma.place.code, "H501");
  EXPECT_EQ(roma.place.province, "RM");
  table_.Close();
  EXPECT_EQ(ErrorOf([&] { places.Find("ROMA", kToday); }),
            "LbCsv1: Cannot perform this operation on a closed dataset");
  // Another file under the same cursor: the lookups follow it.
  Open("comuni,Code\r\nMILANO,F205\r\n");
  EXPECT_EQ(places.Find("ROMA", kToday).match, PlaceMatch::UnknownName);
  const PlaceLookup milano = places.Find("milano", kToday);
  EXPECT_EQ(milano.match, PlaceMatch::Found);
  EXPECT_EQ(milano.place.province, "");  // no such column: nothing to show
}

// A lookup as a value, its row included.
auto Described(const PlaceLookup& lookup) {
  const PlaceRecord& place = lookup.place;
  return std::tuple(lookup.match, place.row, place.name, place.code, place.province, place.period);
}

TEST_F(PlacesTest, ForOneCodeTheTableStaysClosedUntilAnythingElseIsAsked) {
  const char* const text =
      "comuni,Code,Prov,Dal,Al,Lingua\r\n"
      "\r\n"
      "BOLZANO,A952,BZ,1861-03-17,,\r\n"
      "BOZEN,A952,BZ,1861-03-17,,altra\r\n"
      "MONTALCINO,F402,SI,1861-03-17,2016-12-31,\r\n"
      "MONTALCINO,M378,SI,2017-01-01,\r\n";
  Places& whole = Open(text);
  const std::vector expected = {
      Described(whole.FindCode("A952")), Described(whole.FindCode("F402", {1975, 3, 15})),
      Described(whole.FindCode("F402", {2020, 1, 1})), Described(whole.FindCode("M378"))};
  table_.Close();

  places_.OpenForOneCode();
  EXPECT_EQ(Described(places_.FindCode("A952")), expected[0]);
  EXPECT_FALSE(table_.Active());
  table_.Close();
  places_.OpenForOneCode();
  EXPECT_EQ(Described(places_.FindCode("F402", {1975, 3, 15})), expected[1]);
  EXPECT_EQ(Described(places_.FindCode("F402", {2020, 1, 1})), expected[2]);
  EXPECT_FALSE(table_.Active());
  // A second code is read from the table, opened whole.
  EXPECT_EQ(Described(places_.FindCode("M378")), expected[3]);
  EXPECT_TRUE(table_.Active());
  table_.Close();
  places_.OpenForOneCode();
  EXPECT_EQ(places_.Find("Montalcino", {1975, 3, 15}).place.code, "F402");
  EXPECT_TRUE(table_.Active());
}

}  // namespace
