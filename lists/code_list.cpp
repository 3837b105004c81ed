#include "lists/code_list.h"

#include <array>
#include <sstream>

#include "lists/row_check.h"

ListOutcome CheckList(const std::string& input, const std::string& output, PlaceRegister& places,
                      const ListWatch& watch) {
  RowChecker checker(places);
  std::array<long, 4> counts{};  // by RowVerdict
  ListPass pass;
  pass.required = {ListField::Code};
  pass.missing = "Intestazione senza la colonna CodiceFiscale";
  pass.filled = {ListField::Verdict, ListField::Detail};
  pass.row = [&](const ListValues& row, std::vector<std::string>& out) {
    const RowVerdict verdict =
        checker.Check(PersonOfRow(row), ValueOf(row, ListField::Code), out[1]);
    ++counts[static_cast<std::size_t>(verdict)];
    out[0] = VerdictText(verdict);
  };
  ListOutcome outcome = RunListPass(input, output, pass, watch);
  if (outcome.status != 0 || outcome.cancelled) return outcome;
  const long matches = counts[static_cast<std::size_t>(RowVerdict::Matches)];
  const long differs = counts[static_cast<std::size_t>(RowVerdict::Differs)];
  const long valid = counts[static_cast<std::size_t>(RowVerdict::Valid)];
  const long invalid = counts[static_cast<std::size_t>(RowVerdict::Invalid)];
  std::ostringstream summary;
  summary << "Righe lette: " << matches + differs + valid + invalid
          << ", corrispondono: " << matches << ", non corrispondono: " << differs
          << ", valide: " << valid << ", non valide: " << invalid;
  outcome.summary = summary.str();
  outcome.status = differs + invalid == 0 ? 0 : 1;
  return outcome;
}
