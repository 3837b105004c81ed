// A code as typed: its spaces, case, impossible letters and possible centuries.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/calendar_date.h"

// A code as typed or copied from a card: spaces (and tabs) anywhere are
// dropped and the letters a to z upper-cased.
std::string NormalizeTypedCode(std::string_view typed);
// The same into `code`, a buffer a list keeps from row to row.
void NormalizeTypedCode(std::string_view typed, std::string& code);

// The lines for surname and name letters no name can give, each on its own:
// "Lettere del cognome impossibili: AAB", "Lettere del nome impossibili:
// ...". A consonant other than X after a vowel, or any letter but X after an
// X that follows a vowel, cannot be made; none for a code whose letters can.
// `code` is a checked 16-character code.
std::vector<std::string> ImpossibleLetterLines(std::string_view code);

// The three letters of a surname or name part, as a name gives them:
// consonants first, then vowels, then the filler X (an X after a vowel).
struct NameLetters {
  std::string consonants;
  std::string vowels;
  int fillers = 0;
  bool possible = true;  // false when a letter stands where no name puts it
};
NameLetters ReadNameLetters(std::string_view part);

// The birth dates a valid 16-character code may stand for, later first: the
// one DecodeFiscalCode reads (its two-digit year in the latest century that
// does not put the date after today), and the century before it when that
// day exists then.
struct BirthDates {
  std::array<CalendarDate, 2> dates;
  std::size_t count = 0;

  const CalendarDate* begin() const { return dates.data(); }
  const CalendarDate* end() const { return dates.data() + count; }
};
BirthDates BirthDateCandidates(const CalendarDate& decoded);
