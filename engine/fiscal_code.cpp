#include "engine/fiscal_code.h"

#include <array>
#include <cstddef>
#include <string_view>

#include "engine/short_date.h"

namespace {

constexpr std::string_view kMonthLetters = "ABCDEHLMPRST";
constexpr std::string_view kCheckAlphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const std::string kError = "ERRORE";

// Values of the check alphabet's characters in odd positions; even positions
// are worth 0-9 for digits and 0-25 for letters.
constexpr std::array<int, 36> kOddValues = {1,  0,  5,  7,  9,  13, 15, 17, 19, 21,  // 0-9
                                            1,  0,  5,  7,  9,  13, 15, 17, 19, 21,
                                            2,  4,  18, 20, 11, 3,  6,  8,  12, 14,  // A-T
                                            16, 10, 22, 25, 24, 23};                 // U-Z

bool IsVowel(char c) { return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U'; }

struct Letters {
  std::string consonants;
  std::string vowels;
};

Letters SplitLetters(const std::string& text) {
  Letters letters;
  for (char c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') continue;
    (IsVowel(c) ? letters.vowels : letters.consonants) += c;
  }
  return letters;
}

// Three characters from a surname or name; empty when it has fewer than two
// letters. A name with four or more consonants skips its second one.
std::string NamePart(const std::string& text, bool isFirstName) {
  const Letters l = SplitLetters(text);
  const std::string& c = l.consonants;
  const std::string& v = l.vowels;
  if (c.size() >= 4) return isFirstName ? std::string{c[0], c[2], c[3]} : c.substr(0, 3);
  const std::string letters = (c + v).substr(0, 3);
  if (letters.size() < 2) return {};
  return letters.size() == 3 ? letters : letters + 'X';
}

std::string DayPart(int day, const std::string& sexLetter) {
  if (sexLetter == "F") return std::to_string(day + 40);
  if (sexLetter == "M")
    return {static_cast<char>('0' + day / 10), static_cast<char>('0' + day % 10)};
  return {};
}

}  // namespace

std::string ComputeFiscalCode(const std::string& surname, const std::string& name,
                              const std::string& birthDateText, const std::string& sexLetter,
                              const std::string& municipalityCode) {
  const CalendarDate date = TextToDate(birthDateText);
  const std::string year = std::to_string(date.year);

  std::string body = NamePart(surname, false) + NamePart(name, true);
  body += year.size() > 2 ? year.substr(2, 2) : std::string{};
  body += kMonthLetters[static_cast<std::size_t>(date.month - 1)];
  body += DayPart(date.day, sexLetter);
  body += municipalityCode;
  if (body.size() < 15) return kError;

  int sum = 0;
  for (std::size_t k = 0; k < 15; ++k) {
    const std::size_t row = kCheckAlphabet.find(body[k]);
    if (row == std::string_view::npos) return kError;  // never part of a valid code
    const bool odd = k % 2 == 0;                       // positions count from 1
    sum += odd ? kOddValues[row] : static_cast<int>(row < 10 ? row : row - 10);
  }
  return body + static_cast<char>('A' + sum % 26);
}
