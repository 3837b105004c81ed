// The error of a text that does not read as a date.
#pragma once

#include <stdexcept>
#include <string>

// A text that does not read as a date; what() is "'<text>' is not a valid date".
class DateConversionError : public std::runtime_error {
 public:
  explicit DateConversionError(const std::string& text)
      : std::runtime_error("'" + text + "' is not a valid date") {}
};
