// A table view that records every event it is told.
#pragma once

#include <algorithm>
#include <functional>
#include <vector>

#include "storage/table/tlb_csv_observer.h"

// A view that keeps every event it is told, and may act on each.
struct Recorder : TLbCsvObserver {
  std::vector<TDataEvent> events;
  std::function<void()> onEvent;
  void DataEvent(TLbCsv&, TDataEvent event) override {
    events.push_back(event);
    if (onEvent) onEvent();
  }
  long Count(TDataEvent event) const { return std::ranges::count(events, event); }
};
