// The common written forms of place names, built into the programs.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

// The common written forms of places (data/nomi-comuni.dat, built into the
// programs): REGGIO CALABRIA for REGGIO DI CALABRIA, URSS for UNIONE
// SOVIETICA. Each form stands for one or more names of the place table.
class CommonPlaceNames {
 public:
  // The forms of the text given, a table with the columns "Forma" (as
  // written), "Comuni" (names of the place table, separated by ";") and
  // "Fonte"; lines without a form or a name are passed over.
  explicit CommonPlaceNames(std::string_view text);
  // The forms built into the programs, read once.
  static const CommonPlaceNames& BuiltIn();

  // The names a form stands for, the form compared as LoosePlaceText
  // reads it; none when it is no common form.
  std::span<const std::string> NamesOf(std::string_view loose) const;
  // Every name of the forms whose loose reading begins with `loose`.
  std::vector<std::string> NamesOfFormsStartingWith(std::string_view loose) const;

 private:
  struct Form {
    std::string loose;
    std::vector<std::string> names;
  };
  std::vector<Form> forms_;  // by loose reading
};
