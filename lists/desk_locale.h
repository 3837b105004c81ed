// What this desk uses for dates, text and lists, found without a toolkit.
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

// The archive's text (the system's 8-bit text) as UTF-8: on Windows from the
// ANSI code page, elsewhere as it is.
std::string DeskTextAsUtf8(std::string_view stored);

// The separator a spreadsheet on this desk reads lists with: on Windows the
// user's list separator; elsewhere ";" where the locale's decimal mark is a
// comma (it_IT, de_DE, fr_FR), "," otherwise. The window and the command
// line ask here alike.
char DeskListSeparator();
