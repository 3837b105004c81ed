// What a code handed in says: the verdict, and for a valid code its sex,
// birth date, place on that date and base code; whether it belongs to a
// person's data.
#include "storage/code_reading.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/short_date.h"
#include "storage/places.h"
#include "storage/tlbcsv.h"
#include "temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

// Fifteen characters completed with the check letter the engine expects.
std::string WithCheckLetter(const std::string& fifteen) {
  const CodeCheck check = CheckFiscalCode(fifteen + "A");
  return check.Valid() ? fifteen + "A" : fifteen + check.expected;
}

const char* const kPlaces =
    "comuni,Code,Prov,Dal,Al\r\n"
    "FORLI',D704,FC,1861-03-17,\r\n"
    "MONTALCINO,F402,SI,1861-03-17,2016-12-31\r\n"
    "MONTALCINO,M378,SI,2017-01-01,\r\n"
    "HONG KONG,Z221,EE,,\r\n"
    "ROMA,H501,RM,1861-03-17,\r\n";

class CodeReadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetShortDateFormat("dd/MM/yyyy");
    table_.SetTableName(folder_.Write("comuni.dat", kPlaces));
    table_.SetReadOnly(true);
    table_.Open();
    table_.Last();
  }

  Lines Read(const std::string& code) { return ReadCode(code, places_).lines; }

  TempFolder folder_;
  TLbCsv table_{"LbCsv1"};
  Places places_{table_};
};

TEST_F(CodeReadingTest, AValidCodeGivesSexDateAndThePlaceOfItsDate) {
  EXPECT_EQ(Read("RSSMRA75C15F402O"),
            (Lines{"Codice valido", "Sesso: M", "Data di nascita: 15/03/1975",
                   "Luogo di nascita: MONTALCINO (SI)"}));
  EXPECT_EQ(Read("CHNWAI85C03Z221B")[3], "Luogo di nascita: HONG KONG (EE)");
  EXPECT_EQ(Read("MRTFNC80A01D704V")[3], "Luogo di nascita: FORLI' (FC)");
  // A woman's day is 40 more; the date follows the program's format.
  SetShortDateFormat("yyyy-MM-dd");
  EXPECT_EQ(Read(WithCheckLetter("BNCNNA90B42H501")),
            (Lines{"Codice valido", "Sesso: F", "Data di nascita: 1990-02-02",
                   "Luogo di nascita: ROMA (RM)"}));
  // The cursor the calculation shows stays where it was.
  EXPECT_EQ(table_.RecordNumber(), 5);
}

TEST_F(CodeReadingTest, APlaceUnknownOrNotInUseOnTheBirthDateIsSaidSo) {
  // F402 belonged to Montalcino only until 2016; M378 only from 2017.
  EXPECT_EQ(Read(WithCheckLetter("RSSMRA20C15F402"))[3],
            "Luogo di nascita: MONTALCINO (codice non in uso alla data di nascita)");
  EXPECT_EQ(Read("RSSMRA20C15M378X")[3], "Luogo di nascita: MONTALCINO (SI)");
  EXPECT_EQ(Read(WithCheckLetter("RSSMRA75C15A001"))[3],
            "Luogo di nascita: codice A001 sconosciuto");
  EXPECT_EQ(table_.RecordNumber(), 5);
}

TEST_F(CodeReadingTest, AHomocodeNamesItsBaseAndItsPlaceCodeReadAsDigits) {
  for (const std::string& homocode : Homocodes("RSSMRA75C15F402O")) {
    SCOPED_TRACE(homocode);
    EXPECT_EQ(Read(homocode), (Lines{"Codice valido", "Sesso: M", "Data di nascita: 15/03/1975",
                                     "Luogo di nascita: MONTALCINO (SI)",
                                     "Omocodia: codice base RSSMRA75C15F402O"}));
  }
}

TEST_F(CodeReadingTest, AFaultyOrNumericCodeGivesItsVerdictOnly) {
  EXPECT_EQ(Read("RSSMRA75C15F402A"), Lines{"Carattere di controllo errato: atteso O"});
  EXPECT_EQ(Read("RSSMRA75C1AF402O"), Lines{"Carattere non valido in posizione 11"});
  EXPECT_EQ(Read("RSSMRA75C15F40"), Lines{"Lunghezza errata: 14 caratteri invece di 16"});
  EXPECT_EQ(Read("RSSMRA75C32F402O"), Lines{"Giorno di nascita non valido: 32"});
  EXPECT_EQ(Read("12345678903"), Lines{"Codice numerico valido"});
}

TEST(CodeMatchTest, TheComputedCodeOrOneOfItsHomocodesMatches) {
  const std::string computed = "RSSMRA75C15F402O";
  EXPECT_EQ(MatchLine("RSSMRA75C15F402O", computed), "Corrisponde ai dati inseriti");
  for (const std::string& homocode : Homocodes(computed)) {
    EXPECT_EQ(MatchLine(homocode, computed), "Corrisponde ai dati inseriti") << homocode;
  }
  EXPECT_EQ(MatchLine("CHNWAI85C03Z221B", computed), "Non corrisponde ai dati inseriti");
  EXPECT_EQ(MatchLine("RSSMRA75C15F402", computed), "Non corrisponde ai dati inseriti");
}

}  // namespace
