// The `archivio` command: the archive from the command line.
#pragma once

#include <string>
#include <vector>

#include "lists/place_register.h"

// `archivio`: the archive the window would use (the same file, found the same
// way), from the command line, so that offices can script it. `args` are
// those after "archivio". Returns the exit status: 0 done, 1 the data give
// no result (or no record has the code), 2 bad usage or an archive that
// cannot be read or written.
int RunArchiveCommand(PlaceRegister& places, const std::vector<std::string>& args);
