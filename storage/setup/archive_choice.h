// Which archive a desk uses, file or database, and its opening.
#pragma once

#include <memory>
#include <string>

#include "storage/archive/archive.h"
#include "storage/setup/data_files.h"
#include "storage/table/tlb_csv.h"

class DataFileReadAhead;

// Where the archive is kept, for the window and the commands alike: in the
// PostgreSQL database the environment variable VIVEZE_ARCHIVIO names (a
// connection string as libpq takes it), or else, as always, in the file.

// The connection string; empty when the variable is unset or empty.
std::string ArchiveConnectionString();

// The archive over `table`, not yet open: a DbArchive when the variable is
// set, its records waiting for the server in the user's data folder; a
// FileArchive otherwise.
std::unique_ptr<Archive> MakeArchive(TLbCsv& table);

// Opens the archive's table: its file, made when missing, or its database.
// A server out of reach throws ArchiveUnreachable, the table open and empty.
void OpenArchive(Archive& archive, const DataFilePaths& paths);

// Opens the place table and the archive's table, from its file as
// OpenDataTables does, or from its database. A server out of reach, or one
// that refuses the archive's table, throws ArchiveUnreachable with its
// message ("Archivio non raggiungibile: ...") once the place table and the
// archive's table are open, the latter holding only what waits: codes are
// still computed. Any other failure throws as the opening of a file does.
void OpenArchiveAndPlaces(Archive& archive, const DataFilePaths& paths, TLbCsv& places,
                          DataFileReadAhead* readAhead = nullptr);
