#include "lists/text_encoding.h"

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
