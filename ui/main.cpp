#include <QApplication>

#include "ui/program_setup.h"
#include "ui/tfrm_cod_fis.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  SetUpProgram();
  TfrmCodFis window;
  window.show();
  return QApplication::exec();
}
