#include "engine/short_date.h"

#include <cctype>

#include "engine/date_reading.h"

namespace {

using Part = DatePattern::Part;

// Set before any code runs, so reading it costs no guard.
constinit DateRules currentRules = DateRules::Pattern("dd/MM/yyyy");

std::string Padded(int value, int width) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < width) {
    text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
  }
  return text;
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
  std::string text;
  for (std::size_t f = 0; f < format.fields.size(); ++f) {
    if (f > 0) text += format.separator;
    const DatePattern::Field& field = format.fields[f];
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
