#include "storage/places/place_text.h"

#include <algorithm>
#include <array>

namespace {

bool IsLoose(char c) { return c == ' ' || c == '-' || c == '\''; }

std::vector<std::string_view> Words(std::string_view tidy) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at <= tidy.size()) {
    const std::size_t end = std::min(tidy.find(' ', at), tidy.size());
    if (end > at) words.push_back(tidy.substr(at, end - at));
    at = end + 1;
  }
  return words;
}

// The readings of one word: itself when it is no abbreviation.
std::vector<std::string> WordReadings(std::string_view word) {
  static constexpr std::array<std::string_view, 4> kSaint{"SAN ", "SANTO ", "SANTA ", "SANT'"};
  static constexpr std::array<std::string_view, 2> kSaints{"SANTI ", "SANTISSIMO "};
  std::string_view rest;
  const auto readings = [&rest](auto&& fulls) {
    std::vector<std::string> all;
    for (std::string_view full : fulls) {
      std::string reading(full);
      reading += rest;
      while (!reading.empty() && reading.back() == ' ') reading.pop_back();
      all.push_back(std::move(reading));
    }
    return all;
  };
  // "S.GIOVANNI" is read as "S. GIOVANNI".
  if (word == "S" || word.starts_with("S.")) {
    rest = word.substr(word == "S" ? 1 : 2);
    return readings(kSaint);
  }
  if (word == "SS" || word.starts_with("SS.")) {
    rest = word.substr(word == "SS" ? 2 : 3);
    return readings(kSaints);
  }
  return {std::string(word)};
}

}  // namespace

std::string TidyPlaceText(std::string_view folded) {
  std::string tidy;
  tidy.reserve(folded.size());
  for (const char c : folded) {
    if (c == ' ' && (tidy.empty() || tidy.back() == ' ')) continue;
    tidy += c;
  }
  if (!tidy.empty() && tidy.back() == ' ') tidy.pop_back();
  return tidy;
}

std::string LoosePlaceText(std::string_view text) {
  std::string loose;
  loose.reserve(text.size());
  for (const char c : text) {
    if (!IsLoose(c)) loose += c;
  }
  return loose;
}

std::vector<std::string> SaintReadings(std::string_view tidy) {
  // Too many abbreviations in one text are no place name; a handful is.
  constexpr std::size_t kMostReadings = 64;
  std::vector<std::string> readings{std::string()};
  bool abbreviated = false;
  for (const std::string_view word : Words(tidy)) {
    const std::vector<std::string> ways = WordReadings(word);
    abbreviated = abbreviated || ways.size() > 1;
    std::vector<std::string> longer;
    for (const std::string& before : readings) {
      for (const std::string& way : ways) {
        if (longer.size() == kMostReadings) break;
        longer.push_back(before.empty() ? way : before + ' ' + way);
      }
    }
    readings = std::move(longer);
  }
  return abbreviated ? readings : std::vector<std::string>{};
}

std::vector<std::string> BilingualParts(std::string_view tidy) {
  for (const std::string_view between : {std::string_view("/"), std::string_view(" - ")}) {
    const std::size_t at = tidy.find(between);
    if (at == std::string_view::npos) continue;
    std::string first = TidyPlaceText(tidy.substr(0, at));
    std::string second = TidyPlaceText(tidy.substr(at + between.size()));
    if (first.empty() || second.empty()) continue;
    return {std::move(first), std::move(second)};
  }
  return {};
}

SuffixedName SplitPlaceSuffix(std::string_view name) {
  const std::size_t open = name.rfind(" (");
  if (open == std::string_view::npos || name.back() != ')') return {name, {}};
  return {name.substr(0, open), name.substr(open + 2, name.size() - open - 3)};
}

bool IsProvinceSuffix(std::string_view suffix) {
  const auto letter = [](char c) { return c >= 'A' && c <= 'Z'; };
  return suffix.size() == 2 && letter(suffix[0]) && letter(suffix[1]) && suffix != "EE";
}

bool LooksLikePlaceCode(std::string_view tidy) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return tidy.size() == 4 && tidy[0] >= 'A' && tidy[0] <= 'Z' && digit(tidy[1]) && digit(tidy[2]) &&
         digit(tidy[3]);
}
