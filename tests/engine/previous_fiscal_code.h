// The computation as it was before its fixed-buffer rewrite.
#pragma once

#include <string>

// The computation as it was before the fixed-buffer rewrite, kept to check
// the rewrite against over random persons: same codes, same exceptions.
std::string PreviousFiscalCode(const std::string& surname, const std::string& name,
                               const std::string& birthDateText, const std::string& sexLetter,
                               const std::string& municipalityCode);
