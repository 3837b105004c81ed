// The floor the window's timings are measured against: a plain Qt main window
// of the same size, shown the same way, stamped the same way; with --text,
// the same holding one line of text; with --box, two edit boxes and a menu
// "Modifica" whose first entry shows a plain message box with the text
// Calcola's box shows, as the program's Calcola does without its work.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QVBoxLayout>
#include <cstring>

#include "ui/shown_stamps.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  InstallShownStampsIfAsked();
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Bare"));
  window.setFixedSize(345, 325);
  const char* mode = argc > 1 ? argv[1] : "";
  // One line of text: what the fonts cost any window that has some.
  if (std::strcmp(mode, "--text") == 0) {
    window.setCentralWidget(new QLabel(QStringLiteral("Calcola codice"), &window));
  }
  if (std::strcmp(mode, "--box") == 0) {
    auto* inputs = new QWidget(&window);
    auto* column = new QVBoxLayout(inputs);
    column->addWidget(new QLineEdit(inputs));
    column->addWidget(new QLineEdit(inputs));
    window.setCentralWidget(inputs);
    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("&Modifica"));
    QObject::connect(menu->addAction(QStringLiteral("Calcola")), &QAction::triggered, &window,
                     [&window] {
                       QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Information"),
                                       QStringLiteral("Il Codice è stato copiato negli appunti\n"
                                                      "Incollalo dove ti serve con: CTRL+V"),
                                       QMessageBox::Ok, &window);
                       box.exec();
                     });
  }
  window.show();
  return QApplication::exec();
}
