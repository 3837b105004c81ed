// A given fiscal code checked, read back and its homocodes.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "engine/calendar_date.h"

// What is wrong with a code handed in, the first fault found.
enum class CodeFault {
  None,
  Length,       // `length` characters instead of 16 (or 11 digits)
  Character,    // not allowed at `position`
  Day,          // no such day in that month and year; `written` holds the two day characters
  CheckLetter,  // `expected` is the right one
  CheckDigit,   // an 11-digit code; `expected` is the right digit
};

struct CodeCheck {
  CodeFault fault = CodeFault::None;
  bool numeric = false;   // eleven digits: a provisional code or one of a non-person
  bool homocode = false;  // valid, and a letter stands at a digit place
  // Valid: the birth date (the latest not after today) and sex it reads.
  CalendarDate birthDate;
  char sex = '\0';
  int length = 0;       // in characters (UTF-8 code points)
  int position = 0;     // from 1
  std::string written;  // the day's two characters, homocode letters read as digits
  char expected = '\0';

  bool Valid() const { return fault == CodeFault::None; }
};

// Checks a code as typed; the caller upper-cases it, lower case is refused.
// Sixteen characters are a person's code: letters at 1-6, 9, 12 and 16, a
// month letter at 9, digits or their homocode letters (L-V for 0-9) at 7, 8,
// 10, 11, 13-15, a day that exists in the decoded month and year, and the
// check letter computed over the fifteen characters as written. Eleven
// characters are a numeric code only when all are digits; any other length
// or text is a length fault.
CodeCheck CheckFiscalCode(std::string_view code);

// The line that tells the user the result, in Italian: "Codice valido",
// "Lunghezza errata: N caratteri invece di 16", "Carattere non valido in
// posizione N", "Giorno di nascita non valido: NN", "Carattere di controllo
// errato: atteso X", "Codice numerico valido", "Cifra di controllo errata:
// attesa N".
std::string CodeCheckText(const CodeCheck& check);

// Whether `c` may stand at `place` (from 0) of a 16-character code: a letter,
// a month letter, or a digit or its homocode letter.
bool AllowedInCode(std::size_t place, char c);

// The digit a character at a digit place stands for (a homocode letter read
// back); -1 for none.
int CodeDigit(char c);

// A valid 16-character code with every homocode letter at 7, 8, 10, 11,
// 13-15 turned back into its digit and the check letter computed again.
// Throws std::invalid_argument for a code that is not valid.
std::string BaseCode(std::string_view code);

// Whether a valid 16-character code holds a homocode letter; false for any
// other text.
bool IsHomocode(std::string_view code);

// The seven homocodes of a valid code's base, in the order they are given
// out: position 15 replaced, then 15 and 14, then 15, 14 and 13, then 11,
// 10, 8 and 7 added in turn; each with its own check letter. Throws
// std::invalid_argument for a code that is not valid.
std::array<std::string, 7> Homocodes(std::string_view code);

// Whether a code handed in is the one computed for a person or a homocode
// form of it (any digit written as its letter, 128 forms), with its own
// check letter: all stand for the same person.
bool MatchesComputedCode(std::string_view code, std::string_view computed);

struct DecodedCode {
  char sex = 'M';  // 'M' or 'F'
  CalendarDate birthDate;
  std::string placeCode;  // four characters, homocode letters turned back into digits

  friend bool operator==(const DecodedCode&, const DecodedCode&) = default;
};

// Sex, birth date and place of a valid 16-character code. The two-digit year
// gives the latest date that is not after today (engine/today.h). Throws
// std::invalid_argument for a code that is not valid.
DecodedCode DecodeFiscalCode(std::string_view code);
// The same for a code CheckFiscalCode found valid, from what it said: a list
// reads one a row.
DecodedCode DecodeCheckedCode(std::string_view code, const CodeCheck& check);
