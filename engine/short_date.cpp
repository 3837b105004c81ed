#include "engine/short_date.h"

#include <array>
#include <cctype>
#include <stdexcept>
#include <string_view>

#include "engine/today.h"

namespace {

enum class Part { Day, Month, Year };

struct Field {
  Part part;
  int width;  // letters in the pattern: 1 or 2 for day and month, 2 or 4 for the year
};

struct Format {
  std::array<Field, 3> fields;
  char separator;
  // Where the day, the month, the year and the two separators stand in a text
  // of full width (two digits, four for the year).
  std::size_t dayAt = 0, monthAt = 0, yearAt = 0, firstSeparatorAt = 0, secondSeparatorAt = 0;
};

constexpr bool IsPatternLetter(char c) { return c == 'd' || c == 'M' || c == 'y'; }

constexpr Format ParseFormat(std::string_view pattern) {
  const auto invalid = [&] {
    return std::invalid_argument("bad date pattern: " + std::string(pattern));
  };
  Format format{{}, '\0'};
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
  std::size_t at = 0;
  for (std::size_t f = 0; f < 3; ++f) {
    if (f == 1) format.firstSeparatorAt = at++;
    if (f == 2) format.secondSeparatorAt = at++;
    const Part part = format.fields[f].part;
    (part == Part::Day ? format.dayAt : part == Part::Month ? format.monthAt : format.yearAt) = at;
    at += part == Part::Year ? 4 : 2;
  }
  if (i != pattern.size() || (format.separator >= '0' && format.separator <= '9')) {
    throw invalid();
  }
  return format;
}

// Set before any code runs, so reading it costs no guard.
constinit Format currentFormat = ParseFormat("dd/MM/yyyy");

// Reads the common text, every field at its full width, without a scan:
// this runs once for every code computed. The eight digits are checked by
// one test: a byte that is no digit gives a value above 9, and 6 more sets
// a bit above the low four.
bool ReadFullWidth(std::string_view text, const Format& format, CalendarDate& date) {
  const char* at = text.data();
  if (at[format.firstSeparatorAt] != format.separator ||
      at[format.secondSeparatorAt] != format.separator) {
    return false;
  }
  const auto digit = [at](std::size_t k) {
    return unsigned{static_cast<unsigned char>(at[k] - '0')};  // 0..255, no wrap past 6 more
  };
  const std::size_t d = format.dayAt, m = format.monthAt, y = format.yearAt;
  const unsigned d0 = digit(d), d1 = digit(d + 1), m0 = digit(m), m1 = digit(m + 1);
  const unsigned y0 = digit(y), y1 = digit(y + 1), y2 = digit(y + 2), y3 = digit(y + 3);
  if (((d0 + 6) | (d1 + 6) | (m0 + 6) | (m1 + 6) | (y0 + 6) | (y1 + 6) | (y2 + 6) | (y3 + 6)) &
      ~0xFu) {
    return false;
  }
  date.day = static_cast<int>(d0 * 10 + d1);
  date.month = static_cast<int>(m0 * 10 + m1);
  date.year = static_cast<int>(y0 * 1000 + y1 * 100 + y2 * 10 + y3);
  return date.month >= 1 && date.month <= 12 && date.day >= 1 &&
         date.day <= DaysInMonth(date.year, date.month);
}

// Reads the fields in place, of any width.
bool ReadDate(std::string_view text, const Format& format, CalendarDate& date) {
  // Full width is the only way to write ten characters.
  if (text.size() == 10) return ReadFullWidth(text, format, date);
  std::size_t i = 0;
  bool twoDigitYear = false;
  for (std::size_t f = 0; f < 3; ++f) {
    if (f > 0) {
      if (i == text.size() || text[i] != format.separator) return false;
      ++i;
    }
    int value = 0;
    std::size_t width = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++width) {
      if (width == 4) return false;
      value = value * 10 + (text[i] - '0');
    }
    switch (format.fields[f].part) {
      case Part::Day:
        if (width != 1 && width != 2) return false;
        date.day = value;
        break;
      case Part::Month:
        if (width != 1 && width != 2) return false;
        date.month = value;
        break;
      case Part::Year:
        if (width != 2 && width != 4) return false;
        date.year = value;
        twoDigitYear = width == 2;
        break;
    }
  }
  if (i != text.size() || date.month < 1 || date.month > 12 || date.day < 1) return false;
  if (twoDigitYear) date.year = LatestYearNotAfterToday(date.year, date.month, date.day);
  return date.day <= DaysInMonth(date.year, date.month);
}

std::string Padded(int value, int width) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < width) {
    text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
  }
  return text;
}

}  // namespace

void SetShortDateFormat(const std::string& pattern) { currentFormat = ParseFormat(pattern); }

std::string ShortDateFormat() {
  std::string pattern;
  for (std::size_t f = 0; f < 3; ++f) {
    if (f > 0) pattern += currentFormat.separator;
    const Field& field = currentFormat.fields[f];
    const char letter = field.part == Part::Day ? 'd' : field.part == Part::Month ? 'M' : 'y';
    pattern.append(static_cast<std::size_t>(field.width), letter);
  }
  return pattern;
}

std::string DateToText(const CalendarDate& date) {
  const Format& format = currentFormat;
  std::string text;
  for (std::size_t f = 0; f < format.fields.size(); ++f) {
    if (f > 0) text += format.separator;
    const Field& field = format.fields[f];
    switch (field.part) {
      case Part::Day:
        text += Padded(date.day, field.width);
        break;
      case Part::Month:
        text += Padded(date.month, field.width);
        break;
      case Part::Year:
        text += field.width == 2 ? Padded(date.year % 100, 2) : Padded(date.year, 4);
        break;
    }
  }
  return text;
}

CalendarDate TextToDate(const std::string& text) {
  CalendarDate date;
  if (!ReadDate(text, currentFormat, date)) throw DateConversionError(text);
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
