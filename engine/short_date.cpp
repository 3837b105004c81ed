#include "engine/short_date.h"

#include <algorithm>
#include <cctype>

#include "engine/date_reading.h"

namespace {

using Part = DatePattern::Part;

// Set before any code runs, so reading it costs no guard.
constinit DateRules currentRules = DateRules::Pattern("dd/MM/yyyy");

// Written into `at`, at least `width` digits: a list writes dates on every
// row.
char* PutPadded(int value, int width, char* at) {
  const auto number = static_cast<unsigned>(value < 0 ? 0 : value);
  if (width == 2 && number < 100) {
    at[0] = static_cast<char>('0' + number / 10);
    at[1] = static_cast<char>('0' + number % 10);
    return at + 2;
  }
  if (width == 4 && number < 10000) {
    at[0] = static_cast<char>('0' + number / 1000);
    at[1] = static_cast<char>('0' + number / 100 % 10);
    at[2] = static_cast<char>('0' + number / 10 % 10);
    at[3] = static_cast<char>('0' + number % 10);
    return at + 4;
  }
  int digits = 1;
  for (unsigned rest = number / 10; rest > 0; rest /= 10) ++digits;
  const int size = std::max(width, digits);
  unsigned rest = number;
  for (int k = size - 1; k >= 0; --k, rest /= 10) at[k] = static_cast<char>('0' + rest % 10);
  return at + size;
}

}  // namespace

void SetShortDateFormat(const std::string& pattern) { currentRules = DateRules::Pattern(pattern); }

std::string ShortDateFormat() {
  std::string pattern;
  for (std::size_t f = 0; f < 3; ++f) {
    if (f > 0) pattern += currentRules.pattern.separator;
    const DatePattern::Field& field = currentRules.pattern.fields[f];
    const char letter = field.part == Part::Day ? 'd' : field.part == Part::Month ? 'M' : 'y';
    pattern.append(static_cast<std::size_t>(field.width), letter);
  }
  return pattern;
}

std::string DateToText(const CalendarDate& date) {
  const DatePattern& format = currentRules.pattern;
  char text[40];
  char* end = text;
  for (std::size_t f = 0; f < format.fields.size(); ++f) {
    if (f > 0) *end++ = format.separator;
    const DatePattern::Field& field = format.fields[f];
    switch (field.part) {
      case Part::Day:
        end = PutPadded(date.day, field.width, end);
        break;
      case Part::Month:
        end = PutPadded(date.month, field.width, end);
        break;
      case Part::Year:
        end = field.width == 2 ? PutPadded(date.year % 100, 2, end) : PutPadded(date.year, 4, end);
        break;
    }
  }
  return std::string(text, end);
}

CalendarDate TextToDate(const std::string& text) {
  CalendarDate date;
  if (!ReadDate(text, currentRules, date)) throw DateConversionError(text);
  return date;
}

std::string NormaliseShortDatePattern(const std::string& localePattern) {
  std::string day, month, year, order;
  char separator = '\0';
  bool inQuote = false;
  for (std::size_t i = 0; i < localePattern.size();) {
    const char c = localePattern[i];
    if (c == '\'') {
      inQuote = !inQuote;
      ++i;
      continue;
    }
    if (inQuote || !std::isalpha(static_cast<unsigned char>(c))) {
      // The separator is the first character after the first date field.
      if (!inQuote && separator == '\0' && !order.empty()) separator = c;
      ++i;
      continue;
    }
    std::size_t width = 0;
    while (i < localePattern.size() && localePattern[i] == c) ++i, ++width;
    if (c == 'd' && width <= 2 && day.empty()) {
      day = std::string(width, 'd');
      order += 'd';
    } else if ((c == 'M' || c == 'L') && month.empty()) {
      month = width == 1 ? "M" : "MM";  // a month name becomes its number
      order += 'M';
    } else if ((c == 'y' || c == 'Y' || c == 'u') && year.empty()) {
      year = "yyyy";
      order += 'y';
    }
  }
  if (order.size() != 3) return "dd/MM/yyyy";
  if (separator == '\0' || std::isspace(static_cast<unsigned char>(separator)) ||
      std::isalnum(static_cast<unsigned char>(separator)) || separator == '\'') {
    separator = '/';
  }
  std::string pattern;
  for (char part : order) {
    if (!pattern.empty()) pattern += separator;
    pattern += part == 'd' ? day : part == 'M' ? month : year;
  }
  return pattern;
}
