#include "cli/row_check.h"

#include "engine/ascii_case.h"
#include "engine/fiscal_code_check.h"

namespace {

bool IsBlank(std::string_view text) {
  for (const char c : text) {
    if (c != ' ' && c != '\t') return false;
  }
  return true;
}

}  // namespace

std::string_view VerdictText(RowVerdict verdict) {
  switch (verdict) {
    case RowVerdict::Matches:
      return "corrisponde";
    case RowVerdict::Differs:
      return "non corrisponde";
    case RowVerdict::Valid:
      return "valido";
    case RowVerdict::Invalid:
      break;
  }
  return "non valido";
}

RowVerdict RowChecker::Check(const PersonText& person, std::string_view code, std::string& detail) {
  detail.clear();
  code_.assign(code);
  for (char& c : code_) c = UpperAscii(c);
  const CodeCheck check = CheckFiscalCode(code_);
  if (!check.Valid()) {
    detail = CodeCheckText(check);
    return RowVerdict::Invalid;
  }
  const std::pair<std::string_view, const char*> fields[] = {{person.surname, "Cognome"},
                                                             {person.name, "Nome"},
                                                             {person.sex, "Sesso"},
                                                             {person.date, "Data di nascita"},
                                                             {person.place, "Luogo di nascita"}};
  int missing = 0;
  for (const auto& [value, field] : fields) {
    if (!IsBlank(value)) continue;
    detail.append(missing++ == 0 ? "Dati mancanti: " : ", ").append(field);
  }
  if (missing == 5) {
    detail.clear();
    return RowVerdict::Valid;
  }
  if (missing > 0) return RowVerdict::Differs;
  computed_.clear();
  if (!AppendPersonCode(person, places_, computed_, error_)) {
    detail = error_.text;
    return RowVerdict::Differs;
  }
  if (MatchesComputedCode(code_, computed_)) return RowVerdict::Matches;
  detail = "Non corrisponde ai dati inseriti";
  return RowVerdict::Differs;
}
