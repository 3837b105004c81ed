#pragma once

#include <string>

#include "cli/place_register.h"

// `lotto`: every row of a list with its code or its error.
// An empty `input` or `output` is standard input or output. Returns the exit
// status: 0 every row computed, 1 some not, 2 the list cannot be read.
int RunBatch(const std::string& input, const std::string& output, PlaceRegister& places);
