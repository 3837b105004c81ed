// The floor the window's start-up is measured against: a plain Qt main window
// of the same size, shown the same way, stamped the same way; with --text, the
// same holding one line of text.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <cstring>

#include "ui/shown_stamps.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  InstallShownStampsIfAsked();
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Bare"));
  window.setFixedSize(345, 325);
  // With --text, one line of text: what the fonts cost any window that has some.
  if (argc > 1 && std::strcmp(argv[1], "--text") == 0) {
    window.setCentralWidget(new QLabel(QStringLiteral("Calcola codice"), &window));
  }
  window.show();
  return QApplication::exec();
}
