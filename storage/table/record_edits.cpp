#include "storage/table/record_edits.h"

void RecordEdits::Reset() {
  kept_.clear();
  resetAt_ = ++revision_;
}

void RecordEdits::Keep(Edit edit) {
  kept_.push_back(edit);
  ++revision_;
  if (kept_.size() > kKept) kept_.pop_front();
}
