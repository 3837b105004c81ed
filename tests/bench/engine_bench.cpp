// Computing the codes of 20,000 persons with text birth dates (dd/MM/yyyy),
// beside the version before the fixed-buffer rewrite and the first, plain
// implementation; "per_code" is the time of one code.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "engine/fiscal_code.h"
#include "engine/short_date.h"
#include "tests/engine/previous_fiscal_code.h"
#include "tests/engine/reference_fiscal_code.h"

namespace {

constexpr int kPersons = 20000;

struct Person {
  std::string surname, name, birthDate, sex, municipality;
  CalendarDate born;
};

const std::vector<Person>& Persons() {
  static const std::vector<Person> persons = [] {
    const char* surnames[] = {"ROSSI",    "DE LUCA", "D'ANGELO", "BO",      "FERRARO", "NG",
                              "Esposito", "BIANCHI", "ZANETTI",  "COLOMBO", "Ricci",   "MARINO"};
    const char* names[] = {"MARIO",     "MARIA GRAZIA", "GIANFRANCO", "ANNA", "LU",    "Elio",
                           "FRANCESCA", "GIUSEPPE",     "SARA",       "UGO",  "Paolo", "CHIARA"};
    std::mt19937 random(13);
    std::vector<Person> list;
    SetShortDateFormat("dd/MM/yyyy");
    for (int k = 0; k < kPersons; ++k) {
      const int year = 1920 + static_cast<int>(random() % 100);
      const int month = 1 + static_cast<int>(random() % 12);
      const int day = 1 + static_cast<int>(random() % DaysInMonth(year, month));
      std::string place{static_cast<char>('A' + random() % 26)};
      place += std::to_string(100 + random() % 900);
      list.push_back({surnames[random() % std::size(surnames)], names[random() % std::size(names)],
                      DateToText({year, month, day}), random() % 2 ? "M" : "F", place,
                      CalendarDate{year, month, day}});
    }
    return list;
  }();
  return persons;
}

template <typename Compute>
void Run(benchmark::State& state, Compute compute) {
  SetShortDateFormat("dd/MM/yyyy");
  const std::vector<Person>& persons = Persons();
  for (auto _ : state) {
    for (const Person& p : persons) {
      benchmark::DoNotOptimize(compute(p.surname, p.name, p.birthDate, p.sex, p.municipality));
    }
  }
  state.counters["per_code"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kPersons,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ComputeFiscalCode(benchmark::State& state) {
  Run(state, [](const std::string& surname, const std::string& name, const std::string& birthDate,
                const std::string& sex, const std::string& municipality) {
    return ComputeFiscalCode(surname, name, birthDate, sex, municipality);
  });
}
void BM_PreviousFiscalCode(benchmark::State& state) { Run(state, PreviousFiscalCode); }
void BM_ReferenceFiscalCode(benchmark::State& state) { Run(state, ReferenceFiscalCode); }

// The date reading alone, the part of a code the short date format costs.
void BM_TextToDate(benchmark::State& state) {
  Run(state, [](const std::string&, const std::string&, const std::string& birthDate,
                const std::string&, const std::string&) { return TextToDate(birthDate); });
}

// The date already read, the code appended to a buffer that has room, as the
// command line's list does: no date text, no allocation.
void BM_AppendFiscalCode(benchmark::State& state) {
  const std::vector<Person>& persons = Persons();
  std::string out;
  for (auto _ : state) {
    for (const Person& p : persons) {
      out.clear();
      AppendFiscalCode(p.surname, p.name, p.born, p.sex, p.municipality, out);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.counters["per_code"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kPersons,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_ComputeFiscalCode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppendFiscalCode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PreviousFiscalCode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReferenceFiscalCode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextToDate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
