// UTF-8 checked a piece at a time, and where it first goes wrong.
#pragma once

#include <cstddef>
#include <string_view>

// Checks text for valid UTF-8 piece by piece: a sequence split between two
// pieces is carried over to the next one.
class Utf8Validator {
 public:
  void Feed(std::string_view piece);
  // Whether everything fed so far, ended there, is valid.
  bool Valid() const { return valid_ && pending_ == 0; }
  // Where the first sequence that is not UTF-8 begins, counted in bytes from
  // the first fed; the size fed when everything is valid.
  std::size_t WrongAt() const { return valid_ && pending_ == 0 ? fed_ : wrongAt_; }

 private:
  bool valid_ = true;
  int pending_ = 0;          // continuation bytes still expected
  unsigned char lead_ = 0;   // the lead byte of the open sequence, for its second byte's range
  bool second_ = false;      // the next byte is the sequence's second one
  std::size_t fed_ = 0;      // bytes fed before the piece being read
  std::size_t wrongAt_ = 0;  // the open sequence's lead, then the wrong one's
};
