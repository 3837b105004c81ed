// The place table built from the registry's archive and the table in use.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The place table (comuni.dat) built from the registry's archive of
// municipalities and the table in use, by the rules data/README.md gives: one
// record for each name under which a code was in use (official Italian names
// of every period and names in the other official language), homonyms of one
// time told apart by province or code, foreign places kept from the table in
// use. The shipped table and the user's update are built by these same rules.

inline constexpr std::string_view kPlaceTableHeader = "comuni,Code,Prov,Dal,Al,Lingua";
// The Lingua of a name in the other official language; empty for the
// official Italian name and for foreign places.
inline constexpr std::string_view kOtherLanguage = "altra";

struct PlaceTableRecord {
  std::string name;
  std::string code;
  std::string province;
  std::string from;   // first day, yyyy-mm-dd
  std::string until;  // last day; empty while in use
  std::string language;

  friend bool operator==(const PlaceTableRecord&, const PlaceTableRecord&) = default;
};

enum class PlaceTableSource {
  // The table the program ships: what the registry's file lacks, or what is
  // newer in the table in use, is kept from the table in use.
  Shipped,
  // The user's update: only the foreign places come from the table in use.
  Update,
};

struct PlaceTableReport {
  // Records by kind.
  int officialNames = 0;  // each municipality code's latest official name
  int oldNames = 0;       // official names a code had before its latest
  int otherLanguageNames = 0;
  int foreign = 0;
  int withoutCode = 0;  // registry rows without a code, left out
  // Against the table in use, by municipality code: codes it does not hold;
  // codes it holds in use that are no longer in use; codes in use in both
  // whose name in use differs.
  int added = 0;
  int ceased = 0;
  int renamed = 0;
  // One line for each overlap of one name in one province that was resolved.
  std::vector<std::string> overlapsResolved;
};

struct PlaceTable {
  std::vector<PlaceTableRecord> records;  // sorted by name in byte order, then date
  PlaceTableReport report;

  // The header and a line for each record, without line ends.
  std::vector<std::string> Lines() const;
};

// The file is not the registry's archive (a needed column is missing).
struct RegistryNotRecognized {};
// The file lacks municipality codes of the table in use, in code order.
struct RegistryLacksCodes {
  std::vector<std::string> codes;
};

using PlaceTableBuild = std::variant<PlaceTable, RegistryNotRecognized, RegistryLacksCodes>;

// "File non riconosciuto: <path>" or "Il file non contiene i comuni: ..." (at
// most ten codes, then " e altri <N>").
std::string RefusalText(const RegistryNotRecognized&, const std::string& path);
std::string RefusalText(const RegistryLacksCodes& refusal);

// `tableInUse` holds the lines of the comuni.dat in use, header first.
// `registryDay` is the day the registry's file shows (for Shipped, a name the
// table in use knows and the file does not begins the day after); empty, the
// latest day the file's rows name.
PlaceTableBuild BuildPlaceTable(std::string_view registry,
                                const std::vector<std::string>& tableInUse, PlaceTableSource source,
                                std::string registryDay = {});
