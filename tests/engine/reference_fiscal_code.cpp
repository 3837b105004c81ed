#include "tests/engine/reference_fiscal_code.h"

#include <array>
#include <cctype>
#include <cstddef>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "engine/date_conversion_error.h"
#include "engine/short_date.h"
#include "engine/today.h"

namespace {

enum class Part { Day, Month, Year };

struct Field {
  Part part;
  int width;
};

struct Format {
  std::string pattern;
  std::array<Field, 3> fields;
  char separator;
};

bool IsPatternLetter(char c) { return c == 'd' || c == 'M' || c == 'y'; }

Format ParseFormat(const std::string& pattern) {
  const auto invalid = [&] { return std::invalid_argument("bad date pattern: " + pattern); };
  Format format{pattern, {}, '\0'};
  std::size_t i = 0;
  bool seen[3] = {false, false, false};
  for (int f = 0; f < 3; ++f) {
    if (f > 0) {
      if (i >= pattern.size() || IsPatternLetter(pattern[i])) throw invalid();
      if (f == 1) format.separator = pattern[i];
      if (pattern[i] != format.separator) throw invalid();
      ++i;
    }
    if (i >= pattern.size() || !IsPatternLetter(pattern[i])) throw invalid();
    const char letter = pattern[i];
    int width = 0;
    while (i < pattern.size() && pattern[i] == letter) ++i, ++width;
    const Part part = letter == 'd' ? Part::Day : letter == 'M' ? Part::Month : Part::Year;
    const bool fits = part == Part::Year ? (width == 2 || width == 4) : (width == 1 || width == 2);
    if (!fits || seen[static_cast<int>(part)]) throw invalid();
    seen[static_cast<int>(part)] = true;
    format.fields[static_cast<std::size_t>(f)] = {part, width};
  }
  if (i != pattern.size() || std::isdigit(static_cast<unsigned char>(format.separator))) {
    throw invalid();
  }
  return format;
}

int BirthYear(int twoDigits, int month, int day) {
  const CalendarDate today = Today();
  int year = today.year - ((today.year % 100 - twoDigits + 100) % 100);
  if (CalendarDate{year, month, day} > today) year -= 100;
  return year;
}

constexpr std::string_view kMonthLetters = "ABCDEHLMPRST";
constexpr std::string_view kCheckAlphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const std::string kError = "ERRORE";

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

std::string NamePart(const std::string& text, bool isFirstName) {
  const Letters l = SplitLetters(text);
  const std::string& c = l.consonants;
  const std::string& v = l.vowels;
  if (c.size() >= 4) return isFirstName ? std::string{c[0], c[2], c[3]} : c.substr(0, 3);
  const std::string letters = (c + v).substr(0, 3);
  if (letters.empty()) return {};
  return (letters + "XX").substr(0, 3);
}

std::string DayPart(int day, const std::string& sexLetter) {
  if (sexLetter == "F") return std::to_string(day + 40);
  if (sexLetter == "M")
    return {static_cast<char>('0' + day / 10), static_cast<char>('0' + day % 10)};
  return {};
}

}  // namespace

CalendarDate ReferenceTextToDate(const std::string& text) {
  // Parsed again only when the format changes, as the original held it parsed.
  static std::string pattern;
  static Format format = ParseFormat("dd/MM/yyyy");
  if (ShortDateFormat() != pattern) {
    pattern = ShortDateFormat();
    format = ParseFormat(pattern);
  }
  std::vector<std::string> pieces(1);
  for (char c : text) {
    if (c == format.separator) {
      pieces.emplace_back();
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      pieces.back() += c;
    } else {
      throw DateConversionError(text);
    }
  }
  if (pieces.size() != 3) throw DateConversionError(text);

  CalendarDate date;
  bool twoDigitYear = false;
  for (std::size_t f = 0; f < 3; ++f) {
    const std::string& piece = pieces[f];
    const Part part = format.fields[f].part;
    const bool fits = part == Part::Year ? (piece.size() == 2 || piece.size() == 4)
                                         : (piece.size() == 1 || piece.size() == 2);
    if (!fits) throw DateConversionError(text);
    const int value = std::stoi(piece);
    if (part == Part::Day) date.day = value;
    if (part == Part::Month) date.month = value;
    if (part == Part::Year) {
      date.year = value;
      twoDigitYear = piece.size() == 2;
    }
  }
  if (twoDigitYear) date.year = BirthYear(date.year, date.month, date.day);
  if (date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > DaysInMonth(date.year, date.month)) {
    throw DateConversionError(text);
  }
  return date;
}

std::string ReferenceFiscalCode(const std::string& surname, const std::string& name,
                                const std::string& birthDateText, const std::string& sexLetter,
                                const std::string& municipalityCode) {
  const CalendarDate date = ReferenceTextToDate(birthDateText);
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
    if (row == std::string_view::npos) return kError;
    const bool odd = k % 2 == 0;
    sum += odd ? kOddValues[row] : static_cast<int>(row < 10 ? row : row - 10);
  }
  return body + static_cast<char>('A' + sum % 26);
}
