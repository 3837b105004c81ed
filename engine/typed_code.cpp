#include "engine/typed_code.h"

#include "engine/ascii_case.h"
#include "engine/fiscal_code_check.h"

namespace {

bool IsVowel(char c) { return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U'; }

// Consonants come first, then vowels, then the filler X: so after a vowel only
// a vowel or the filler, and after the filler only the filler again.
bool PossibleNameLetters(std::string_view part) {
  bool vowel = false;
  bool filler = false;
  for (const char c : part) {
    if (filler && c != 'X') return false;
    if (IsVowel(c)) {
      vowel = true;
    } else if (vowel && c == 'X') {
      filler = true;
    } else if (vowel) {
      return false;
    }
  }
  return true;
}

}  // namespace

NameLetters ReadNameLetters(std::string_view part) {
  NameLetters letters;
  letters.possible = PossibleNameLetters(part);
  for (const char c : part) {
    if (IsVowel(c)) {
      letters.vowels += c;
    } else if (!letters.vowels.empty() && c == 'X') {
      ++letters.fillers;
    } else {
      letters.consonants += c;
    }
  }
  return letters;
}

std::string NormalizeTypedCode(std::string_view typed) {
  std::string code;
  NormalizeTypedCode(typed, code);
  return code;
}

void NormalizeTypedCode(std::string_view typed, std::string& code) {
  code.assign(typed);
  std::size_t size = 0;
  for (const char c : typed) {
    if (c != ' ' && c != '\t') code[size++] = UpperAscii(c);
  }
  code.resize(size);
}

std::vector<std::string> ImpossibleLetterLines(std::string_view code) {
  std::vector<std::string> lines;
  const std::string_view surname = code.substr(0, 3);
  const std::string_view name = code.substr(3, 3);
  if (!PossibleNameLetters(surname)) {
    lines.push_back("Lettere del cognome impossibili: " + std::string(surname));
  }
  if (!PossibleNameLetters(name))
    lines.push_back("Lettere del nome impossibili: " + std::string(name));
  return lines;
}

BirthDates BirthDateCandidates(const CalendarDate& latest) {
  BirthDates candidates;
  candidates.dates[candidates.count++] = latest;
  const CalendarDate before{latest.year - 100, latest.month, latest.day};
  if (before.day <= DaysInMonth(before.year, before.month)) {
    candidates.dates[candidates.count++] = before;
  }
  return candidates;
}
