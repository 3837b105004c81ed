#include <QApplication>

#include "ui/program_setup.h"
#include "ui/shown_stamps.h"
#include "ui/tfrm_cod_fis.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  SetUpProgram();
  InstallShownStampsIfAsked();
  TfrmCodFis window;
  window.show();
  return QApplication::exec();
}
