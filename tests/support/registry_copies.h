// Copies of the shipped registry file for the place update's tests.
#pragma once

// Copies of the shipped registry file (data/anpr-archivio-comuni-2023-10-03.csv)
// for the tests of the place table's update, made in memory.
#include <string>

// The file completed with what data/comuni.dat holds newer than it (the
// places made and the periods ended since), plus a made-up merger: ALBAVILLA
// (A143) and ALBESE CON CASSANO (A153) end on 2024-12-31 and ALBESE ALBAVILLA
// (M999, CO) begins on 2025-01-01.
std::string RegistryWithMerger(const std::string& dataFolder);
