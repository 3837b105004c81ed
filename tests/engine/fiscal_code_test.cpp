#include "engine/fiscal_code.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/short_date.h"

namespace {

struct Person {
  const char* surname;
  const char* name;
  const char* sex;
  CalendarDate born;
  const char* municipality;
  const char* expected;
};

class FiscalCodeTest : public ::testing::Test {
 protected:
  void SetUp() override { SetShortDateFormat("dd/MM/yyyy"); }
  static std::string Code(const Person& p) {
    return ComputeFiscalCode(p.surname, p.name, DateToText(p.born), p.sex, p.municipality);
  }
};

TEST_F(FiscalCodeTest, WorkedExamples) {
  const Person people[] = {
      {"DE LUCA", "MARIA GRAZIA", "F", {1980, 1, 5}, "A001", "DLCMGR80A45A001B"},
      {"FERRARO", "GIANFRANCO", "M", {1975, 10, 31}, "B002", "FRRGFR75R31B002K"},
      {"BO", "ANNA", "F", {2001, 12, 9}, "C003", "BOXNNA01T49C003T"},
      {"NG", "LU", "M", {1990, 7, 15}, "D004", "NGXLUX90L15D004X"},
      {"D'ANGELO", "ELIO", "M", {1959, 6, 1}, "F006", "DNGLEI59H01F006T"},
      // A surname of vowels only takes its third vowel, as the official rule does.
      {"AIE", "UGO", "F", {1988, 3, 20}, "G007", "AIEGUO88C60G007N"},
      {"ZANETTI", "SARA", "F", {1970, 8, 12}, "H123", "ZNTSRA70M52H123H"},
      {"O", "LI", "M", {1990, 12, 12}, "H501", "OXXLIX90T12H501R"},  // one letter filled with X
      {"VERDI", "PIO", "f", {1988, 3, 20}, "G007", "ERRORE"},
      {"VERDI", "PIO", "M", {1988, 3, 20}, "G07", "ERRORE"},
      {"VERDI", "PIO", "M", {1988, 3, 20}, "G0077", "VRDPIO88C20G0077L"},
      // Real, published codes.
      {"ROSSI", "MARIO", "M", {1980, 1, 1}, "H501", "RSSMRA80A01H501U"},
  };
  for (const Person& p : people) EXPECT_EQ(Code(p), p.expected) << p.surname << " " << p.name;
}

TEST_F(FiscalCodeTest, SurnameAndNameParts) {
  struct Case {
    const char* text;
    const char* asSurname;
    const char* asName;
  };
  const Case cases[] = {
      {"GIANFRANCO", "GNF", "GFR"},  // four or more consonants
      {"FERRARO", "FRR", "FRR"},     {"MARIA GRAZIA", "MRG", "MGR"},
      {"D'ANGELO", "DNG", "DGL"},    {"NG", "NGX", "NGX"},
      {"BO", "BOX", "BOX"},          {"UGO", "GUO", "GUO"},
      {"AIE", "AIE", "AIE"},         {"EA", "EAX", "EAX"},
      {"  de  luca ", "DLC", "DLC"},  // case and blanks take no part
      {"o'neil-x.", "NLX", "NLX"},   {"\xC8RR\xC0", "RRX", "RRX"},
  };
  for (const Case& c : cases) {
    const std::string surnameCode = ComputeFiscalCode(c.text, "PIO", "01/01/1990", "M", "A001");
    const std::string nameCode = ComputeFiscalCode("PIO", c.text, "01/01/1990", "M", "A001");
    EXPECT_EQ(surnameCode.substr(0, 3), c.asSurname) << c.text;
    EXPECT_EQ(nameCode.substr(3, 3), c.asName) << c.text;
  }
}

TEST_F(FiscalCodeTest, NoLetterGivesError) {
  for (const char* text : {"", "  ", "'-.", "\xC8"}) {
    EXPECT_EQ(ComputeFiscalCode(text, "PIO", "01/01/1990", "M", "A001"), "ERRORE") << text;
    EXPECT_EQ(ComputeFiscalCode("PIO", text, "01/01/1990", "M", "A001"), "ERRORE") << text;
  }
}

TEST_F(FiscalCodeTest, DateAndSexParts) {
  struct Case {
    CalendarDate born;
    const char* sex;
    const char* datePart;  // positions 7 to 11
  };
  const Case cases[] = {
      {{1990, 1, 9}, "M", "90A09"},  {{1990, 1, 9}, "F", "90A49"},  {{1990, 12, 31}, "F", "90T71"},
      {{2001, 10, 1}, "M", "01R01"}, {{2000, 2, 29}, "M", "00B29"}, {{1999, 6, 10}, "F", "99H50"},
  };
  for (const Case& c : cases) {
    const std::string code = ComputeFiscalCode("ROSSI", "PIO", DateToText(c.born), c.sex, "A001");
    ASSERT_EQ(code.size(), 16u);
    EXPECT_EQ(code.substr(6, 5), c.datePart);
  }
  for (const char* sex : {"f", "m", "", "X", "FF", " M"}) {
    EXPECT_EQ(ComputeFiscalCode("ROSSI", "PIO", "01/01/1990", sex, "A001"), "ERRORE") << sex;
  }
  // A year below 1000 gives too short a year part.
  EXPECT_EQ(ComputeFiscalCode("ROSSI", "PIO", "01/01/0999", "M", "A001"), "ERRORE");
}

TEST_F(FiscalCodeTest, MunicipalityCodeLengthAndAlphabet) {
  // The check letter covers the first fifteen characters only.
  EXPECT_EQ(ComputeFiscalCode("VERDI", "PIO", "20/03/1988", "M", "G007"), "VRDPIO88C20G007L");
  EXPECT_EQ(ComputeFiscalCode("VERDI", "PIO", "20/03/1988", "M", "G0077"), "VRDPIO88C20G0077L");
  // A longer code makes up for a short part: only the total length counts.
  EXPECT_EQ(ComputeFiscalCode("VERDI", "PIO", "20/03/1988", "f", "AB12345"), "VRDPIO88CAB12345C");
  for (const char* code : {"g007", "G 07", "G0-7",
                           "G\xC8"
                           "07"}) {
    EXPECT_EQ(ComputeFiscalCode("VERDI", "PIO", "20/03/1988", "M", code), "ERRORE") << code;
  }
  // Past the fifteenth character anything goes: it takes no part in the check.
  EXPECT_EQ(ComputeFiscalCode("VERDI", "PIO", "20/03/1988", "M", "G007x"), "VRDPIO88C20G007xL");
}

TEST_F(FiscalCodeTest, ReadDateThatIsNoRealDayGivesError) {
  const CalendarDate days[] = {{1990, 2, 29}, {1900, 2, 29}, {1990, 13, 1}, {1990, 0, 1},
                               {1990, 4, 31}, {1990, 1, 0},  {-1, 1, 1}};
  for (const CalendarDate& day : days) {
    EXPECT_EQ(ComputeFiscalCode("ROSSI", "MARIO", day, "M", "H501"), "ERRORE") << day.month;
    std::string out = "a";
    EXPECT_FALSE(AppendFiscalCode("ROSSI", "MARIO", day, "M", "H501", out));
    EXPECT_EQ(out, "aERRORE");
  }
  EXPECT_EQ(ComputeFiscalCode("ROSSI", "MARIO", CalendarDate{2000, 2, 29}, "F", "H501"),
            "RSSMRA00B69H501C");
}

TEST_F(FiscalCodeTest, UnreadableDateThrows) {
  for (const char* text : {"", "31/02/1990", "1990-01-01", "01/01/1990 ", "aa/bb/cccc"}) {
    try {
      ComputeFiscalCode("ROSSI", "MARIO", text, "M", "H501");
      ADD_FAILURE() << "no error for '" << text << "'";
    } catch (const DateConversionError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid date");
    }
  }
}

}  // namespace
