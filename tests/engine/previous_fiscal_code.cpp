#include "tests/engine/previous_fiscal_code.h"

#include <array>
#include <cstddef>
#include <cstring>

#include "engine/check_values.h"
#include "engine/fiscal_code.h"
#include "engine/short_date.h"

namespace {

constexpr char kMonthLetters[] = "ABCDEHLMPRST";
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
// has fewer than two letters. A name with four or more consonants skips its
// second one.
template <bool isFirstName>
bool NamePart(const std::string& text, char* out) {
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

}  // namespace

std::string PreviousFiscalCode(const std::string& surname, const std::string& name,
                               const std::string& birthDateText, const std::string& sexLetter,
                               const std::string& municipalityCode) {
  const CalendarDate date = TextToDate(birthDateText);

  char surnamePart[3];
  char namePart[3];
  if (!NamePart<false>(surname, surnamePart) || !NamePart<true>(name, namePart)) {
    return std::string(kErrorCode);
  }
  // The year's third and fourth decimal digits: one for a year of three
  // digits, none for a shorter one.
  const std::size_t yearLength = date.year >= 1000 ? 2 : date.year >= 100 ? 1 : 0;
  const bool female = sexLetter.size() == 1 && sexLetter[0] == 'F';
  const bool male = sexLetter.size() == 1 && sexLetter[0] == 'M';
  const std::size_t length = 6 + yearLength + 1 + (female || male ? 2 : 0);
  const std::size_t bodyLength = length + municipalityCode.size();
  if (bodyLength < 15) return std::string(kErrorCode);

  // Written byte by byte straight into the result, and read back the same
  // way for the check letter, so no wide load waits on narrow stores.
  std::string code(bodyLength + 1, '\0');
  char* out = code.data();
  for (int k = 0; k < 3; ++k) out[k] = surnamePart[k], out[3 + k] = namePart[k];
  std::size_t at = 6;
  if (yearLength == 2) {
    PutTwoDigits(date.year % 100, out + at);
    at += 2;
  } else if (yearLength == 1) {
    out[at++] = static_cast<char>('0' + date.year % 10);
  }
  out[at++] = kMonthLetters[date.month - 1];
  if (female || male) PutTwoDigits(female ? date.day + 40 : date.day, out + at);
  if (municipalityCode.size() == 4) {
    std::memcpy(out + length, municipalityCode.data(), 4);  // the usual code, in one move
  } else {
    for (std::size_t k = 0; k < municipalityCode.size(); ++k) out[length + k] = municipalityCode[k];
  }
  // The check letter covers the first fifteen characters; past them anything goes.
  const char check = CheckLetter(out);
  if (check == '\0') return std::string(kErrorCode);
  out[bodyLength] = check;
  return code;
}
