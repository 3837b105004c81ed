#include "lists/list_columns.h"

#include <algorithm>

#include "engine/letter_folding.h"

namespace {

struct KnownName {
  ListField field;
  std::string_view key;  // folded, without spaces and underscores
  int rank;              // the higher wins
};

constexpr KnownName kKnownNames[] = {
    {ListField::Surname, "COGNOME", 1},
    {ListField::Name, "NOME", 1},
    {ListField::Sex, "SEX", 1},
    {ListField::Sex, "SESSO", 1},
    {ListField::Place, "COMUNE", 1},
    {ListField::Place, "LUOGODINASCITA", 2},
    {ListField::Place, "COMUNEDINASCITA", 2},
    {ListField::BirthDate, "DATA", 1},
    {ListField::BirthDate, "DATADINASCITA", 2},
    {ListField::Code, "CODICEFISCALE", 1},
    {ListField::Code, "CF", 1},
    {ListField::Error, "ERRORE", 1},
    {ListField::Verdict, "ESITO", 1},
    {ListField::Detail, "DETTAGLIO", 1},
};

constexpr std::string_view kAddedNames[kListFieldCount] = {
    "Cognome", "Nome", "Sex", "Comune", "Data", "CodiceFiscale", "Errore", "Esito", "Dettaglio"};

std::string KeyOf(std::string_view name) {
  std::string key = FoldNameLetters(name);
  std::erase_if(key, [](char c) { return c == ' ' || c == '_'; });
  return key;
}

}  // namespace

std::string_view ListFieldName(ListField field) {
  return kAddedNames[static_cast<std::size_t>(field)];
}

ListColumns FindListColumns(const std::vector<std::string_view>& header) {
  ListColumns columns;
  columns.at.fill(-1);
  std::array<int, kListFieldCount> rankOf{};
  std::array<std::string, kListFieldCount> ties;  // a higher rank found later settles a tie
  for (std::size_t i = 0; i < header.size(); ++i) {
    const std::string key = KeyOf(header[i]);
    const auto known = std::find_if(std::begin(kKnownNames), std::end(kKnownNames),
                                    [&](const KnownName& name) { return name.key == key; });
    if (known == std::end(kKnownNames)) continue;
    const auto field = static_cast<std::size_t>(known->field);
    if (known->rank < rankOf[field]) continue;
    if (known->rank == rankOf[field]) {
      if (ties[field].empty()) {
        ties[field] = "Due colonne per lo stesso dato: \"" +
                      std::string(header[columns.at[field]]) + "\" e \"" + std::string(header[i]) +
                      "\"";
      }
      continue;
    }
    ties[field].clear();
    rankOf[field] = known->rank;
    columns.at[field] = static_cast<int>(i);
  }
  for (const std::string& tie : ties) {
    if (!tie.empty() && columns.refusal.empty()) columns.refusal = tie;
  }
  return columns;
}
