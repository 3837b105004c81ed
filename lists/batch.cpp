#include "lists/batch.h"

#include <sstream>

#include "lists/person_code.h"

ListOutcome ComputeList(const std::string& input, const std::string& output, PlaceRegister& places,
                        const ListWatch& watch) {
  long rows = 0, computed = 0;
  PersonError error;
  ListPass pass;
  pass.required = {ListField::Surname, ListField::Name, ListField::Sex, ListField::Place,
                   ListField::BirthDate};
  pass.missing = "Intestazione senza le colonne Cognome, Nome, Sex, Comune e Data";
  pass.filled = {ListField::Code, ListField::Error};
  pass.row = [&](const ListValues& row, std::vector<std::string>& out) {
    const PersonText person = PersonOfRow(row);
    ++rows;
    out[0].clear();
    out[1].clear();
    if (AppendPersonCode(person, places, out[0], error)) {
      ++computed;
    } else {
      out[1] = error.text;
    }
  };
  ListOutcome outcome = RunListPass(input, output, pass, watch);
  if (outcome.status != 0 || outcome.cancelled) return outcome;
  std::ostringstream summary;
  summary << "Righe lette: " << rows << ", codici calcolati: " << computed
          << ", righe con errori: " << rows - computed;
  outcome.summary = summary.str();
  outcome.status = computed == rows ? 0 : 1;
  return outcome;
}
