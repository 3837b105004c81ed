// Date patterns, and dates read and written by one.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "engine/calendar_date.h"

// A date pattern: day ("d", "dd"), month ("M", "MM") and year ("yy", "yyyy")
// in any order, separated by one character that is no digit: "dd/MM/yyyy",
// "M/d/yyyy", "yyyy-MM-dd", "d.M.yyyy".
struct DatePattern {
  enum class Part : unsigned char { Day, Month, Year };
  struct Field {
    Part part;
    int width;  // letters in the pattern: 1 or 2 for day and month, 2 or 4 for the year
  };

  std::array<Field, 3> fields{};
  char separator = '\0';
  // Where the day, the month, the year and the two separators stand in a
  // text of full width (two digits, four for the year).
  std::size_t dayAt = 0, monthAt = 0, yearAt = 0, firstSeparatorAt = 0, secondSeparatorAt = 0;

  // Throws std::invalid_argument for a text that is no pattern.
  static constexpr DatePattern Parse(std::string_view pattern);
};

// The forms a date text is read in, handed to the reader by whoever reads,
// so that one reading does not depend on a setting made for another.
struct DateRules {
  DatePattern pattern;
  // Only full width: two digits for day and month, four for the year.
  bool fullWidthOnly = false;
  // yyyy-mm-dd read as well.
  bool isoToo = false;
  // Years before this one are refused.
  int firstYear = 0;
  // Separators read as the pattern's own, both of a text alike.
  std::string_view otherSeparators = {};

  // The pattern, each field of one or two digits (two or four for the year).
  static constexpr DateRules Pattern(std::string_view pattern) {
    return {DatePattern::Parse(pattern)};
  }
  // Only yyyy-mm-dd, as the tables store dates.
  static constexpr DateRules Iso() { return {DatePattern::Parse("yyyy-MM-dd"), true}; }
  // The command line's forms, whatever the desktop's: dd/mm/yyyy, d/m/yyyy,
  // dd/mm/yy, each also with "-" or "." as offices write them (03-04-1985,
  // 3.4.85), and yyyy-mm-dd, from year 1.
  static constexpr DateRules CommandLine() {
    return {DatePattern::Parse("d/M/yyyy"), false, true, 1, "-."};
  }
};

// Reads `text` by `rules` into `date`; false for anything else, an impossible
// day included (`date` then holds no meaning). Every date read is a birth
// date, so a two-digit year is the latest year ending in those digits that
// does not put the date after today (engine/today.h).
bool ReadDate(std::string_view text, const DateRules& rules, CalendarDate& date);

// The same, none for a text that is no date.
inline std::optional<CalendarDate> ReadDate(std::string_view text, const DateRules& rules) {
  CalendarDate date;
  if (!ReadDate(text, rules, date)) return std::nullopt;
  return date;
}

constexpr DatePattern DatePattern::Parse(std::string_view pattern) {
  const auto invalid = [&] {
    return std::invalid_argument("bad date pattern: " + std::string(pattern));
  };
  const auto isLetter = [](char c) { return c == 'd' || c == 'M' || c == 'y'; };
  DatePattern parsed;
  std::size_t i = 0;
  bool seen[3] = {false, false, false};
  for (std::size_t f = 0; f < 3; ++f) {
    if (f > 0) {
      if (i >= pattern.size() || isLetter(pattern[i])) throw invalid();
      if (f == 1) parsed.separator = pattern[i];
      if (pattern[i] != parsed.separator) throw invalid();
      ++i;
    }
    if (i >= pattern.size() || !isLetter(pattern[i])) throw invalid();
    const char letter = pattern[i];
    int width = 0;
    while (i < pattern.size() && pattern[i] == letter) ++i, ++width;
    const Part part = letter == 'd' ? Part::Day : letter == 'M' ? Part::Month : Part::Year;
    const bool fits = part == Part::Year ? (width == 2 || width == 4) : (width == 1 || width == 2);
    if (!fits || seen[static_cast<int>(part)]) throw invalid();
    seen[static_cast<int>(part)] = true;
    parsed.fields[f] = {part, width};
  }
  std::size_t at = 0;
  for (std::size_t f = 0; f < 3; ++f) {
    if (f == 1) parsed.firstSeparatorAt = at++;
    if (f == 2) parsed.secondSeparatorAt = at++;
    const Part part = parsed.fields[f].part;
    (part == Part::Day ? parsed.dayAt : part == Part::Month ? parsed.monthAt : parsed.yearAt) = at;
    at += part == Part::Year ? 4 : 2;
  }
  if (i != pattern.size() || (parsed.separator >= '0' && parsed.separator <= '9')) {
    throw invalid();
  }
  return parsed;
}

inline constexpr DateRules kIsoDates = DateRules::Iso();
inline constexpr DateRules kCommandLineDates = DateRules::CommandLine();
