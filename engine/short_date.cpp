#include "engine/short_date.h"

#include <array>
#include <cctype>
#include <stdexcept>
#include <vector>

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

// The latest year ending in `twoDigits` that does not put day and month after today.
int BirthYear(int twoDigits, int month, int day) {
  const CalendarDate today = Today();
  int year = today.year - ((today.year % 100 - twoDigits + 100) % 100);
  if (CalendarDate{year, month, day} > today) year -= 100;
  return year;
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
  const Format& format = CurrentFormat();
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
  for (std::size_t f = 0; f < 3; ++f) {
    const std::string& piece = pieces[f];
    const Part part = format.fields[f].part;
    const bool fits = part == Part::Year ? (piece.size() == 2 || piece.size() == 4)
                                         : (piece.size() == 1 || piece.size() == 2);
    if (!fits) throw DateConversionError(text);
    const int value = std::stoi(piece);
    if (part == Part::Day) date.day = value;
    if (part == Part::Month) date.month = value;
    if (part == Part::Year) date.year = value;
  }
  const bool twoDigitYear = format.fields[0].part == Part::Year   ? pieces[0].size() == 2
                            : format.fields[1].part == Part::Year ? pieces[1].size() == 2
                                                                  : pieces[2].size() == 2;
  if (twoDigitYear) date.year = BirthYear(date.year, date.month, date.day);
  if (date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > DaysInMonth(date.year, date.month)) {
    throw DateConversionError(text);
  }
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
