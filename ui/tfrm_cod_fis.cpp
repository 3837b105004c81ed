#include "ui/tfrm_cod_fis.h"

TfrmCodFis::TfrmCodFis(const QString& /*dataFolder*/, QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("Viveze Vevoziv"));
  resize(345, 306);
}
