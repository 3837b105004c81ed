// A list's text encoding: UTF-8 checked, or Windows-1252 converted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Checks text for valid UTF-8 piece by piece: a sequence split between two
// pieces is carried over to the next one.
class Utf8Validator {
 public:
  void Feed(std::string_view piece);
  // Whether everything fed so far, ended there, is valid.
  bool Valid() const { return valid_ && pending_ == 0; }

 private:
  bool valid_ = true;
  int pending_ = 0;         // continuation bytes still expected
  unsigned char lead_ = 0;  // the lead byte of the open sequence, for its second byte's range
  bool second_ = false;     // the next byte is the sequence's second one
};

// Windows-1252 bytes as UTF-8, appended to `out`.
void AppendWindows1252AsUtf8(std::string_view text, std::string& out);
