// The command line's commands and their help.
#pragma once

#include <string>
#include <vector>

#include "storage/setup/data_files.h"

// The program's commands on the data files `paths` names; `args` are those
// after the command's name. Each returns the exit status: 0 done, 1 the data
// give no result, 2 bad usage.
int RunCommand(const DataFilePaths& paths, const std::vector<std::string>& args);

// The help text, every command with an example; `vivezecf COMANDO --help`
// (or -h) prints that command's part of it.
std::string HelpText();
