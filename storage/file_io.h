#pragma once

#include <optional>
#include <string>
#include <string_view>

// Whole-file reading and replacing: the only code that knows the operating
// system. Paths are byte strings in the system's 8-bit code page.

// Every byte of the file, read at once while other programs may read the file
// but not write it. No value when the file cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Puts `contents` in place of the file at `path` (created when missing): one
// write to a new file in the same folder, flushed, then renamed over the old
// one, so a failure at any step leaves the old file as it was and no new file
// behind. A symbolic link is followed and its target replaced. False on
// failure.
bool ReplaceFileContents(const std::string& path, std::string_view contents);
