// The checks every place table passes before it is shipped or used.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The checks every place table passes before it is shipped or put in use:
// the header and CR LF line ends, printable ASCII, well-formed values,
// foreign codes exactly with province EE, records sorted by name and date,
// periods of one name that never overlap, enough codes, and known records
// with their periods. The first failure found, as a short reason; none when
// the table passes.
std::optional<std::string> PlaceTableFailure(std::string_view text);
