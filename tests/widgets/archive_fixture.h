#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "storage/tlbcsv.h"
#include "widgets/tdata_source.h"

namespace archive_test {

inline std::string RecordLine(int n) {
  const std::string k = std::to_string(n);
  return "COGNOME" + k + ",NOME" + k + ",M,CESENA,01/02/1980,CODE" + k;
}

// An archive file of `records` records in a folder of its own.
class ArchiveFile {
 public:
  explicit ArchiveFile(int records) {
    path_ = dir_.filePath(QStringLiteral("archivio.dat")).toLocal8Bit().toStdString();
    std::ofstream out(path_, std::ios::binary);
    out << "Cognome,Nome,Sex,Comune,Data,CodiceFiscale\r\n";
    for (int n = 1; n <= records; ++n) out << RecordLine(n) << "\r\n";
  }
  const std::string& Path() const { return path_; }

 private:
  QTemporaryDir dir_;
  std::string path_;
};

// An open archive table with its data source; the table outlives the source.
struct OpenArchive {
  explicit OpenArchive(int records) : file(records) {
    table.SetTableName(file.Path());
    table.Open();
    source = std::make_unique<TDataSource>(&table);
  }
  ArchiveFile file;
  TLbCsv table{"LbCsv2"};
  std::unique_ptr<TDataSource> source;
};

// Runs the event loop for `ms`, letting it block (and so go idle) meanwhile.
inline void RunIdle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Answers the next modal message box from a timer: `answer` gets it and clicks.
// Whatever happens, a box left open after two seconds is rejected, so no test
// ever waits on it.
class ModalAnswerer {
 public:
  explicit ModalAnswerer(std::function<void(QMessageBox&)> answer) : answer_(std::move(answer)) {
    clock_.start();
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }
  bool Answered() const { return answered_; }

 private:
  void Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box != nullptr && box->isVisible()) {
      timer_.stop();
      answered_ = true;
      answer_(*box);
      return;
    }
    if (clock_.elapsed() > 2000) {
      timer_.stop();
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
    }
  }

  std::function<void(QMessageBox&)> answer_;
  QTimer timer_;
  QElapsedTimer clock_;
  bool answered_ = false;
};

}  // namespace archive_test
