#pragma once

#include <string>

#include "cli/place_register.h"

// A person as typed on the command line or in a list row (UTF-8).
struct PersonText {
  std::string surname;
  std::string name;
  std::string sex;
  std::string date;
  std::string place;
};

// The code of a person, or why there is none: `error` holds the one-line
// message in Italian, `usage` tells a value unreadable as such (date, sex)
// from one that is readable but gives no code.
struct PersonCode {
  std::string code;
  std::string error;
  bool usage = false;

  bool Computed() const { return error.empty(); }
};

PersonCode ComputePersonCode(const PersonText& person, PlaceRegister& places);
