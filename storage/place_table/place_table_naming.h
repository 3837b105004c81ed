// How the place table's records get their names.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "storage/place_table/place_table_builder.h"

// How the records of the place table get their names. Two places of one name
// at the same time are told apart: a municipality in use keeps the plain name
// (two in use both take their province), any other record takes " (PROV)", or
// " (CODE)" where the province is the same too. Records of one name at
// different times keep it and are told apart by date. A name in use never
// changes: where a new municipality takes the name of one in use, the one in
// use keeps it plain (`plainNamesInUse`: code and name, from the table in use)
// and the new one is named as a record not in use.

struct PlaceToName {
  PlaceTableRecord record;  // record.name is set by NamePlaces unless kept
  std::string base;         // the name without any suffix
  bool keepsName = false;   // named already (foreign places, as the table has them)
};

// The name without the " (PROV)" or " (CODE)" a table gave it.
std::string BaseName(const PlaceTableRecord& record);

// Where one name in one province has an older record that ends after a newer
// one of another code begins (and before the newer one ends), the older one
// ends the day before. One line for each, "NAME: CODE until DAY and CODE from
// DAY".
std::vector<std::string> ResolveOverlaps(std::vector<PlaceToName>& places);

void NamePlaces(std::vector<PlaceToName>& places,
                const std::set<std::pair<std::string, std::string>>& plainNamesInUse);
