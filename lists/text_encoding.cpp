#include "lists/text_encoding.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

}  // namespace

void Utf8Validator::Feed(std::string_view piece) {
  const char* const data = piece.data();
  const std::size_t size = piece.size();
  for (std::size_t i = 0; i < size; ++i) {
    // Outside a sequence, eight plain ASCII bytes are passed in one test.
    if (pending_ == 0) {
      std::uint64_t word;
      while (i + 8 <= size && (std::memcpy(&word, data + i, 8), (word & kHighBits) == 0)) i += 8;
      if (i == size) return;
    }
    const char c = data[i];
    if (!valid_) return;
    const auto byte = static_cast<unsigned char>(c);
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
}

namespace {

// 0x80..0x9F; the five bytes the code page leaves undefined read as their C1 controls.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

void AppendWindows1252AsUtf8(std::string_view text, std::string& out) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out.push_back(c);
      continue;
    }
    const char16_t point = byte < 0xA0 ? kHighControls[byte - 0x80] : char16_t{byte};
    if (point < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (point >> 6)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (point >> 12)));
      out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
    }
    out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
  }
}
