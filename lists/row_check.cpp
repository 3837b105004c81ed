#include "lists/row_check.h"

#include <algorithm>
#include <iterator>

#include "engine/fiscal_code_check.h"
#include "engine/typed_code.h"
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
  // Read once, for the data's code and for the reading.
  NormalizeTypedCode(code, code_);
  check_ = CheckFiscalCode(code_);
  // Values left empty are named by the comparison; others must read.
  DataRead data;
  data.sexGiven = !IsBlankValue(person.sex);
  data.dateGiven = !IsBlankValue(person.date);
  data.readable = (!data.sexGiven || ReadSex(person.sex, data.sex, error_)) &&
                  (!data.dateGiven || ReadBirthDate(person.date, data.born, error_));
  if (data.readable && data.sexGiven && data.dateGiven &&
      GivenByTheData(person, data.born, data.sex)) {
    return RowVerdict::Matches;
  }
  CodeReading reading = ReadCheckedCode(std::move(code_), check_, places_.Memory());
  const RowVerdict verdict = Judge(person, data, reading, detail);
  code_ = std::move(reading.code);  // the buffer, for the next row
  return verdict;
}

RowVerdict RowChecker::Judge(const PersonText& person, const DataRead& read,
                             const CodeReading& reading, std::string& detail) {
  const auto join = [&detail](auto first, auto last) {
    for (; first != last; ++first) detail.append(detail.empty() ? "" : "; ").append(*first);
  };
  // A numeric code is valid, but holds no person's data to match.
  const bool numeric = reading.check.Valid() && reading.check.numeric;
  if (!reading.valid && !numeric) {
    join(reading.lines.begin(), reading.lines.end());
    return RowVerdict::Invalid;
  }
  const std::string_view values[] = {person.surname, person.name, person.sex, person.date,
                                     person.place};
  if (std::all_of(std::begin(values), std::end(values), IsBlankValue)) {
    // No date to choose between the centuries the code fits: both said.
    if (reading.otherBirthDate) detail = BirthDateLine(reading);
    join(reading.notes.begin(), reading.notes.end());
    return RowVerdict::Valid;
  }
  if (numeric) {
    detail = "Non corrisponde ai dati inseriti";
    return RowVerdict::Differs;
  }
  if (!read.readable) {
    detail = error_.text;
    return RowVerdict::Differs;
  }
  PersonData data{std::string(person.surname),
                  std::string(person.name),
                  {},
                  std::nullopt,
                  IsBlankValue(person.place) ? std::string() : std::string(person.place)};
  if (read.sexGiven) data.sex = read.sex;
  if (read.dateGiven) data.birthDate = read.born;
  const DataCheck check = CheckAgainstData(reading, data, places_.Memory());
  if (!check.error.empty()) {
    detail = check.error;
    return RowVerdict::Differs;
  }
  // The verdict is the Esito; the lines after it say why, and the notes.
  join(check.lines.begin() + 1, check.lines.end());
  join(reading.notes.begin(), reading.notes.end());
  return check.matches ? RowVerdict::Matches : RowVerdict::Differs;
}

bool RowChecker::GivenByTheData(const PersonText& person, const CalendarDate& born,
                                std::string_view sex) {
  // Most rows of a list are right: their data, through the register's memory
  // of places, give the code itself or a homocode form of it. Such a code
  // reads valid, in the data's century, with nothing to note, so the full
  // reading below is kept for the rows that need saying something.
  if (!check_.Valid() || check_.numeric) return false;
  if (IsBlankValue(person.surname) || IsBlankValue(person.name) || IsBlankValue(person.place)) {
    return false;
  }
  computed_.clear();
  return AppendPersonCode(person, born, sex, places_, computed_, error_) &&
         MatchesComputedCode(code_, computed_);
}
