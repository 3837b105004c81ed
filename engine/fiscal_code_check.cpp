#include "engine/fiscal_code_check.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

#include "engine/check_values.h"
#include "engine/month_letters.h"
#include "engine/today.h"

namespace {

constexpr std::string_view kHomocodeLetters = "LMNPQRSTUV";  // standing for 0-9

// Places (from 0) of the digits a homocode may replace, in the order they are
// replaced.
constexpr std::array<std::size_t, 7> kHomocodePlaces = {14, 13, 12, 10, 9, 7, 6};

bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsDigitPlace(std::size_t k) {
  return k == 6 || k == 7 || k == 9 || k == 10 || (k >= 12 && k <= 14);
}

// The digit a character at a digit place stands for; -1 for none.
int DigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  const std::size_t at = kHomocodeLetters.find(c);
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

bool AllowedAt(std::size_t k, char c) {
  if (IsDigitPlace(k)) return DigitValue(c) >= 0;
  if (k == 8) return kMonthLetters.find(c) != std::string_view::npos;
  return IsLetter(c);
}

// The number of code points of UTF-8 text: its bytes that do not continue one.
int CharacterCount(std::string_view text) {
  int count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

char NumericCheckDigit(std::string_view digits) {
  int sum = 0;
  for (std::size_t k = 0; k < 10; ++k) {
    const int digit = digits[k] - '0';
    if (k % 2 == 0) {
      sum += digit;
    } else {
      sum += digit * 2 > 9 ? digit * 2 - 9 : digit * 2;
    }
  }
  return static_cast<char>('0' + (10 - sum % 10) % 10);
}

CodeCheck CheckNumericCode(std::string_view code) {
  CodeCheck check;
  check.numeric = true;
  check.length = 11;
  const char expected = NumericCheckDigit(code);
  if (code[10] != expected) {
    check.fault = CodeFault::CheckDigit;
    check.expected = expected;
  }
  return check;
}

int TwoDigits(std::string_view code, std::size_t at) {
  return DigitValue(code[at]) * 10 + DigitValue(code[at + 1]);
}

// Day of the month and sex of a code whose characters are allowed; day 0 when
// the day part stands for no day of that month.
struct DayAndSex {
  CalendarDate date;
  char sex;
};

DayAndSex ReadDate(std::string_view code) {
  const int written = TwoDigits(code, 9);
  const char sex = written > 40 ? 'F' : 'M';
  const int day = written > 40 ? written - 40 : written;
  const int month = static_cast<int>(kMonthLetters.find(code[8])) + 1;
  const int year = LatestYearNotAfterToday(TwoDigits(code, 6), month, day);
  const bool exists = day >= 1 && day <= DaysInMonth(year, month);
  return {{year, month, exists ? day : 0}, sex};
}

CodeCheck RequireValid(std::string_view code) {
  const CodeCheck check = CheckFiscalCode(code);
  if (!check.Valid() || check.numeric) {
    throw std::invalid_argument("not a valid fiscal code: " + std::string(code));
  }
  return check;
}

std::string WithCheckLetter(std::string code) {
  code[15] = CheckLetter(code.data());
  return code;
}

}  // namespace

CodeCheck CheckFiscalCode(std::string_view code) {
  CodeCheck check;
  check.length = CharacterCount(code);
  if (check.length == 11 && code.size() == 11) {
    bool digits = true;
    for (const char c : code) digits &= IsDigit(c);
    if (digits) return CheckNumericCode(code);
  }
  if (check.length != 16) {
    check.fault = CodeFault::Length;
    return check;
  }
  // Sixteen characters; the first byte that is not ASCII is refused where it
  // stands (a stray continuation byte just after the character before it).
  int position = 0;
  for (const char c : code) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80 && AllowedAt(static_cast<std::size_t>(position), c)) {
      ++position;
      continue;
    }
    check.fault = CodeFault::Character;
    check.position = position + 1;
    return check;
  }
  const DayAndSex read = ReadDate(code);
  if (read.date.day == 0) {
    check.fault = CodeFault::Day;
    check.written = {static_cast<char>('0' + DigitValue(code[9])),
                     static_cast<char>('0' + DigitValue(code[10]))};
    return check;
  }
  const char expected = CheckLetter(code.data());
  if (code[15] != expected) {
    check.fault = CodeFault::CheckLetter;
    check.expected = expected;
    return check;
  }
  for (const std::size_t k : kHomocodePlaces) check.homocode = check.homocode || !IsDigit(code[k]);
  check.birthDate = read.date;
  check.sex = read.sex;
  return check;
}

std::string CodeCheckText(const CodeCheck& check) {
  switch (check.fault) {
    case CodeFault::None:
      return check.numeric ? "Codice numerico valido" : "Codice valido";
    case CodeFault::Length:
      return "Lunghezza errata: " + std::to_string(check.length) +
             (check.length == 1 ? " carattere" : " caratteri") + " invece di 16";
    case CodeFault::Character:
      return "Carattere non valido in posizione " + std::to_string(check.position);
    case CodeFault::Day:
      return "Giorno di nascita non valido: " + check.written;
    case CodeFault::CheckLetter:
      return std::string("Carattere di controllo errato: atteso ") + check.expected;
    case CodeFault::CheckDigit:
      return std::string("Cifra di controllo errata: attesa ") + check.expected;
  }
  return {};
}

bool AllowedInCode(std::size_t place, char c) { return AllowedAt(place, c); }

int CodeDigit(char c) { return DigitValue(c); }

std::string BaseCode(std::string_view code) {
  RequireValid(code);
  std::string base(code);
  for (const std::size_t k : kHomocodePlaces)
    base[k] = static_cast<char>('0' + DigitValue(base[k]));
  return WithCheckLetter(std::move(base));
}

bool IsHomocode(std::string_view code) {
  const CodeCheck check = CheckFiscalCode(code);
  return check.Valid() && check.homocode;
}

std::array<std::string, 7> Homocodes(std::string_view code) {
  std::string next = BaseCode(code);
  std::array<std::string, 7> homocodes;
  for (std::size_t n = 0; n < kHomocodePlaces.size(); ++n) {
    char& c = next[kHomocodePlaces[n]];
    c = kHomocodeLetters[static_cast<std::size_t>(c - '0')];
    homocodes[n] = WithCheckLetter(next);
  }
  return homocodes;
}

bool MatchesComputedCode(std::string_view code, std::string_view computed) {
  if (code == computed) return true;
  // Read back, not listed: a digit and its letter are one, in any of the
  // 128 forms, and the code must carry its own check letter.
  if (code.size() != 16 || computed.size() != 16) return false;
  for (std::size_t k = 0; k < 15; ++k) {
    if (code[k] == computed[k]) continue;
    if (!IsDigitPlace(k) || DigitValue(code[k]) < 0 ||
        DigitValue(code[k]) != DigitValue(computed[k])) {
      return false;
    }
  }
  return code[15] == CheckLetter(code.data());
}

DecodedCode DecodeFiscalCode(std::string_view code) {
  return DecodeCheckedCode(code, RequireValid(code));
}

DecodedCode DecodeCheckedCode(std::string_view code, const CodeCheck& check) {
  std::string place{code[11]};
  for (std::size_t k = 12; k < 15; ++k) place += static_cast<char>('0' + DigitValue(code[k]));
  return {check.sex, check.birthDate, place};
}
