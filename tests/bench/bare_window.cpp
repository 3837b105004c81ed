// The floor the window's start-up is measured against: a plain Qt main window
// of the same size, shown the same way, stamped the same way.
#include <QApplication>
#include <QMainWindow>

#include "ui/shown_stamps.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  InstallShownStampsIfAsked();
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Bare"));
  window.setFixedSize(345, 325);
  window.show();
  return QApplication::exec();
}
