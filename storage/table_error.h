// The error storage throws, carrying the text the user is shown.
#pragma once

#include <stdexcept>

// Raised by the table file and the table cursor; what() is the exact text the
// user is shown.
class TableError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
