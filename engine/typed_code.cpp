#include "engine/typed_code.h"

#include "engine/ascii_case.h"
#include "engine/fiscal_code_check.h"

namespace {

bool IsVowel(char c) { return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U'; }

}  // namespace

// Consonants come first, then vowels, then the filler X: so after a vowel only
// a vowel or the filler, and after the filler only the filler again.
NameLetters ReadNameLetters(std::string_view part) {
  NameLetters letters;
  for (const char c : part) {
    if (letters.fillers > 0 && c != 'X') letters.possible = false;
    if (IsVowel(c)) {
      letters.vowels += c;
    } else if (!letters.vowels.empty() && c == 'X') {
      ++letters.fillers;
    } else {
      if (!letters.vowels.empty()) letters.possible = false;
      letters.consonants += c;
    }
  }
  return letters;
}

std::string NormalizeTypedCode(std::string_view typed) {
  std::string code;
  code.reserve(typed.size());
  for (const char c : typed) {
    if (c != ' ' && c != '\t') code += UpperAscii(c);
  }
  return code;
}

std::vector<std::string> ImpossibleLetterLines(std::string_view code) {
  std::vector<std::string> lines;
  const std::string_view surname = code.substr(0, 3);
  const std::string_view name = code.substr(3, 3);
  if (!ReadNameLetters(surname).possible) {
    lines.push_back("Lettere del cognome impossibili: " + std::string(surname));
  }
  if (!ReadNameLetters(name).possible)
    lines.push_back("Lettere del nome impossibili: " + std::string(name));
  return lines;
}

std::vector<CalendarDate> BirthDateCandidates(std::string_view code) {
  const CalendarDate latest = DecodeFiscalCode(code).birthDate;
  std::vector<CalendarDate> dates{latest};
  const CalendarDate before{latest.year - 100, latest.month, latest.day};
  if (before.day <= DaysInMonth(before.year, before.month)) dates.push_back(before);
  return dates;
}
