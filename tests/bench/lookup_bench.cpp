// The municipality lookup in the real window on a real display (run under
// Xvfb by scripts/bench-window): the drop-down's text looked up as when it
// loses the focus, the province label repainted and the paint sent to the
// server. Each iteration alternates between two texts, so the cursor moves.
//
//   lookup_bench FOLDER [benchmark options]   (FOLDER holds comuni.dat)
#include <benchmark/benchmark.h>

#include <QComboBox>

#include "tests/bench/window_bench_main.h"
#include "widgets/tdb_text.h"

namespace {

TfrmCodFis* window = nullptr;

void LookUp(benchmark::State& state, const char* name, const char* other) {
  bool there = false;
  for (auto _ : state) {
    window->ComboBox1->setEditText(QString::fromLatin1(there ? other : name));
    window->ComboBox1Click();
    window->DBText1->repaint();
    QGuiApplication::sync();
    there = !there;
  }
}

BENCHMARK_CAPTURE(LookUp, CESENA, "CESENA", "ABANO TERME")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LookUp, ZUNGRI_near_the_end, "ZUNGRI", "ZUGLIO")->Unit(benchmark::kMicrosecond);
// Texts found by the later steps: another language, a common form, "S." for
// SAN, a bilingual form.
BENCHMARK_CAPTURE(LookUp, Bozen_Reggio_Calabria, "Bozen", "Reggio Calabria")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LookUp, S_Giovanni_Rotondo_Bolzano_Bozen, "S. GIOVANNI ROTONDO", "Bolzano/Bozen")
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return RunWindowBenchmarks(argc, argv, "lookup_bench", [](TfrmCodFis& shown) {
    window = &shown;
    return true;
  });
}
