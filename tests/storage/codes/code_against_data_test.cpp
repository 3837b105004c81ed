// A code checked against a person's data with the shipped places: every
// homocode form, the codes of the place's other periods, each field that
// differs; and the nearby code Calcola may offer.
#include "storage/codes/code_against_data.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/fiscal_code.h"
#include "engine/short_date.h"
#include "engine/today.h"
#include "storage/codes/code_reading.h"
#include "storage/places/place_chain.h"
#include "storage/places/places.h"
#include "storage/table/tlb_csv.h"

namespace {

using Lines = std::vector<std::string>;

std::string WithCheckLetter(const std::string& code) {
  const std::string fifteen = code.substr(0, 15);
  const CodeCheck check = CheckFiscalCode(fifteen + "A");
  return check.Valid() ? fifteen + "A" : fifteen + check.expected;
}

class CodeAgainstDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetShortDateFormat("dd/MM/yyyy");
    SetTodayForTesting({2026, 12, 8});
    table_.SetTableName(VIVEZE_DATA_DIR "/comuni.dat");
    table_.SetReadOnly(true);
    table_.Open();
  }
  void TearDown() override { ClearTodayForTesting(); }

  DataCheck Check(const std::string& code, const PersonData& person) {
    return CheckAgainstData(ReadCode(code, places_), person, places_);
  }

  TLbCsv table_{"LbCsv1"};
  Places places_{table_};
};

TEST_F(CodeAgainstDataTest, EveryOneOfThe128HomocodeFormsMatches) {
  const PersonData rossi{"Rossi", "Mario", "M", CalendarDate{1980, 1, 1}, "Roma"};
  const std::string base =
      ComputeFiscalCode("ROSSI", "MARIO", CalendarDate{1980, 1, 1}, "M", "H501");
  const std::size_t places[] = {6, 7, 9, 10, 12, 13, 14};
  for (int mask = 0; mask < 128; ++mask) {
    std::string form = base;
    for (int bit = 0; bit < 7; ++bit) {
      char& c = form[places[bit]];
      if (mask & (1 << bit)) c = "LMNPQRSTUV"[c - '0'];
    }
    form = WithCheckLetter(form);
    EXPECT_EQ(Check(form, rossi).lines, Lines{"Corrisponde ai dati inseriti"}) << form;
  }
}

TEST_F(CodeAgainstDataTest, ACodeOfThePlacesChainOfRecordsIsAcceptedWithItsNote) {
  struct Case {
    const char* place;
    CalendarDate born;
    const char* code;
    bool note;
  };
  const Case cases[] = {
      {"Dairago", {1956, 5, 10}, "D244", true},  // the registry starts D244 in 1958
      {"Montalcino", {1975, 3, 15}, "M378", true},
      {"Montalcino", {1975, 3, 15}, "F402", false},
      {"Montalcino", {2020, 3, 15}, "F402", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.place) + " " + c.code);
    const std::string code = ComputeFiscalCode("BIANCHI", "ANNA", c.born, "F", c.code);
    Lines expected{"Corrisponde ai dati inseriti"};
    if (c.note) expected.emplace_back("nota: codice luogo di un altro periodo");
    EXPECT_EQ(Check(code, {"Bianchi", "Anna", "F", c.born, c.place}).lines, expected);
  }
  // Between its two municipalities: no chain reaches 1980.
  const std::string madruzzo =
      ComputeFiscalCode("BIANCHI", "ANNA", CalendarDate{1980, 5, 10}, "F", "E797");
  EXPECT_EQ(Check(madruzzo, {"Bianchi", "Anna", "F", CalendarDate{1980, 5, 10}, "Madruzzo"}).error,
            "MADRUZZO: nessun codice in uso alla data di nascita (in uso dal 29/07/1928 al "
            "12/09/1953; dal 01/01/2016)");
}

TEST_F(CodeAgainstDataTest, EachFieldThatDiffersIsNamedWithBothValues) {
  EXPECT_EQ(
      Check("RSSMRA75C15F402O", {"Bianchi", "Anna", "F", CalendarDate{1975, 3, 16}, "Roma"}).lines,
      (Lines{"Non corrisponde ai dati inseriti", "Cognome: nel codice RSS, nei dati BNC",
             "Nome: nel codice MRA, nei dati NNA", "Sesso: nel codice M, nei dati F",
             "Data di nascita: nel codice 15/03/1975, nei dati 16/03/1975",
             "Luogo di nascita: nel codice F402 MONTALCINO (SI), nei dati H501 ROMA (RM)"}));
  // The code's date in the data's century; empty values named on one line.
  EXPECT_EQ(Check("RSSMRA75C15F402O", {"Rossi", " ", "M", CalendarDate{1875, 3, 15}, ""}).lines,
            (Lines{"Non corrisponde ai dati inseriti", "Dati mancanti: Nome, Luogo di nascita"}));
  EXPECT_EQ(
      Check("RSSMRA75C15F402O", {"Rossi", "Mario", "M", CalendarDate{2026, 12, 9}, "Roma"}).error,
      "Data di nascita nel futuro: 09/12/2026");
}

// SANGIANO had H872 in 1926 and has it in 2026: a birth date of either
// century matches, and with none the lines name both.
TEST_F(CodeAgainstDataTest, ACodeOfTwoCenturiesMatchesEitherAndWithoutADateSaysBoth) {
  const std::string code =
      ComputeFiscalCode("FOX", "DARIO", CalendarDate{2026, 3, 24}, "M", "H872");
  for (const int year : {1926, 2026}) {
    EXPECT_EQ(Check(code, {"Fox", "Dario", "M", CalendarDate{year, 3, 24}, "Sangiano"}).lines,
              Lines{"Corrisponde ai dati inseriti"})
        << year;
  }
  EXPECT_EQ(Check(code, {"Fox", "Dario", "M", std::nullopt, "Sangiano"}).lines,
            (Lines{"Non corrisponde ai dati inseriti", "Dati mancanti: Data di nascita",
                   "Data di nascita: 24/03/2026; anche 24/03/1926"}));
}

TEST_F(CodeAgainstDataTest, CalcolaIsOfferedTheNearbyCodeOnlyJustOutsideTheNamesPeriods) {
  const auto nearby = [this](const char* place, const CalendarDate& born) {
    return NearbyRecord(places_, place, born, places_.Find(place, born));
  };
  const auto dairago = nearby("DAIRAGO", {1956, 5, 10});
  ASSERT_TRUE(dairago);
  EXPECT_EQ(NearbyRecordQuestion(*dairago),
            "Calcolare con D244, DAIRAGO (MI), in uso dal 22/01/1958?");
  EXPECT_FALSE(nearby("DAIRAGO", {1952, 5, 10}));   // more than five years before
  EXPECT_FALSE(nearby("MADRUZZO", {1955, 5, 10}));  // in the gap between two municipalities
  EXPECT_FALSE(nearby("DAIRAGO", {1960, 5, 10}));   // in use then: nothing to offer
}

}  // namespace
