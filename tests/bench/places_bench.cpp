// The place lookup alone on the shipped table, without the window: the
// typed text read by each step, and the drop-down's suggestions.
//
//   places_bench [benchmark options]
#include <benchmark/benchmark.h>

#include "storage/places/places.h"
#include "storage/table/tlb_csv.h"

namespace {

TLbCsv& Table() {
  static TLbCsv table("LbCsv1");
  if (!table.Active()) {
    table.SetTableName(std::string(VIVEZE_DATA_DIR) + "/comuni.dat");
    table.SetReadOnly(true);
    table.Open();
  }
  return table;
}

void Find(benchmark::State& state, const char* typed) {
  Places places(Table());
  places.Find(typed, {1980, 1, 1});  // the indexes made before timing
  for (auto _ : state) benchmark::DoNotOptimize(places.Find(typed, {1980, 1, 1}));
}

void Suggest(benchmark::State& state, const char* typed) {
  Places places(Table());
  places.Suggest(typed, 200);
  for (auto _ : state) benchmark::DoNotOptimize(places.Suggest(typed, 200));
}

BENCHMARK_CAPTURE(Find, name_as_written, "CESENA")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Find, loose, "san dona di piave")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Find, saint, "S. GIOVANNI ROTONDO")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Find, bilingual, "Bolzano/Bozen")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Find, common_form, "Reggio Calabria")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Find, ambiguous, "castro")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Find, not_found, "Atlantide")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Suggest, one_letter, "s")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Suggest, saint, "s. giovanni")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
