// The values each character adds to a fiscal code's check letter.
#pragma once

#include <array>
#include <cstdint>

// What each byte adds to the check letter's sum in odd places (1st, 3rd, ...)
// and in even places. A byte outside the check alphabet (0-9, A-Z) adds
// kOutside, which no sum of fifteen real values reaches, so one comparison
// at the end finds it.
struct CheckValues {
  static constexpr std::int16_t kOutside = 1024;

  std::array<std::int16_t, 256> odd{};
  std::array<std::int16_t, 256> even{};

  constexpr CheckValues() {
    constexpr std::int16_t kOddLetters[26] = {1,  0,  5, 7, 9, 13, 15, 17, 19, 21, 2,  4,  18,
                                              20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};
    odd.fill(kOutside);
    even.fill(kOutside);
    for (int k = 0; k < 26; ++k) {
      odd['A' + k] = kOddLetters[k];
      even['A' + k] = static_cast<std::int16_t>(k);
    }
    // A digit is worth what the letter at its place is worth (0 as A).
    for (int k = 0; k < 10; ++k) {
      odd['0' + k] = kOddLetters[k];
      even['0' + k] = static_cast<std::int16_t>(k);
    }
  }
};

inline constexpr CheckValues kCheckValues;

// The check letter of the first 15 characters at `body`, or '\0' when one is
// outside the check alphabet.
inline char CheckLetter(const char* body) {
  int sum = 0;
  for (int k = 0; k < 15; k += 2) sum += kCheckValues.odd[static_cast<unsigned char>(body[k])];
  for (int k = 1; k < 15; k += 2) sum += kCheckValues.even[static_cast<unsigned char>(body[k])];
  return sum < CheckValues::kOutside ? static_cast<char>('A' + sum % 26) : '\0';
}
