// A date being typed into the date picker, part by part.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/calendar_date.h"
#include "engine/date_reading.h"

// The picker's text while a date is typed into it, as the platform's picker
// takes it: the parts (day, month and year in the pattern's order) are
// typed one after the other; a part's first digit replaces what it held,
// and the part is done at its full width or as soon as no further digit
// could follow (a day from 4, a month from 2), the next part becoming
// current. The text may hold no date while it is typed (31/02 before the
// month is 03): it is only ever read whole.
class DateTyping {
 public:
  // `shown` is the picker's text, in `pattern`; typing starts in `part`
  // (0 to 2, in the order the text writes them).
  DateTyping(const DatePattern& pattern, std::string_view shown, int part);

  // A digit into the current part; true when that part is then done and
  // the next one current (a separator typed right after means nothing).
  bool Digit(char digit);
  // The current part done; the next one current, if there is one.
  void Separator();
  // The last digit typed into the current part goes; with none typed, what
  // the part held.
  void Erase();
  // The current part done, and `part` current.
  void Select(int part);
  // The part being typed done (a single digit written at its width).
  void Finish();

  const std::string& Text() const { return text_; }
  int Part() const { return current_; }
  // Where a part stands in the text.
  std::size_t PartStart(int part) const;
  std::size_t PartLength(int part) const;
  // The part at a place in the text (a separator belongs to the part before).
  int PartAt(std::size_t position) const;
  // A part is being typed and may take more digits.
  bool Open() const { return typed_[current_] > 0 && !done_[current_]; }
  // What the text reads as, a two-digit year in the century of a birth
  // date; none while it is no date.
  std::optional<CalendarDate> Date() const;

 private:
  void Show();
  int Width(int part) const;

  DatePattern pattern_;
  std::array<std::string, 3> parts_;
  std::array<int, 3> typed_{};  // digits typed into each part
  std::array<bool, 3> done_{};
  int current_ = 0;
  std::string text_;
};
