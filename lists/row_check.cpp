#include "lists/row_check.h"

#include <algorithm>
#include <iterator>

#include "engine/ascii_case.h"
#include "engine/fiscal_code_check.h"
#include "storage/codes/code_against_data.h"
#include "storage/codes/code_reading.h"

std::string_view VerdictText(RowVerdict verdict) {
  switch (verdict) {
    case RowVerdict::Matches:
      return "corrisponde";
    case RowVerdict::Differs:
      return "non corrisponde";
    case RowVerdict::Valid:
      return "valido";
    case RowVerdict::Invalid:
      break;
  }
  return "non valido";
}

RowVerdict RowChecker::Check(const PersonText& person, std::string_view code, std::string& detail) {
  detail.clear();
  const auto join = [&detail](auto first, auto last) {
    for (; first != last; ++first) detail.append(detail.empty() ? "" : "; ").append(*first);
  };
  if (GivenByTheData(person, code)) return RowVerdict::Matches;
  const CodeReading reading = ReadCode(code, places_.Register());
  // A numeric code is valid, but holds no person's data to match.
  const bool numeric = reading.check.Valid() && reading.check.numeric;
  if (!reading.valid && !numeric) {
    join(reading.lines.begin(), reading.lines.end());
    return RowVerdict::Invalid;
  }
  const std::string_view values[] = {person.surname, person.name, person.sex, person.date,
                                     person.place};
  if (std::all_of(std::begin(values), std::end(values), IsBlankValue)) {
    join(reading.notes.begin(), reading.notes.end());
    return RowVerdict::Valid;
  }
  if (numeric) {
    detail = "Non corrisponde ai dati inseriti";
    return RowVerdict::Differs;
  }
  // Values left empty are named by the comparison; others must read.
  PersonData data{std::string(person.surname),
                  std::string(person.name),
                  {},
                  std::nullopt,
                  IsBlankValue(person.place) ? std::string() : std::string(person.place)};
  std::string_view sex;
  CalendarDate born;
  if ((!IsBlankValue(person.sex) && !ReadSex(person.sex, sex, error_)) ||
      (!IsBlankValue(person.date) && !ReadBirthDate(person.date, born, error_))) {
    detail = error_.text;
    return RowVerdict::Differs;
  }
  if (!IsBlankValue(person.sex)) data.sex = sex;
  if (!IsBlankValue(person.date)) data.birthDate = born;
  const DataCheck check = CheckAgainstData(reading, data, places_.Register());
  if (!check.error.empty()) {
    detail = check.error;
    return RowVerdict::Differs;
  }
  // The verdict is the Esito; the lines after it say why, and the notes.
  join(check.lines.begin() + 1, check.lines.end());
  join(reading.notes.begin(), reading.notes.end());
  return check.matches ? RowVerdict::Matches : RowVerdict::Differs;
}

bool RowChecker::GivenByTheData(const PersonText& person, std::string_view code) {
  // Most rows of a list are right: their data, through the register's memory
  // of places, give the code itself or a homocode form of it. Such a code
  // reads valid, in the data's century, with nothing to note, so the full
  // reading below is kept for the rows that need saying something.
  code_.assign(code);
  for (char& c : code_) c = UpperAscii(c);
  const CodeCheck check = CheckFiscalCode(code_);
  if (!check.Valid() || check.numeric) return false;
  const std::string_view values[] = {person.surname, person.name, person.sex, person.date,
                                     person.place};
  if (std::any_of(std::begin(values), std::end(values), IsBlankValue)) return false;
  computed_.clear();
  return AppendPersonCode(person, places_, computed_, error_) &&
         MatchesComputedCode(code_, computed_);
}
