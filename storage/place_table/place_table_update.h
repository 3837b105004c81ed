// The user's update of the place table from the registry's file.
#pragma once

#include <string>

// The user's update of the place table from a copy of the registry's archive
// of municipalities, the same for the window and the command line.

enum class PlaceUpdateOutcome {
  Updated,         // written; the updated table is to be read from now on
  AlreadyCurrent,  // the file changes nothing
  Refused,         // the table in use stays
};

struct PlaceUpdate {
  PlaceUpdateOutcome outcome = PlaceUpdateOutcome::Refused;
  std::string message;  // what the user is told, one line
};

// Builds the table from `registryPath` by the rules of the shipped table,
// keeping only the foreign places of `tableInUse`, and writes it in place of
// `updatedPath` at once (never half written) when it passes the shipped
// table's checks and differs from the table in use. Every refusal leaves
// both files as they were.
PlaceUpdate UpdatePlaceTable(const std::string& registryPath, const std::string& tableInUse,
                             const std::string& updatedPath);

// The latest day a place table names as any record's first or last day;
// empty when the file cannot be read or names none.
std::string LatestPlaceTableDay(const std::string& path);
