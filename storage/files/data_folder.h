// Making a folder that holds people's personal data.
#pragma once

#include <string>

// Makes `folder` and each missing one above it, on Posix systems for the
// owner alone: they hold people's personal data. Throws "Cannot create file
// <forFile>".
void MakeDataFolder(const std::string& folder, const std::string& forFile);
