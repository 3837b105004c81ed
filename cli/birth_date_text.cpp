#include "cli/birth_date_text.h"

#include "engine/today.h"

namespace {

// Digits from `pos`, at least `min` and at most `max`; -1 when not there.
int ReadNumber(std::string_view text, std::size_t& pos, std::size_t min, std::size_t max) {
  std::size_t count = 0;
  int value = 0;
  while (pos < text.size() && count < max && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + (text[pos] - '0');
    ++pos;
    ++count;
  }
  return count >= min ? value : -1;
}

bool Expect(std::string_view text, std::size_t& pos, char separator) {
  if (pos >= text.size() || text[pos] != separator) return false;
  ++pos;
  return true;
}

}  // namespace

std::optional<CalendarDate> ReadBirthDate(std::string_view text) {
  std::size_t pos = 0;
  CalendarDate date;
  if (text.size() == 10 && text[4] == '-') {
    date.year = ReadNumber(text, pos, 4, 4);
    if (!Expect(text, pos, '-')) return std::nullopt;
    date.month = ReadNumber(text, pos, 2, 2);
    if (!Expect(text, pos, '-')) return std::nullopt;
    date.day = ReadNumber(text, pos, 2, 2);
  } else {
    date.day = ReadNumber(text, pos, 1, 2);
    if (!Expect(text, pos, '/')) return std::nullopt;
    date.month = ReadNumber(text, pos, 1, 2);
    if (!Expect(text, pos, '/')) return std::nullopt;
    const std::size_t yearStart = pos;
    date.year = ReadNumber(text, pos, 2, 4);
    const std::size_t yearDigits = pos - yearStart;
    if (yearDigits == 3) return std::nullopt;
    if (date.year >= 0 && yearDigits == 2 && date.month >= 1 && date.month <= 12) {
      date.year = LatestYearNotAfterToday(date.year, date.month, date.day);
    }
  }
  if (pos != text.size() || date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > DaysInMonth(date.year, date.month)) {
    return std::nullopt;
  }
  return date;
}
