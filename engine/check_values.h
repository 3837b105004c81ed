#pragma once

#include <array>
#include <cstdint>

// The values the check letter adds up for each byte, in odd places (1st, 3rd,
// ...) and in even places; -1 for a byte outside the check alphabet (0-9, A-Z).
struct CheckValues {
  std::array<std::int8_t, 256> odd{};
  std::array<std::int8_t, 256> even{};

  constexpr CheckValues() {
    constexpr std::int8_t kOddLetters[26] = {1,  0,  5, 7, 9, 13, 15, 17, 19, 21, 2,  4,  18,
                                             20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};
    odd.fill(-1);
    even.fill(-1);
    for (int k = 0; k < 26; ++k) {
      odd['A' + k] = kOddLetters[k];
      even['A' + k] = static_cast<std::int8_t>(k);
    }
    // A digit is worth what the letter at its place is worth (0 as A).
    for (int k = 0; k < 10; ++k) {
      odd['0' + k] = kOddLetters[k];
      even['0' + k] = static_cast<std::int8_t>(k);
    }
  }
};

inline constexpr CheckValues kCheckValues;

// The check letter of the first 15 characters at `body`, or '\0' when one is
// outside the check alphabet.
inline char CheckLetter(const char* body) {
  int sum = 0;
  bool valid = true;
  for (int k = 0; k < 15; k += 2) {
    const int value = kCheckValues.odd[static_cast<unsigned char>(body[k])];
    valid &= value >= 0;
    sum += value;
  }
  for (int k = 1; k < 15; k += 2) {
    const int value = kCheckValues.even[static_cast<unsigned char>(body[k])];
    valid &= value >= 0;
    sum += value;
  }
  return valid ? static_cast<char>('A' + sum % 26) : '\0';
}
