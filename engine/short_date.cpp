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

Format& CurrentFormat() {
  static Format format = ParseFormat("dd/MM/yyyy");
  return format;
}

// Reads the fields in place: this runs once for every code computed.
bool ReadDate(std::string_view text, const Format& format, CalendarDate& date) {
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

void SetShortDateFormat(const std::string& pattern) { CurrentFormat() = ParseFormat(pattern); }

std::string ShortDateFormat() { return CurrentFormat().pattern; }

std::string DateToText(const CalendarDate& date) {
  const Format& format = CurrentFormat();
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
  if (!ReadDate(text, CurrentFormat(), date)) throw DateConversionError(text);
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
