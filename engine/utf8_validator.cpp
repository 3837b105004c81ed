#include "engine/utf8_validator.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

}  // namespace

void Utf8Validator::Feed(std::string_view piece) {
  if (!valid_) return;
  const char* const data = piece.data();
  const std::size_t size = piece.size();
  for (std::size_t i = 0; i < size; ++i) {
    // Outside a sequence, eight plain ASCII bytes are passed in one test.
    if (pending_ == 0) {
      std::uint64_t word;
      while (i + 8 <= size && (std::memcpy(&word, data + i, 8), (word & kHighBits) == 0)) i += 8;
      if (i == size) break;
    }
    const auto byte = static_cast<unsigned char>(data[i]);
    if (pending_ > 0) {
      unsigned char low = 0x80;
      unsigned char high = 0xBF;
      if (second_) {
        // Overlong forms, surrogates and code points past U+10FFFF.
        if (lead_ == 0xE0) low = 0xA0;
        if (lead_ == 0xED) high = 0x9F;
        if (lead_ == 0xF0) low = 0x90;
        if (lead_ == 0xF4) high = 0x8F;
        second_ = false;
      }
      if (byte < low || byte > high) {
        valid_ = false;
        return;
      }
      --pending_;
    } else if (byte >= 0x80) {
      wrongAt_ = fed_ + i;
      if (byte >= 0xC2 && byte <= 0xDF) {
        pending_ = 1;
      } else if (byte >= 0xE0 && byte <= 0xEF) {
        pending_ = 2;
      } else if (byte >= 0xF0 && byte <= 0xF4) {
        pending_ = 3;
      } else {
        valid_ = false;
        return;
      }
      lead_ = byte;
      second_ = true;
    }
  }
  fed_ += size;
}
