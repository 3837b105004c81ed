// The `lotto` command and the window's Calcola elenco: codes for a whole list.
#pragma once

#include <string>

#include "lists/list_run.h"
#include "lists/place_register.h"

// `lotto`: every row of a list with its code or its error.
// An empty `input` or `output` is standard input or output. Status 0 every
// row computed, 1 some not, 2 the list cannot be read.
ListOutcome ComputeList(const std::string& input, const std::string& output, PlaceRegister& places,
                        const ListWatch& watch = {});
