// Paths as the system takes them, and the names of the files kept beside a table.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The paths storage hands to the system, and the names of the files it keeps
// beside a table file.

// A UTF-8 path as the system takes it: on Windows widened from UTF-8, never
// through the ANSI code page, which cannot hold every letter.
std::filesystem::path PathOf(const std::string& utf8);
std::string Utf8Of(const std::filesystem::path& path);

// The file a path finally names, following links even when what the last one
// names does not exist yet. No value for a loop of links or an unreadable one.
std::optional<std::filesystem::path> FinalTarget(std::filesystem::path path);

// The folder to list or sync for a file: "." for a bare name.
std::filesystem::path FolderOf(const std::filesystem::path& file);

// "<name>.<16 hex digits>.<process>@<machine>.tmp" beside `target`: a name no
// other writer picks, that tells who writes it.
std::filesystem::path TemporaryPathBeside(const std::filesystem::path& target);
// Whether `name` is such a temporary name for the file named `base` (or one
// of the program's earlier "<name>.<16 hex digits>.tmp").
bool IsTemporaryNameOf(std::string_view name, std::string_view base);

// Removes the temporary files that an interrupted replace of `path` left
// beside it: those whose writer, a process of this machine, is gone, and any
// older than an hour; a live writer's file stays, whatever machine it is on.
// Only safe under the file's lock. Gives how many were removed.
std::size_t RemoveStaleTemporaryFiles(const std::string& path);

// The lock file that guards replacing `path`: "<name>.lock" beside it (beside
// the link's target for a link, so every way to the file shares one lock).
std::string LockPathOf(const std::string& path);
