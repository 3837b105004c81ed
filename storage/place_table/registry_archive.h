// The registry's archive of municipalities, read.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The national resident population registry's archive of municipalities
// (ANPR_archivio_comuni.csv): one row per municipality per period in which its
// name, code or province stayed the same. Columns are found by name, so their
// order and quoting do not matter.

// One row, its names written by the place table's rules.
struct RegistryPeriod {
  std::string code;
  std::string from;   // first day
  std::string until;  // last day; empty while in use
  std::string name;   // the official Italian name
  // The name in the other official language; empty when there is none or it
  // is the Italian one.
  std::string otherName;
  std::string province;
};

struct RegistryArchive {
  std::vector<RegistryPeriod> periods;
  int withoutCode = 0;    // rows whose code is "ND", left out
  std::string latestDay;  // the latest day the rows name, updates included
};

// A name as the place table writes it: upper-case ASCII letters, a final
// accented vowel as the vowel and an apostrophe (FIÈ → FIE'), other accented
// letters as their plain letter, blanks made single and trimmed, a full stop
// at the end dropped.
std::string PlaceTableName(std::string_view utf8);

// No value when the text is not that file: no header, a needed column
// missing, or a day that is not yyyy-mm-dd.
std::optional<RegistryArchive> ReadRegistryArchive(std::string_view text);
