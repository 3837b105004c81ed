// One list row's code held against the checking rules.
#pragma once

#include <string>
#include <string_view>

#include "engine/fiscal_code_check.h"
#include "lists/person_code.h"
#include "lists/place_register.h"
#include "storage/codes/code_reading.h"

// What `controlla` says of one row.
enum class RowVerdict {
  Matches,  // a valid code that the person's data give
  Differs,  // a valid code, but the data give another or some are missing
  Valid,    // a valid code on a row without any of the person's data
  Invalid,  // not a code
};

// "corrisponde", "non corrisponde", "valido", "non valido".
std::string_view VerdictText(RowVerdict verdict);

// Checks the rows of a list, one at a time, with the rules `verifica` and
// the window's check tab use (storage/code_reading.h, code_against_data.h).
class RowChecker {
 public:
  explicit RowChecker(PlaceRegister& places) : places_(places) {}

  // The verdict on `code` (as written in the list) for `person`; `detail`
  // gets the lines that say why, joined by "; ", empty when nothing needs
  // saying.
  RowVerdict Check(const PersonText& person, std::string_view code, std::string& detail);

 private:
  // A row's sex and birth date: whether given, whether they read, and as read.
  struct DataRead {
    bool sexGiven = false;
    bool dateGiven = false;
    bool readable = false;
    std::string_view sex;
    CalendarDate born;
  };

  // The verdict on a code that the data do not plainly give.
  RowVerdict Judge(const PersonText& person, const DataRead& read, const CodeReading& reading,
                   std::string& detail);
  // Whether the person's data, all given, the date and sex read, give the
  // code.
  bool GivenByTheData(const PersonText& person, const CalendarDate& born, std::string_view sex);

  PlaceRegister& places_;
  std::string code_;      // the row's code, spaces dropped and upper case
  CodeCheck check_;       // what the check said of it
  std::string computed_;  // kept from row to row
  PersonError error_;
};
