// A person typed on the command line or in a list row, and their code.
#pragma once

#include <string>
#include <string_view>

#include "lists/list_run.h"
#include "lists/place_register.h"

// A person as typed on the command line or in a list row (UTF-8), viewed in
// the caller's text.
struct PersonText {
  std::string_view surname;
  std::string_view name;
  std::string_view sex;
  std::string_view date;
  std::string_view place;
};

// The person a list's row names.
inline PersonText PersonOfRow(const ListValues& row) {
  using enum ListField;
  return {ValueOf(row, Surname), ValueOf(row, Name), ValueOf(row, Sex), ValueOf(row, BirthDate),
          ValueOf(row, Place)};
}

// Why a person has no code, in the words every front end tells it: a date
// that reads as no date, and a code that came out kErrorCode from a real day
// (a surname or a name without a letter).
std::string UnreadableDateMessage(std::string_view typed);
inline constexpr std::string_view kNoLetterMessage =
    "Codice incompleto (ERRORE): cognome e nome devono avere almeno una lettera";

// Why a person has no code: `text` holds the one-line message in Italian,
// `usage` tells a value unreadable as such (date, sex) from one that is
// readable but gives no code.
struct PersonError {
  std::string text;
  bool usage = false;
};

// A birth date and a sex letter ("F" or "M", either case typed) as every
// command reads them; false with `error` filled for an unreadable one, or a
// birth date after today.
bool ReadBirthDate(std::string_view text, CalendarDate& born, PersonError& error);
bool ReadSex(std::string_view text, std::string_view& sex, PersonError& error);

// Appends the person's code to `code` and returns true, or fills `error`
// and leaves `code` as it was. A list calls it once a row: buffers are the
// caller's, kept across rows.
bool AppendPersonCode(const PersonText& person, PlaceRegister& places, std::string& code,
                      PersonError& error);
// The same with the birth date and sex already read.
bool AppendPersonCode(const PersonText& person, const CalendarDate& born, std::string_view sex,
                      PlaceRegister& places, std::string& code, PersonError& error);

// The code of one person, or why there is none.
struct PersonCode {
  std::string code;
  std::string error;
  bool usage = false;
  // Computed with the code of the place's nearest record, not in use on the
  // birth date.
  bool nearbyPlace = false;

  bool Computed() const { return error.empty(); }
};

// `nearby`: for a place with no code in use on the birth date, the code of
// its first or last record when the date is at most five years before or
// after it.
PersonCode ComputePersonCode(const PersonText& person, PlaceRegister& places, bool nearby = false);
