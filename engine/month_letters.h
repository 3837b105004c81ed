// The month letters of the fiscal code.
#pragma once

#include <string_view>

// The letter a fiscal code gives each month, January first.
inline constexpr std::string_view kMonthLetters = "ABCDEHLMPRST";
