#include "engine/fiscal_code.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/check_values.h"
#include "engine/month_letters.h"
#include "engine/short_date.h"

namespace {

// For each byte: its letter upper-cased when it is a consonant (a vowel) of
// A-Z or a-z, 0 otherwise.
struct LetterTables {
  std::array<char, 256> consonant{};
  std::array<char, 256> vowel{};

  constexpr LetterTables() {
    for (int k = 0; k < 26; ++k) {
      const char letter = static_cast<char>('A' + k);
      const bool isVowel =
          letter == 'A' || letter == 'E' || letter == 'I' || letter == 'O' || letter == 'U';
      auto& table = isVowel ? vowel : consonant;
      table['A' + k] = letter;
      table['a' + k] = letter;
    }
  }
};

constexpr LetterTables kLetters;

// Writes the three characters of a surname or name at `out`; false when it
// has no letter. A name with four or more consonants skips its second one;
// one of fewer than three letters is filled with X.
template <bool isFirstName>
bool NamePart(std::string_view text, char* out) {
  // Consonants first, without a branch on the letter's kind (no predictor
  // guesses it): every byte is written, only a consonant moves the count on.
  char consonants[4] = {};
  int consonantCount = 0;
  constexpr int enough = isFirstName ? 4 : 3;  // no later letter can change the part
  for (const char c : text) {
    const char consonant = kLetters.consonant[static_cast<unsigned char>(c)];
    consonants[consonantCount] = consonant;
    consonantCount += consonant != 0;
    if (consonantCount == enough) break;
  }
  if (consonantCount == 4) {
    out[0] = consonants[0], out[1] = consonants[2], out[2] = consonants[3];
    return true;
  }
  // Byte by byte: a wider load would wait on the narrow stores just made.
  int n = 0;
  for (; n < consonantCount && n < 3; ++n) out[n] = consonants[n];
  // The vowels, only as many as fill the part: seldom more than a few bytes.
  for (std::size_t k = 0; n < 3 && k < text.size(); ++k) {
    const char vowel = kLetters.vowel[static_cast<unsigned char>(text[k])];
    if (vowel != 0) out[n++] = vowel;
  }
  if (n == 0) return false;
  for (; n < 3; ++n) out[n] = 'X';
  return true;
}

void PutTwoDigits(int value, char* out) {
  out[0] = static_cast<char>('0' + value / 10);
  out[1] = static_cast<char>('0' + value % 10);
}

// What the date's characters add to the check sum in the usual layout, where
// they stand at known places: the year's two digits at the 7th and 8th, the
// month letter at the 9th, the day (plus 40 for a woman) at the 10th and 11th.
struct DateCheckValues {
  std::array<std::int16_t, 100> year{};
  std::array<std::int16_t, 12> month{};
  std::array<std::int16_t, 72> day{};

  constexpr DateCheckValues() {
    for (int k = 0; k < 100; ++k) {
      year[k] = static_cast<std::int16_t>(kCheckValues.odd['0' + k / 10] +
                                          kCheckValues.even['0' + k % 10]);
    }
    for (int k = 0; k < 12; ++k) {
      month[k] = kCheckValues.odd[static_cast<unsigned char>(kMonthLetters[k])];
    }
    for (int k = 0; k < 72; ++k) {
      day[k] = static_cast<std::int16_t>(kCheckValues.even['0' + k / 10] +
                                         kCheckValues.odd['0' + k % 10]);
    }
  }
};

constexpr DateCheckValues kDateCheckValues;

char CheckLetterOfSum(int sum) {
  return sum < CheckValues::kOutside ? static_cast<char>('A' + sum % 26) : '\0';
}

// The room WriteCode needs: six letters, four year and day digits, the month
// letter, the check letter.
constexpr std::size_t kRoomBesidesMunicipality = 12;

// Writes the code at `out`, which has room for the municipality code and
// kRoomBesidesMunicipality more: its length, or 0 for no complete code. The
// date is a real day.
inline std::size_t WriteCode(std::string_view surname, std::string_view name,
                             const CalendarDate& date, std::string_view sexLetter,
                             std::string_view municipalityCode, char* out) {
  if (!NamePart<false>(surname, out) || !NamePart<true>(name, out + 3)) return 0;
  const bool female = sexLetter.size() == 1 && sexLetter[0] == 'F';
  const bool male = sexLetter.size() == 1 && sexLetter[0] == 'M';
  const std::size_t size = municipalityCode.size();
  const char* const place = municipalityCode.data();
  if (date.year >= 1000 && (female || male) && size >= 4) {
    // The usual layout: every place known, the check sum taken from tables
    // as the code is written instead of read back from it.
    const int year = date.year % 100;
    const int day = female ? date.day + 40 : date.day;
    const auto odd = [](char c) { return kCheckValues.odd[static_cast<unsigned char>(c)]; };
    const auto even = [](char c) { return kCheckValues.even[static_cast<unsigned char>(c)]; };
    const int sum = odd(out[0]) + even(out[1]) + odd(out[2]) + even(out[3]) + odd(out[4]) +
                    even(out[5]) + kDateCheckValues.year[year] +
                    kDateCheckValues.month[date.month - 1] + kDateCheckValues.day[day] +
                    even(place[0]) + odd(place[1]) + even(place[2]) + odd(place[3]);
    const char check = CheckLetterOfSum(sum);
    if (check == '\0') return 0;
    PutTwoDigits(year, out + 6);
    out[8] = kMonthLetters[date.month - 1];
    PutTwoDigits(day, out + 9);
    if (size == 4) {
      std::memcpy(out + 11, place, 4);  // the usual code, in one move
    } else {
      std::memcpy(out + 11, place, size);
    }
    out[11 + size] = check;
    return 12 + size;
  }
  std::size_t at = 6;
  // The year's third and fourth decimal digits: one for a year of three
  // digits, none for a shorter one.
  if (date.year >= 1000) {
    PutTwoDigits(date.year % 100, out + at);
    at += 2;
  } else if (date.year >= 100) {
    out[at++] = static_cast<char>('0' + date.year % 10);
  }
  out[at++] = kMonthLetters[date.month - 1];
  if (female || male) {
    PutTwoDigits(female ? date.day + 40 : date.day, out + at);
    at += 2;
  }
  const std::size_t bodyLength = at + size;
  if (bodyLength < 15) return 0;
  std::memcpy(out + at, place, size);
  // The check letter covers the first fifteen characters; past them anything goes.
  const char check = CheckLetter(out);
  if (check == '\0') return 0;
  out[bodyLength] = check;
  return bodyLength + 1;
}

bool IsRealDay(const CalendarDate& date) {
  return date.year >= 0 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
         date.day <= DaysInMonth(date.year, date.month);
}

// The usual code is built on the stack; only a long municipality code
// needs the heap.
constexpr std::size_t kStackRoom = 32;

inline std::string CodeText(std::string_view surname, std::string_view name,
                            const CalendarDate& date, std::string_view sexLetter,
                            std::string_view municipalityCode) {
  if (municipalityCode.size() + kRoomBesidesMunicipality <= kStackRoom) {
    char code[kStackRoom];
    const std::size_t length = WriteCode(surname, name, date, sexLetter, municipalityCode, code);
    if (length == 16) return std::string(code, 16);  // the usual length, copied in one move
    return length == 0 ? std::string(kErrorCode) : std::string(code, length);
  }
  std::string code(municipalityCode.size() + kRoomBesidesMunicipality, '\0');
  const std::size_t length =
      WriteCode(surname, name, date, sexLetter, municipalityCode, code.data());
  if (length == 0) return std::string(kErrorCode);
  code.resize(length);
  return code;
}

}  // namespace

std::string ComputeFiscalCode(const std::string& surname, const std::string& name,
                              const std::string& birthDateText, const std::string& sexLetter,
                              const std::string& municipalityCode) {
  // Read first: an unreadable date throws whatever the other inputs are.
  const CalendarDate date = TextToDate(birthDateText);
  return CodeText(surname, name, date, sexLetter, municipalityCode);
}

std::string ComputeFiscalCode(std::string_view surname, std::string_view name,
                              const CalendarDate& birthDate, std::string_view sexLetter,
                              std::string_view municipalityCode) {
  if (!IsRealDay(birthDate)) return std::string(kErrorCode);
  return CodeText(surname, name, birthDate, sexLetter, municipalityCode);
}

bool AppendFiscalCode(std::string_view surname, std::string_view name,
                      const CalendarDate& birthDate, std::string_view sexLetter,
                      std::string_view municipalityCode, std::string& out) {
  std::size_t length = 0;
  if (IsRealDay(birthDate)) {
    if (municipalityCode.size() + kRoomBesidesMunicipality <= kStackRoom) {
      char code[kStackRoom];
      length = WriteCode(surname, name, birthDate, sexLetter, municipalityCode, code);
      out.append(code, length);
    } else {
      const std::size_t start = out.size();
      out.resize(start + municipalityCode.size() + kRoomBesidesMunicipality);
      length = WriteCode(surname, name, birthDate, sexLetter, municipalityCode, out.data() + start);
      out.resize(start + length);
    }
  }
  if (length == 0) out.append(kErrorCode);
  return length != 0;
}

std::string SurnameLetters(std::string_view surname) {
  char part[3];
  return NamePart<false>(surname, part) ? std::string(part, 3) : std::string();
}

std::string FirstNameLetters(std::string_view name) {
  char part[3];
  return NamePart<true>(name, part) ? std::string(part, 3) : std::string();
}
