#include "engine/fiscal_code_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>

#include "engine/check_values.h"
#include "engine/fiscal_code.h"
#include "engine/short_date.h"
#include "engine/today.h"

namespace {

constexpr std::string_view kAlphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

class FiscalCodeCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetShortDateFormat("dd/MM/yyyy");
    SetTodayForTesting({2026, 12, 8});
  }
  void TearDown() override { ClearTodayForTesting(); }

  // A code with the day part and check letter given; the check letter made right.
  static std::string WithRightCheck(std::string code) {
    code[15] = CheckLetter(code.data());
    return code;
  }
  static std::string Text(std::string_view code) { return CodeCheckText(CheckFiscalCode(code)); }
};

TEST_F(FiscalCodeCheckTest, ComputedCodesReadBack) {
  struct Person {
    const char* surname;
    const char* name;
    char sex;
    CalendarDate born;
    const char* place;
  };
  const Person people[] = {
      {"DE LUCA", "MARIA GRAZIA", 'F', {1980, 1, 5}, "A001"},
      {"FERRARO", "GIANFRANCO", 'M', {1975, 10, 31}, "B002"},
      {"BO", "ANNA", 'F', {2001, 12, 9}, "C003"},
      {"NG", "LU", 'M', {1990, 7, 15}, "D004"},
      {"D'ANGELO", "ELIO", 'M', {1959, 6, 1}, "F006"},
      {"AIE", "UGO", 'F', {1988, 3, 20}, "G007"},
      {"ZANETTI", "SARA", 'F', {1970, 8, 12}, "H123"},
      {"ROSSI", "MARIO", 'M', {1980, 1, 1}, "H501"},
      {"VERDI", "PIO", 'F', {2000, 2, 29}, "Z404"},
      {"VERDI", "PIO", 'M', {2026, 12, 8}, "Z404"},  // born today
  };
  for (const Person& p : people) {
    const std::string code =
        ComputeFiscalCode(p.surname, p.name, DateToText(p.born), std::string(1, p.sex), p.place);
    EXPECT_EQ(Text(code), "Codice valido") << code;
    EXPECT_FALSE(IsHomocode(code)) << code;
    EXPECT_EQ(BaseCode(code), code);
    EXPECT_EQ(DecodeFiscalCode(code), (DecodedCode{p.sex, p.born, p.place})) << code;
  }
  EXPECT_EQ(Text("DLCMGR80A45A001B"), "Codice valido");
}

TEST_F(FiscalCodeCheckTest, EverySingleChangeIsRefused) {
  for (const std::string valid : {"DLCMGR80A45A001B", "RSSMRA80A01H501U", "ZNTSRA70M52H123H"}) {
    for (std::size_t k = 0; k < 16; ++k) {
      for (const char c : kAlphabet) {
        if (c == valid[k]) continue;
        std::string changed = valid;
        changed[k] = c;
        const CodeCheck check = CheckFiscalCode(changed);
        ASSERT_FALSE(check.Valid()) << changed;
        const bool digitPlace = k == 6 || k == 7 || k == 9 || k == 10 || (k >= 12 && k <= 14);
        const bool allowed =
            digitPlace ? std::string_view("0123456789LMNPQRSTUV").find(c) != std::string_view::npos
            : k == 8   ? std::string_view("ABCDEHLMPRST").find(c) != std::string_view::npos
                       : c >= 'A';
        if (!allowed) {
          EXPECT_EQ(check.fault, CodeFault::Character) << changed;
          EXPECT_EQ(check.position, static_cast<int>(k) + 1) << changed;
        } else if (check.fault == CodeFault::CheckLetter) {
          EXPECT_EQ(check.expected, CheckLetter(changed.data())) << changed;
        } else {
          // Only the day and what decides the month's length can make a day fault.
          EXPECT_EQ(check.fault, CodeFault::Day) << changed;
          EXPECT_TRUE(k >= 6 && k <= 10) << changed;
        }
      }
    }
  }
  // Same check value, so only the place tells: 0 as A, A as 0, 1 as B.
  EXPECT_EQ(Text("RSSMRA8AA01H501U"), "Carattere non valido in posizione 8");
  EXPECT_EQ(Text("RSSMRA80A01H5A1U"), "Carattere non valido in posizione 14");
  EXPECT_EQ(Text("0SSMRA80A01H501U"), "Carattere non valido in posizione 1");
  EXPECT_EQ(Text("RSSMRA80A01H50BU"), "Carattere non valido in posizione 15");
  EXPECT_EQ(Text("RSSMRA80F01H501U"), "Carattere non valido in posizione 9");  // no month F
  EXPECT_EQ(Text("RSSMRA80A01H501V"), "Carattere di controllo errato: atteso U");
  EXPECT_EQ(Text("RSSMRA80A01H5019"), "Carattere non valido in posizione 16");
  EXPECT_EQ(Text("rssmra80a01h501u"), "Carattere non valido in posizione 1");
}

TEST_F(FiscalCodeCheckTest, DaysThatDoNotExist) {
  for (const char* day : {"00", "32", "40", "72", "99"}) {
    const std::string code = WithRightCheck(std::string("RSSMRA80A") + day + "H501X");
    EXPECT_EQ(Text(code), std::string("Giorno di nascita non valido: ") + day);
  }
  EXPECT_EQ(Text(WithRightCheck("RSSMRA80D31H501X")), "Giorno di nascita non valido: 31");
  EXPECT_EQ(Text(WithRightCheck("RSSMRA80D71H501X")), "Giorno di nascita non valido: 71");
  EXPECT_EQ(Text(WithRightCheck("RSSMRA80D30H501X")), "Codice valido");
  EXPECT_EQ(Text(WithRightCheck("RSSMRA80D41H501X")), "Codice valido");
  EXPECT_EQ(Text(WithRightCheck("RSSMRA80A4LH501X")), "Giorno di nascita non valido: 40");
  // The day comes before the check letter.
  EXPECT_EQ(Text("RSSMRA80A32H501A"), "Giorno di nascita non valido: 32");
}

TEST_F(FiscalCodeCheckTest, TwentyNinthOfFebruaryOnlyInLeapYears) {
  for (const char* day : {"29", "69"}) {
    for (const char* year : {"80", "04", "24", "00"}) {
      const std::string code = WithRightCheck(std::string("RSSMRA") + year + "B" + day + "H501X");
      EXPECT_EQ(Text(code), "Codice valido") << code;
    }
    for (const char* year : {"81", "03", "25", "26"}) {
      const std::string code = WithRightCheck(std::string("RSSMRA") + year + "B" + day + "H501X");
      EXPECT_EQ(Text(code), std::string("Giorno di nascita non valido: ") + day) << code;
    }
    EXPECT_EQ(
        Text(WithRightCheck(std::string("RSSMRA80B") + (day[0] == '2' ? "30" : "70") + "H501X")),
        std::string("Giorno di nascita non valido: ") + (day[0] == '2' ? "30" : "70"));
  }
  // 00 is 2000, a leap year, from 29 February 2000 on; 1900 before that.
  SetTodayForTesting({2000, 2, 28});
  EXPECT_EQ(Text(WithRightCheck("RSSMRA00B29H501X")), "Giorno di nascita non valido: 29");
  EXPECT_EQ(DecodeFiscalCode(WithRightCheck("RSSMRA00B28H501X")).birthDate,
            (CalendarDate{2000, 2, 28}));
  SetTodayForTesting({2000, 2, 29});
  EXPECT_EQ(Text(WithRightCheck("RSSMRA00B29H501X")), "Codice valido");
}

TEST_F(FiscalCodeCheckTest, HomocodesAreValidAndGiveTheirBase) {
  constexpr std::size_t kOrder[] = {14, 13, 12, 10, 9, 7, 6};
  for (const std::string base :
       {"RSSMRA80A01H501U", "DLCMGR80A45A001B", "NGXLUX90L15D004X", "BOXNNA01T49C003T"}) {
    const auto homocodes = Homocodes(base);
    std::set<std::string> distinct(homocodes.begin(), homocodes.end());
    EXPECT_EQ(distinct.size(), 7u);
    for (std::size_t n = 0; n < homocodes.size(); ++n) {
      const std::string& code = homocodes[n];
      EXPECT_EQ(Text(code), "Codice valido") << code;
      EXPECT_TRUE(IsHomocode(code)) << code;
      EXPECT_EQ(BaseCode(code), base) << code;
      EXPECT_EQ(Homocodes(code), homocodes) << code;
      EXPECT_EQ(DecodeFiscalCode(code), DecodeFiscalCode(base)) << code;
      for (std::size_t k = 0; k < 15; ++k) {
        const bool replaced = std::find(kOrder, kOrder + n + 1, k) != kOrder + n + 1;
        const char expected = replaced ? "LMNPQRSTUV"[base[k] - '0'] : base[k];
        EXPECT_EQ(code[k], expected) << code << " at " << k + 1;
      }
    }
  }
  EXPECT_EQ(Homocodes("RSSMRA80A01H501U")[0].substr(0, 15), "RSSMRA80A01H50M");
  EXPECT_EQ(Homocodes("RSSMRA80A01H501U")[6].substr(0, 15), "RSSMRAULALMHRLM");
  // Any mix of letters and digits is a homocode.
  const std::string mixed = WithRightCheck("RSSMRAU0A0MH5L1X");
  EXPECT_EQ(Text(mixed), "Codice valido");
  EXPECT_TRUE(IsHomocode(mixed));
  EXPECT_EQ(BaseCode(mixed), "RSSMRA80A01H501U");
  EXPECT_EQ(DecodeFiscalCode(mixed), (DecodedCode{'M', {1980, 1, 1}, "H501"}));
  // The check letter of a homocode is its own, not its base's.
  EXPECT_EQ(Text("RSSMRA80A01H50MU"), std::string("Carattere di controllo errato: atteso ") +
                                          Homocodes("RSSMRA80A01H501U")[0][15]);
}

// A code handed in stands for the computed one in any of its 128 forms, each
// with its own check letter.
TEST_F(FiscalCodeCheckTest, AComputedCodeMatchesEveryFormOfItself) {
  const std::string computed = "RSSMRA80A01H501U";
  const std::string mixed = WithRightCheck("RSSMRAU0A0MH5L1X");  // a mix no series gives
  const std::string miswritten = mixed.substr(0, 15) + (mixed[15] == 'A' ? 'B' : 'A');
  const struct {
    std::string code;
    bool matches;
  } cases[] = {
      {computed, true},
      {Homocodes(computed)[6], true},
      {mixed, true},
      {miswritten, false},
      {WithRightCheck("RSSMRA80A02H501X"), false},
      {WithRightCheck("RSSMRA80A01H502X"), false},
      {"RSSMRA80A01H501", false},
  };
  for (const auto& c : cases) EXPECT_EQ(MatchesComputedCode(c.code, computed), c.matches) << c.code;
}

TEST_F(FiscalCodeCheckTest, OnlyValidCodesAreReadOrTurned) {
  for (const char* code : {"RSSMRA80A01H501V", "RSSMRA80A01H501", "06363391001", ""}) {
    EXPECT_THROW(BaseCode(code), std::invalid_argument) << code;
    EXPECT_THROW(Homocodes(code), std::invalid_argument) << code;
    EXPECT_THROW(DecodeFiscalCode(code), std::invalid_argument) << code;
    EXPECT_FALSE(IsHomocode(code)) << code;
  }
}

TEST_F(FiscalCodeCheckTest, ElevenDigitCodes) {
  EXPECT_EQ(Text("06363391001"), "Codice numerico valido");
  EXPECT_EQ(Text("80078750587"), "Codice numerico valido");
  EXPECT_EQ(Text("00000000000"), "Codice numerico valido");
  EXPECT_EQ(Text("06363391002"), "Cifra di controllo errata: attesa 1");
  EXPECT_EQ(Text("80078750580"), "Cifra di controllo errata: attesa 7");
  // A double over 9 loses 9: 5 in the second place adds 1, not 10.
  EXPECT_EQ(Text("05000000009"), "Codice numerico valido");
  EXPECT_EQ(Text("0636339100A"), "Lunghezza errata: 11 caratteri invece di 16");
  EXPECT_TRUE(CheckFiscalCode("80078750587").numeric);
}

TEST_F(FiscalCodeCheckTest, LengthFaults) {
  EXPECT_EQ(Text(""), "Lunghezza errata: 0 caratteri invece di 16");
  EXPECT_EQ(Text("R"), "Lunghezza errata: 1 carattere invece di 16");
  EXPECT_EQ(Text("RSSMRA80A01H501"), "Lunghezza errata: 15 caratteri invece di 16");
  EXPECT_EQ(Text("RSSMRA80A01H501UU"), "Lunghezza errata: 17 caratteri invece di 16");
  EXPECT_EQ(Text("063633910011"), "Lunghezza errata: 12 caratteri invece di 16");
  // Characters, not bytes, are counted; one beyond ASCII is refused where it stands.
  EXPECT_EQ(Text("RSSMRÀ80A01H501U"), "Carattere non valido in posizione 6");
  EXPECT_EQ(Text("RSSMRA80A01H501È"), "Carattere non valido in posizione 16");
  EXPECT_EQ(Text("RSSMRA80A01H50\x80"
                 "1U"),
            "Carattere non valido in posizione 15");
  EXPECT_EQ(Text("RSSMRÀ80A01H501"), "Lunghezza errata: 15 caratteri invece di 16");
}

}  // namespace
