#include "engine/date_reading.h"

#include "engine/today.h"

namespace {

using Part = DatePattern::Part;

// Reads the common text, every field at its full width, without a scan:
// this runs once for every code computed. The eight digits are checked by
// one test: a byte that is no digit gives a value above 9, and 6 more sets
// a bit above the low four.
bool ReadFullWidth(std::string_view text, const DatePattern& pattern, CalendarDate& date) {
  const char* at = text.data();
  if (at[pattern.firstSeparatorAt] != pattern.separator ||
      at[pattern.secondSeparatorAt] != pattern.separator) {
    return false;
  }
  const auto digit = [at](std::size_t k) {
    return unsigned{static_cast<unsigned char>(at[k] - '0')};  // 0..255, no wrap past 6 more
  };
  const std::size_t d = pattern.dayAt, m = pattern.monthAt, y = pattern.yearAt;
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
bool ReadFields(std::string_view text, const DatePattern& pattern, CalendarDate& date) {
  std::size_t i = 0;
  bool twoDigitYear = false;
  for (std::size_t f = 0; f < 3; ++f) {
    if (f > 0) {
      if (i == text.size() || text[i] != pattern.separator) return false;
      ++i;
    }
    int value = 0;
    std::size_t width = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++width) {
      if (width == 4) return false;
      value = value * 10 + (text[i] - '0');
    }
    switch (pattern.fields[f].part) {
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

}  // namespace

bool ReadDate(std::string_view text, const DateRules& rules, CalendarDate& date) {
  const bool iso = rules.isoToo && text.size() == 10 && text[4] == '-';
  DatePattern pattern = iso ? kIsoDates.pattern : rules.pattern;
  if (!iso && !rules.otherSeparators.empty()) {
    const std::size_t at = text.find_first_not_of("0123456789");
    if (at != std::string_view::npos &&
        rules.otherSeparators.find(text[at]) != std::string_view::npos) {
      pattern.separator = text[at];
    }
  }
  bool read;
  // Full width is the only way to write ten characters.
  if (text.size() == 10) {
    read = ReadFullWidth(text, pattern, date);
  } else {
    read = !rules.fullWidthOnly && ReadFields(text, pattern, date);
  }
  return read && date.year >= rules.firstYear;
}
