#include <QApplication>
#include <exception>
#include <memory>

#include "storage/setup/data_file_read_ahead.h"
#include "storage/setup/data_files.h"
#include "ui/program_setup.h"
#include "ui/shown_stamps.h"
#include "ui/tfrm_cod_fis.h"

int main(int argc, char** argv) {
  // The data files are read while Qt starts and the window is built; the
  // window opens them from what was read.
  std::unique_ptr<DataFileReadAhead> readAhead;
  try {
    readAhead = std::make_unique<DataFileReadAhead>(LocateDataFiles());
  } catch (const std::exception&) {
    // Then they are read when opened, and any failure told there.
  }
  QApplication app(argc, argv);
  SetUpProgram();
  InstallShownStampsIfAsked();
  TfrmCodFis window(QString(), nullptr, readAhead.get());
  window.show();
  return QApplication::exec();
}
