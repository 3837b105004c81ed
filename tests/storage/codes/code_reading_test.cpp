// What a code handed in says: the verdict, and for a valid code its sex,
// birth date, place on that date and base code; whether it belongs to a
// person's data.
#include "storage/codes/code_reading.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/short_date.h"
#include "engine/today.h"
#include "storage/codes/code_parts.h"
#include "storage/places/places.h"
#include "storage/table/tlb_csv.h"
#include "tests/support/temp_folder.h"

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
    "ROMA,H501,RM,1861-03-17,\r\n"
    "GALLICO,D877,RC,1861-03-17,1927-08-02\r\n"
    "GIRGENTI,A089,AG,1861-03-17,1927-07-26\r\n"
    "AGRIGENTO,A089,AG,1927-07-27,\r\n"
    "SANGIANO,H872,VA,1861-03-17,1928-01-07\r\n"
    "SANGIANO,H872,VA,1963-09-14,\r\n";

class CodeReadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetShortDateFormat("dd/MM/yyyy");
    SetTodayForTesting({2026, 12, 8});
    table_.SetTableName(folder_.Write("comuni.dat", kPlaces));
    table_.SetReadOnly(true);
    table_.Open();
    table_.Last();
  }

  void TearDown() override { ClearTodayForTesting(); }

  Lines Read(const std::string& code) { return ReadCode(code, places_).lines; }

  TempFolder folder_;
  TLbCsv table_{"LbCsv1"};
  Places places_{table_};
};

TEST_F(CodeReadingTest, AValidCodeGivesSexDateAndThePlaceOfItsDate) {
  EXPECT_EQ(Read("RSSMRA75C15F402O"),
            (Lines{"Codice valido", "Sesso: M", "Data di nascita: 15/03/1975; anche 15/03/1875",
                   "Luogo di nascita: MONTALCINO (SI)"}));
  EXPECT_EQ(Read("CHNWAI85C03Z221B")[3], "Luogo di nascita: HONG KONG (EE)");
  EXPECT_EQ(Read("MRTFNC80A01D704V")[3], "Luogo di nascita: FORLI' (FC)");
  // A woman's day is 40 more; the date follows the program's format.
  SetShortDateFormat("yyyy-MM-dd");
  EXPECT_EQ(Read(WithCheckLetter("BNCNNA90B42H501")),
            (Lines{"Codice valido", "Sesso: F", "Data di nascita: 1990-02-02; anche 1890-02-02",
                   "Luogo di nascita: ROMA (RM)"}));
  // The cursor the calculation shows stays where it was.
  EXPECT_EQ(table_.RecordNumber(), 10);
}

// The century is the one in which the place code was in use, the later when
// it was in both, and then the other is named.
TEST_F(CodeReadingTest, TheCenturyIsTheOneInWhichThePlaceCodeWasInUse) {
  struct Case {
    std::string fifteen;
    std::string date;
    std::string place;
    std::string note;
  };
  const std::vector<Case> cases = {
      {"RSSMRA26C15F402", "15/03/1926", "MONTALCINO (SI)", ""},              // F402 ended in 2016
      {"RSSMRA07C15D877", "15/03/1907", "GALLICO (RC)", ""},                 // ended in 1927
      {"RSSMRA20C15H501", "15/03/2020; anche 15/03/1920", "ROMA (RM)", ""},  // both
      {"RSSMRA30C15H501", "15/03/1930", "ROMA (RM)", ""},  // 2030 is not yet, 1830 before
      {"RSSMRA26T20A089", "20/12/1926", "GIRGENTI, oggi AGRIGENTO (AG)", ""},
      {"RSSMRA10C15M378", "15/03/2010", "MONTALCINO (SI)",
       "nota: codice luogo non in uso alla data di nascita"},  // M378 only from 2017
      {"FOXDRA26C24H872", "24/03/2026; anche 24/03/1926", "SANGIANO (VA)", ""},
      {"FOXDRA50C24H872", "24/03/1950", "SANGIANO (VA)",
       "nota: codice luogo non in uso alla data di nascita"},  // a gap, and before 1861
      {"FOXDRA27C24H872", "24/03/1927", "SANGIANO (VA)", ""},  // 2027 is not yet
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fifteen);
    Lines expected{"Codice valido", "Sesso: M", "Data di nascita: " + c.date,
                   "Luogo di nascita: " + c.place};
    if (!c.note.empty()) expected.push_back(c.note);
    EXPECT_EQ(Read(WithCheckLetter(c.fifteen)), expected);
  }
  EXPECT_EQ(Read("RSSMRA26C15F402D")[2], "Data di nascita: 15/03/1926");
}

TEST_F(CodeReadingTest, SpacesAndCaseAreIgnoredImpossibleLettersAndPlacesRefused) {
  EXPECT_EQ(Read(" rss MRA 75C15 F402O ")[0], "Codice valido");
  EXPECT_EQ(Read(WithCheckLetter("RSSMRA75C15Z999")), Lines{"Codice luogo sconosciuto: Z999"});
  EXPECT_EQ(Read(WithCheckLetter("AABMRA75C15F402")),
            Lines{"Lettere del cognome impossibili: AAB"});
  EXPECT_EQ(Read(WithCheckLetter("RSSAXE75C15A001")),
            (Lines{"Lettere del nome impossibili: AXE", "Codice luogo sconosciuto: A001"}));
  // X is a consonant too.
  EXPECT_EQ(Read(WithCheckLetter("XUXXNE75C15F402"))[0], "Codice valido");
}

TEST_F(CodeReadingTest, AHomocodeNamesItsBaseAndItsPlaceCodeReadAsDigits) {
  for (const std::string& homocode : Homocodes("RSSMRA75C15F402O")) {
    SCOPED_TRACE(homocode);
    EXPECT_EQ(
        Read(homocode),
        (Lines{"Codice valido", "Sesso: M", "Data di nascita: 15/03/1975; anche 15/03/1875",
               "Luogo di nascita: MONTALCINO (SI)", "Omocodia: codice base RSSMRA75C15F402O"}));
  }
}

TEST_F(CodeReadingTest, AFaultyOrNumericCodeGivesItsVerdictOnly) {
  EXPECT_EQ(Read("RSSMRA75C15F402A"), Lines{"Carattere di controllo errato: atteso O"});
  EXPECT_EQ(Read("RSSMRA75C1AF402O"), Lines{"Carattere non valido in posizione 11"});
  EXPECT_EQ(Read("RSSMRA75C15F40"), Lines{"Lunghezza errata: 14 caratteri invece di 16"});
  EXPECT_EQ(Read("RSSMRA75C32F402O"), Lines{"Giorno di nascita non valido: 32"});
  EXPECT_EQ(Read("12345678903"), Lines{"Codice numerico valido"});
}

// Each part of the code as the check tab shows it: "!" before what was
// expected in a faulty part, "~" for a part not read.
TEST_F(CodeReadingTest, EachPartSaysWhatItMeansOrWhatWasExpected) {
  const auto said = [this](const std::string& code) {
    const CodeAnatomy anatomy = TakeApart(ReadCode(code, places_), places_);
    Lines parts;
    for (const CodePart& part : anatomy.parts) {
      const char* mark = part.state == PartState::Faulty ? "!" : "";
      parts.push_back(part.state == PartState::Plain ? "~" + part.letters
                                                     : part.letters + " " + mark + part.meaning);
    }
    parts.insert(parts.end(), anatomy.below.begin(), anatomy.below.end());
    return parts;
  };
  const std::string person = "RSS consonanti R S S|MRA consonanti M R, vocale A|";
  const std::string montalcino = "MONTALCINO (SI), fino al 31/12/2016";
  const std::string right = "giusto per i primi 15 caratteri";
  const struct {
    std::string code;
    std::string parts;
  } cases[] = {
      {"RSSMRA75C15F402O", person + "75C marzo 1975; anche marzo 1875|15 giorno 15, maschio|F402 " +
                               montalcino + "|O " + right},
      {Homocodes("RSSMRA75C15F402O")[6],
       person + "TRC T=7 R=5: marzo 1975; anche marzo 1875|MR M=1 R=5: giorno 15, maschio|" +
           "FQLN Q=4 L=0 N=2: " + montalcino + "|A " + right +
           "|Omocodia: codice base RSSMRA75C15F402O"},
      {"RSSMRA75C15F402A", person + "75C marzo 1975; anche marzo 1875|15 giorno 15, maschio|F402 " +
                               montalcino + "|A !atteso O"},
      {WithCheckLetter("BNCNNA10C55M378"),
       "BNC consonanti B N C|NNA consonanti N N, vocale A|10C marzo 2010|"
       "55 giorno 15, femmina (15 + 40)|M378 !MONTALCINO (SI), dal 01/01/2017: nel 2010 era "
       "F402|P " +
           right + "|nota: codice luogo non in uso alla data di nascita"},
      {"RSSMRA75B30F402O",
       person + "75B febbraio 1975|30 !nessun giorno 30 a febbraio 1975: "
                "atteso da 01 a 28|F402 MONTALCINO (SI), fino al 31/12/2016|O !atteso Z"},
      {"LIXAB2", "LIX consonante L, vocale I, X di riempimento|AB2 !attese tre lettere|~|~|~|~"},
      {"XUXAXE7",
       "XUX consonante X, vocale U, X di riempimento|AXE !attese prima le consonanti, "
       "poi le vocali, poi X|~7|~|~|~"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    Lines expected;
    for (std::size_t from = 0, bar = 0; bar != std::string::npos; from = bar + 1) {
      bar = c.parts.find('|', from);
      expected.push_back(c.parts.substr(from, bar - from));
    }
    EXPECT_EQ(said(c.code), expected);
  }
}

}  // namespace
