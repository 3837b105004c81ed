// The main of a benchmark run in the real window on a real display.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <functional>

#include "ui/program_setup.h"
#include "ui/tfrm_cod_fis.h"

// Starts the program's window on the folder the first argument names, hands
// it to `ready` (which may set up what the benchmarks need, false when it
// could not), then runs the benchmarks with the other arguments.
inline int RunWindowBenchmarks(int argc, char** argv, const char* name,
                               const std::function<bool(TfrmCodFis& window)>& ready) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FOLDER [benchmark options]\n", name);
    return 2;
  }
  QApplication app(argc, argv);
  SetUpProgram();
  TfrmCodFis shown(QString::fromLocal8Bit(argv[1]));
  shown.show();
  if (!QTest::qWaitForWindowExposed(&shown) || !ready(shown)) return 1;
  int rest = argc - 1;
  benchmark::Initialize(&rest, argv + 1);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
