#include "storage/table/tquiet_walk.h"

#include "storage/table/tlb_csv.h"

TQuietWalk::TQuietWalk(TLbCsv& table) : table_(table) { table_.HoldMoves(); }

TQuietWalk::~TQuietWalk() {
  try {
    table_.ReleaseMoves();
  } catch (...) {
    // A view that fails while told must not end the program from here; the
    // next event it gets brings it up to date.
  }
}
