// The find window in the real program on a real display (run under Xvfb by
// scripts/bench-window): a key typed into the find's field, the archive's
// current record moved to the first person found, the grid and the find
// window repainted and the paint sent to the server. Each iteration types
// a letter or takes it back, so the record moves every time. The opening,
// which makes the find's orders, and the first key are timed apart.
//
//   find_bench FOLDER [benchmark options]   (FOLDER holds comuni.dat and
//   archivio.dat; with VIVEZE_ARCHIVIO the database's archive is used)
#include <QElapsedTimer>
#include <QLineEdit>

#include "tests/bench/window_bench_main.h"
#include "ui/tfrm_cerca.h"
#include "widgets/trx_db_grid.h"

namespace {

TfrmCodFis* window = nullptr;

void Shown() {
  window->RxDBGrid1->viewport()->repaint();
  window->frmCerca->repaint();
  QGuiApplication::sync();
}

void TypeAndTakeBack(benchmark::State& state, const char* text, Qt::Key key) {
  QLineEdit* field = window->frmCerca->edtCerca;
  field->setText(QString::fromLatin1(text));
  bool typed = false;
  for (auto _ : state) {
    QTest::keyClick(field, typed ? Qt::Key_Backspace : key);
    Shown();
    typed = !typed;
  }
}

// "ROSSI MARI" and "ROSSI MARIO": a surname and a name begun.
BENCHMARK_CAPTURE(TypeAndTakeBack, surname_and_name, "ROSSI MARI", Qt::Key_O)
    ->Unit(benchmark::kMillisecond);
// A code begun, "RSSMRA7" and "RSSMRA75".
BENCHMARK_CAPTURE(TypeAndTakeBack, code, "RSSMRA7", Qt::Key_5)->Unit(benchmark::kMillisecond);
// One letter and two: "M" and "MA", the most records a key finds.
BENCHMARK_CAPTURE(TypeAndTakeBack, one_letter, "M", Qt::Key_A)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunWindowBenchmarks(argc, argv, "find_bench", [](TfrmCodFis& shown) {
    window = &shown;
    QElapsedTimer opening;
    opening.start();
    shown.actCercaArchivio->trigger();
    if (!QTest::qWaitForWindowExposed(shown.frmCerca)) return false;
    const double opened = static_cast<double>(opening.nsecsElapsed()) / 1e6;
    QElapsedTimer first;
    first.start();
    QTest::keyClick(shown.frmCerca->edtCerca, Qt::Key_R);
    Shown();
    std::printf("find window opened, its orders made: %.1f ms; first key: %.1f ms; %d records\n",
                opened, static_cast<double>(first.nsecsElapsed()) / 1e6,
                shown.LbCsv2.RecordCount());
    std::fflush(stdout);
    return true;
  });
}
