#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

// Gives `write` every line followed by CR LF, gathered in pieces of at most
// `bufferSize` bytes (a longer line goes out on its own), so that a file is
// written from its lines without a copy of its whole text. False as soon as
// `write` fails.
bool WriteLinesThrough(const std::vector<std::string_view>& lines,
                       const std::function<bool(std::string_view)>& write,
                       std::size_t bufferSize = std::size_t{1} << 20);
