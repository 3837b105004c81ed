// What this desk's window would use for dates and text, found without a toolkit.
#pragma once

#include <string>
#include <string_view>

// What the window on this desk would use for the archive, found without a
// toolkit: the short date pattern of the user's locale, made numeric with a
// four-digit year (engine/short_date.h), and the 8-bit text of the archive.

// On Windows the user's short date setting; elsewhere the date format of
// the locale the environment names (LC_ALL, LC_TIME, LANG), or "d/MM/yyyy"
// for the C locale, as the window makes of it.
std::string DeskShortDatePattern();

// A value typed in UTF-8 as the archive stores it: as it is where the
// system's 8-bit text is UTF-8; on Windows in the ANSI code page, or, when
// that page cannot hold some letter, with the letters folded to A-Z.
std::string DeskArchiveText(std::string_view utf8);
