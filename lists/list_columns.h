// A list's columns found by the names offices give them.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The columns of a list that the commands over lists read and fill, found by
// name as offices write them: case, accents, spaces and underscores aside,
// and with the usual Italian names ("Sesso", "Luogo di nascita", "Codice
// fiscale", "CF").
enum class ListField { Surname, Name, Sex, Place, BirthDate, Code, Error, Verdict, Detail };
inline constexpr std::size_t kListFieldCount = 9;

// The name a filled column is added with when the list lacks it.
std::string_view ListFieldName(ListField field);

struct ListColumns {
  std::array<int, kListFieldCount> at{};  // the column of each field, -1 when none
  // Not empty when two columns of the same rank name one field: the list
  // cannot be read, and this says which.
  std::string refusal;

  int operator[](ListField field) const { return at[static_cast<std::size_t>(field)]; }
};

// "Luogo di nascita" or "Comune di nascita" wins over "Comune", "Data di
// nascita" over "Data".
ListColumns FindListColumns(const std::vector<std::string_view>& header);
