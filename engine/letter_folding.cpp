#include "engine/letter_folding.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "engine/ascii_case.h"

namespace {

struct FoldRange {
  char32_t first;
  char32_t last;
  const char* letters;  // upper case
};

// Letters with marks, upper and lower case alike; × and ÷ are not letters.
constexpr FoldRange kFolds[] = {
    {0xC0, 0xC5, "A"},
    {0xC6, 0xC6, "AE"},
    {0xC7, 0xC7, "C"},
    {0xC8, 0xCB, "E"},
    {0xCC, 0xCF, "I"},
    {0xD0, 0xD0, "D"},
    {0xD1, 0xD1, "N"},
    {0xD2, 0xD6, "O"},
    {0xD8, 0xD8, "O"},
    {0xD9, 0xDC, "U"},
    {0xDD, 0xDD, "Y"},
    {0xDE, 0xDE, "TH"},
    {0xDF, 0xDF, "SS"},
    {0xE0, 0xE5, "A"},
    {0xE6, 0xE6, "AE"},
    {0xE7, 0xE7, "C"},
    {0xE8, 0xEB, "E"},
    {0xEC, 0xEF, "I"},
    {0xF0, 0xF0, "D"},
    {0xF1, 0xF1, "N"},
    {0xF2, 0xF6, "O"},
    {0xF8, 0xF8, "O"},
    {0xF9, 0xFC, "U"},
    {0xFD, 0xFD, "Y"},
    {0xFE, 0xFE, "TH"},
    {0xFF, 0xFF, "Y"},
    {0x100, 0x105, "A"},
    {0x106, 0x10D, "C"},
    {0x10E, 0x111, "D"},
    {0x112, 0x11B, "E"},
    {0x11C, 0x123, "G"},
    {0x124, 0x127, "H"},
    {0x128, 0x131, "I"},
    {0x132, 0x133, "IJ"},
    {0x134, 0x135, "J"},
    {0x136, 0x138, "K"},
    {0x139, 0x142, "L"},
    {0x143, 0x148, "N"},
    {0x149, 0x149, "N"},
    {0x14A, 0x14B, "N"},
    {0x14C, 0x151, "O"},
    {0x152, 0x153, "OE"},
    {0x154, 0x159, "R"},
    {0x15A, 0x161, "S"},
    {0x162, 0x167, "T"},
    {0x168, 0x173, "U"},
    {0x174, 0x175, "W"},
    {0x176, 0x178, "Y"},
    {0x179, 0x17E, "Z"},
    {0x17F, 0x17F, "S"},
    // Romanian S and T with comma below, written in place of Ş and Ţ.
    {0x218, 0x219, "S"},
    {0x21A, 0x21B, "T"},
};

// The folded letters of a code point, or nullptr when it is not a letter the
// folding knows.
const char* FoldedLetters(char32_t c) {
  static constexpr const char* kAscii[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I",
                                           "J", "K", "L", "M", "N", "O", "P", "Q", "R",
                                           "S", "T", "U", "V", "W", "X", "Y", "Z"};
  if (c >= 'A' && c <= 'Z') return kAscii[c - 'A'];
  if (c >= 'a' && c <= 'z') return kAscii[c - 'a'];
  for (const FoldRange& range : kFolds) {
    if (c >= range.first && c <= range.last) return range.letters;
  }
  return nullptr;
}

bool IsCombiningMark(char32_t c) { return c >= 0x300 && c <= 0x36F; }

// What a word processor or a web page writes in place of a plain character,
// and an accent typed as a mark of its own, where an apostrophe was meant
// (FORLI` or FORLI´ for FORLI'): the plain character; any other unchanged.
char32_t PlainForm(char32_t c) {
  switch (c) {
    case 0x60:    // `
    case 0xB4:    // ´
    case 0x2BC:   // ʼ
    case 0x2CA:   // ˊ
    case 0x2CB:   // ˋ
    case 0x2018:  // ‘
    case 0x2019:  // ’
    case 0x201A:  // ‚
    case 0x201B:  // ‛
      return '\'';
    case 0x201C:  // “
    case 0x201D:  // ”
    case 0x201E:  // „
    case 0x201F:  // ‟
      return '"';
    case 0xA0:  // a space that does not break
      return ' ';
    case 0x2010:  // ‐
    case 0x2011:  // ‑
    case 0x2013:  // –
      return '-';
    default:
      return c;
  }
}

bool IsVowel(char c) { return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U'; }

// The next code point of well-formed UTF-8 from `at`, which moves past it;
// a byte that starts no well-formed sequence is skipped and gives nothing.
bool NextCodePoint(std::string_view text, std::size_t& at, char32_t& c) {
  while (at < text.size()) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t least = 0;
    if (lead < 0x80) {
      c = lead;
      ++at;
      return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, value = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, value = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, value = lead & 0x07, least = 0x10000;
    }
    bool ok = length > 0 && at + length <= text.size();
    for (std::size_t k = 1; ok && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[at + k]);
      ok = (next & 0xC0) == 0x80;
      value = value << 6 | (next & 0x3F);
    }
    ok = ok && value >= least && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF);
    if (ok) {
      c = value;
      at += length;
      return true;
    }
    ++at;
  }
  return false;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// ASCII that the folding leaves as it is but for case: every byte but the
// backtick, an accent typed as a mark of its own.
bool IsPlainAscii(std::string_view text) {
  return std::ranges::all_of(
      text, [](char c) { return static_cast<unsigned char>(c) < 0x80 && c != '`'; });
}

}  // namespace

std::string_view FoldNameLettersIfNeeded(std::string_view utf8, std::string& folded) {
  if (IsPlainAscii(utf8)) return utf8;
  folded = FoldNameLetters(utf8);
  return folded;
}

std::string FoldNameLetters(std::string_view utf8) {
  // Most names are plain ASCII, which folds to itself upper-cased.
  if (IsPlainAscii(utf8)) return UpperAscii(utf8);
  std::string folded;
  folded.reserve(utf8.size());
  std::size_t at = 0;
  char32_t c = 0;
  while (NextCodePoint(utf8, at, c)) {
    c = PlainForm(c);
    if (const char* letters = FoldedLetters(c)) {
      folded += letters;
    } else if (c < 0x80) {
      folded += static_cast<char>(c);
    }
  }
  return folded;
}

std::string FoldPlaceName(std::string_view utf8) {
  std::string folded;
  folded.reserve(utf8.size() + 4);
  // A vowel waiting to learn whether its word ends after it: it takes the
  // apostrophe when it was written with a mark.
  bool pendingAccent = false;
  bool afterVowel = false;  // the last output is a single vowel, marks may follow
  std::size_t at = 0;
  char32_t c = 0;
  while (NextCodePoint(utf8, at, c)) {
    c = PlainForm(c);
    if (IsCombiningMark(c)) {
      if (afterVowel) pendingAccent = true;
      continue;
    }
    const char* letters = FoldedLetters(c);
    if (pendingAccent && !letters && c != '\'') folded += '\'';
    pendingAccent = false;
    afterVowel = false;
    if (letters) {
      folded += letters;
      const bool single = letters[1] == '\0';
      afterVowel = single && IsVowel(letters[0]);
      pendingAccent = afterVowel && c >= 0x80;
    } else {
      AppendUtf8(folded, c);
    }
  }
  if (pendingAccent) folded += '\'';
  return folded;
}
