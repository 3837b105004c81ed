// A place lookup's answer: the record found, or why there is none.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/calendar_date.h"

class TLbCsv;

// The days a record of the place table stands for; an empty end is no end.
struct PlacePeriod {
  std::optional<CalendarDate> from;
  std::optional<CalendarDate> to;

  bool Contains(const CalendarDate& date) const {
    return (!from || *from <= date) && (!to || date <= *to);
  }
  friend bool operator==(const PlacePeriod&, const PlacePeriod&) = default;
};

// One record of the place table, as a value.
struct PlaceRecord {
  int row = 0;  // 1-based record number in the table; 0 for none
  std::string name;
  std::string code;
  std::string province;
  PlacePeriod period;
};

enum class PlaceMatch {
  Found,           // the record in use on the date
  UnknownName,     // no record of that name (or code)
  NotInUseOnDate,  // records of that name, none in use on the date
  Ambiguous,       // several places answer to the text on the date
};

// What a lookup of a place gives: the record, or why there is none.
struct PlaceLookup {
  PlaceMatch match = PlaceMatch::UnknownName;
  // Found: the record in use on the date. NotInUseOnDate: the latest record
  // of that name, the one the window shows.
  PlaceRecord place;
  // Found: the days on which the same text finds this same record, so a
  // caller may keep the answer for them.
  PlacePeriod answers;
  // NotInUseOnDate: the periods of every record of that name, in file order.
  std::vector<PlacePeriod> periods;
  // Ambiguous: one record for each place that answers, in the order they
  // are named to the user.
  std::vector<PlaceRecord> candidates;

  bool Found() const { return match == PlaceMatch::Found; }
};

// What the user is told when a lookup of `typed` (UTF-8) gives no place, in
// UTF-8; nothing when a place was found:
// - "Comune non trovato: <typed>";
// - "<NAME>: nessun codice in uso alla data di nascita (in uso dal <Dal> al
//   <Al>; dal <Dal>)", each period of the name, dates in the short date format;
// - "Comune ambiguo: <NAME> (<PROV>), <NAME> (<PROV>)".
std::optional<std::string> PlaceLookupMessage(const PlaceLookup& lookup, std::string_view typed);

// The province the answer names, as the Provincia label tells it: the
// place's (also of a name not in use on the date); for an ambiguous text each
// candidate's, once, in order, joined by " / " ("BG / LE"); none when no
// place answers, since the cursor then rests on a record that is no answer.
std::string AnsweredProvince(const PlaceLookup& lookup);

// An ambiguous lookup settled by a fiscal code made for one of its places
// (the archive keeps both): the candidate whose code is the code's place
// part, homocode letters read as digits. Any other lookup, or a code that
// names none of the candidates, is returned as it is.
PlaceLookup SettledByFiscalCode(PlaceLookup lookup, std::string_view fiscalCode);

// Moves the place table's cursor where a walk from its first record
// comparing each name would stop: on the record the lookup gives (found, or
// the latest of a name not in use then), otherwise on the last record. The
// views are told once.
void ShowPlace(TLbCsv& table, const PlaceLookup& lookup);
