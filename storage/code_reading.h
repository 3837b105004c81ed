#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/fiscal_code_check.h"

class Places;

// What a code handed in says, as the lines the user reads: the check's
// verdict first ("Codice valido", or the first fault), then for a valid
// 16-character code "Sesso: M", "Data di nascita: <date>" (short date
// format), "Luogo di nascita: ..." and, for a homocode, "Omocodia: codice
// base <code>". The place is the record of the code valid on the birth date;
// a code no record has is "codice XNNN sconosciuto", one whose records all lie
// outside that date gives the latest name followed by " (codice non in uso
// alla data di nascita)". The table's cursor does not move.
struct CodeReading {
  CodeCheck check;
  std::vector<std::string> lines;  // bytes as the municipality table holds them
};

// `code` as typed (UTF-8), upper case.
CodeReading ReadCode(std::string_view code, Places& places);

// "Corrisponde ai dati inseriti" when `computed` (a code worked out from a
// person's data) or one of its homocodes is `code`, "Non corrisponde ai dati
// inseriti" otherwise.
std::string MatchLine(std::string_view code, const std::string& computed);
