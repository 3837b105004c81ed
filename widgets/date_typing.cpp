#include "widgets/date_typing.h"

namespace {

using Part = DatePattern::Part;

}  // namespace

DateTyping::DateTyping(const DatePattern& pattern, std::string_view shown, int part)
    : pattern_(pattern), current_(part) {
  std::size_t at = 0;
  for (std::size_t p = 0; p < parts_.size(); ++p) {
    const std::size_t end =
        p + 1 < parts_.size() ? shown.find(pattern.separator, at) : shown.size();
    if (end == std::string_view::npos) break;
    parts_[p] = std::string(shown.substr(at, end - at));
    at = end + 1;
  }
  Show();
}

int DateTyping::Width(int part) const { return pattern_.fields[part].width; }

bool DateTyping::Digit(char digit) {
  std::string& typed = parts_[current_];
  if (done_[current_] || typed_[current_] == 0) {
    typed.assign(1, digit);
    typed_[current_] = 1;
    done_[current_] = false;
  } else {
    typed += digit;
    ++typed_[current_];
  }
  const int count = typed_[current_];
  bool full = false;
  switch (pattern_.fields[current_].part) {
    case Part::Day:
      full = count == 2 || digit >= '4';
      break;
    case Part::Month:
      full = count == 2 || digit >= '2';
      break;
    case Part::Year:
      full = count == Width(current_);
      break;
  }
  if (full) {
    Finish();
    if (current_ + 1 < static_cast<int>(parts_.size())) ++current_;
  }
  Show();
  return full;
}

void DateTyping::Separator() {
  Finish();
  if (current_ + 1 < static_cast<int>(parts_.size())) ++current_;
  Show();
}

void DateTyping::Erase() {
  std::string& typed = parts_[current_];
  if (Open()) {
    typed.pop_back();
    --typed_[current_];
  } else {
    typed.clear();
    typed_[current_] = 0;
    done_[current_] = false;
  }
  Show();
}

void DateTyping::Select(int part) {
  Finish();
  current_ = part;
  Show();
}

void DateTyping::Finish() {
  if (!Open()) return;
  std::string& typed = parts_[current_];
  // A day or a month of one digit in a pattern that writes two.
  if (pattern_.fields[current_].part != Part::Year && Width(current_) == 2 && typed.size() == 1) {
    typed.insert(typed.begin(), '0');
  }
  done_[current_] = true;
  Show();
}

std::size_t DateTyping::PartStart(int part) const {
  std::size_t at = 0;
  for (int p = 0; p < part; ++p) at += parts_[p].size() + 1;
  return at;
}

std::size_t DateTyping::PartLength(int part) const { return parts_[part].size(); }

int DateTyping::PartAt(std::size_t position) const {
  for (int p = 0; p + 1 < static_cast<int>(parts_.size()); ++p) {
    if (position <= PartStart(p) + PartLength(p)) return p;
  }
  return static_cast<int>(parts_.size()) - 1;
}

std::optional<CalendarDate> DateTyping::Date() const {
  const DateRules rules{pattern_};
  return ReadDate(text_, rules);
}

void DateTyping::Show() {
  text_.clear();
  for (std::size_t p = 0; p < parts_.size(); ++p) {
    if (p > 0) text_ += pattern_.separator;
    text_ += parts_[p];
  }
}
