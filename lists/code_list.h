// The `controlla` command and the window's Controlla elenco: a list's codes checked.
#pragma once

#include <string>

#include "lists/list_run.h"
#include "lists/place_register.h"

// `controlla`: every row of a list with a code column, and the person's
// columns where it has them, given "Esito" and "Dettaglio". An empty
// `input` or `output` is standard input or output. Status 0 every row
// "corrisponde" or "valido", 1 some not, 2 the list cannot be read or the
// output written.
ListOutcome CheckList(const std::string& input, const std::string& output, PlaceRegister& places,
                      const ListWatch& watch = {});
