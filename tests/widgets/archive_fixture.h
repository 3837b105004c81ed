// Archive tables made up for the widgets' tests, and the idle time they wait for.
#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "storage/table/tlb_csv.h"
#include "widgets/tdata_source.h"
#include "widgets/tprompter.h"

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

// Stands in for the window that owns a widget: answers its questions from a
// queue (no when none is queued) and keeps what it was asked and told.
class RecordingPrompter : public TPrompter {
 public:
  struct Question {
    QString caption;
    QString text;
  };

  void ThenAnswer(bool yes) { answers_.push_back(yes); }
  const std::vector<Question>& Questions() const { return questions_; }
  const std::vector<std::string>& Errors() const { return errors_; }

  bool Confirm(QWidget*, const QString& caption, const QString& text) override {
    questions_.push_back({caption, text});
    if (answers_.empty()) return false;
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
  }
  void ShowError(QWidget*, const std::exception& error) override {
    errors_.emplace_back(error.what());
  }

 private:
  std::deque<bool> answers_;
  std::vector<Question> questions_;
  std::vector<std::string> errors_;
};

}  // namespace archive_test
