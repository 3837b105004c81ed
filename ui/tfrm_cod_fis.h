#pragma once

#include <QMainWindow>
#include <QString>

// The program's main window.
class TfrmCodFis : public QMainWindow {
  Q_OBJECT

 public:
  // `dataFolder` holds comuni.dat and archivio.dat; empty means the
  // executable's folder.
  explicit TfrmCodFis(const QString& dataFolder = QString(), QWidget* parent = nullptr);
};
