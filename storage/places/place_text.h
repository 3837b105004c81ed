// Place text as people write it, in the readings the lookup tries.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Place text as people write it, read in the ways the place lookup tries in
// turn. Every function takes text already folded (FoldPlaceName).

// The ends trimmed and each run of spaces made one.
std::string TidyPlaceText(std::string_view folded);

// Without spaces, hyphens and apostrophes: CORIGLIANO ROSSANO reads as
// CORIGLIANO-ROSSANO, SAN DONA DI PIAVE as SAN DONA' DI PIAVE.
std::string LoosePlaceText(std::string_view text);

// "S." or "S" before a word read as SAN, SANTO, SANTA and SANT', "SS." as
// SANTI and SANTISSIMO: every reading of tidy text, none when it has no such
// word.
std::vector<std::string> SaintReadings(std::string_view tidy);

// The two parts of a bilingual form, "A/B" or "A - B"; none for other text.
std::vector<std::string> BilingualParts(std::string_view tidy);

// A name and what its last " (...)" holds ("CASTRO (LE)": "CASTRO", "LE");
// the suffix is empty when there is none.
struct SuffixedName {
  std::string_view base;
  std::string_view suffix;
};
SuffixedName SplitPlaceSuffix(std::string_view name);

// A suffix naming a province: two letters, but not "EE" (foreign places).
bool IsProvinceSuffix(std::string_view suffix);

// A cadastral code as typed: a letter and three digits.
bool LooksLikePlaceCode(std::string_view tidy);
