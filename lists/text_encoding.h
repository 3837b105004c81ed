// A list's text encoding: UTF-8 checked, or Windows-1252 converted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/utf8_validator.h"

// Windows-1252 bytes as UTF-8, appended to `out`.
void AppendWindows1252AsUtf8(std::string_view text, std::string& out);
