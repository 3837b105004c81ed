// The archive written for a spreadsheet and listed for a reader.
#pragma once

#include <string>
#include <string_view>

#include "lists/list_run.h"

class TableFile;

// Whether a spreadsheet would take `value`, at the start of a cell, for a
// formula or a command: it begins with "=", "+", "-", "@", a tab or a CR.
bool LooksLikeFormula(std::string_view value);
// `value` as a spreadsheet keeps it as text: an apostrophe before one that
// LooksLikeFormula ("'=1+1", shown so by the spreadsheet), any other as it
// is. The archive keeps the value unchanged.
std::string AsSpreadsheetText(std::string_view value);

// The archive's lines (`lines`: header first, as a table file holds them)
// written to `output` (as WriteListOutput hands it) as a spreadsheet opens
// it with a double click: UTF-8 with a byte-order mark, rows ended by CR
// LF, values separated by `separator` and quoted where they hold it, a
// quote or a line break, each value guarded by AsSpreadsheetText. The
// columns in the archive's order, titled as its header names them. The
// summary counts the records, "Record esportati: N"; status 2 with the
// reason when the output cannot be written; cancelled between two rows,
// nothing is left.
ListOutcome ExportArchive(const TableFile& lines, const std::string& output, char separator,
                          const ListWatch& watch = {});

// The archive's lines as the file holds them, each ended by CR LF, but for
// a record holding a value that LooksLikeFormula, which is written again
// with that value guarded: what `vivezecf archivio elenca` prints.
std::string ArchiveListing(const TableFile& lines);
