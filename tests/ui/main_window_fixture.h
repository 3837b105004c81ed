// The main window started on a test's own folder, and a user typing into it.
#pragma once

// A main window started on a folder of the test's own, and a user typing
// into it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "engine/short_date.h"
#include "storage/table/tlb_csv.h"
#include "ui/program_setup.h"
#include "ui/tfrm_cod_fis.h"
#include "widgets/tdate_time_picker.h"

const QByteArray kHeader = "Cognome,Nome,Sex,Comune,Data,CodiceFiscale\r\n";
const QByteArray kMunicipalities =
    "comuni,Code,Prov\r\n"
    "ABANO TERME,A001,PD\r\n"
    "CESENA,C573,FC\r\n"
    "FORLI',D704,FC\r\n"
    "ROMA,H501,RM\r\n"
    "ZURIGO,Z999,EE\r\n";

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpProgram();
    SetShortDateFormat("dd/MM/yyyy");
    ASSERT_TRUE(folder_.isValid());
    Write("comuni.dat", kMunicipalities);
    QGuiApplication::clipboard()->setText(QStringLiteral("sentinel"));
  }
  void TearDown() override {
    window_.reset();
    SetShortDateFormat("dd/MM/yyyy");
  }

  QString Path(const QString& name) const { return folder_.filePath(name); }
  void Write(const QString& name, const QByteArray& bytes) const {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
  }
  QByteArray Read(const QString& name) const {
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }

  TfrmCodFis& Start() {
    window_ = std::make_unique<TfrmCodFis>(folder_.path());
    window_->show();
    QTest::qWait(20);
    return *window_;
  }

  // Types a person into the calculation tab as a user would.
  void TypePerson(const char* surname, const char* name, bool female, QDate born,
                  const char* municipality) {
    TfrmCodFis& w = *window_;
    w.Cognome->clear();
    QTest::keyClicks(w.Cognome, QString::fromUtf8(surname));
    w.Nome->clear();
    QTest::keyClicks(w.Nome, QString::fromUtf8(name));
    (female ? w.RadioButton1 : w.RadioButton2)->setChecked(true);
    w.DateTimePicker1->setDate(born);
    w.ComboBox1->setEditText(QString::fromUtf8(municipality));
  }

  std::vector<std::string> ArchiveRecord(int number) {
    return window_->LbCsv2.RecordValues(number);
  }

  QTemporaryDir folder_;
  std::unique_ptr<TfrmCodFis> window_;
};

// The same, with the municipality table the program ships.
class ShippedPlacesTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    QFile shipped(QStringLiteral(VIVEZE_DATA_DIR "/comuni.dat"));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    Write("comuni.dat", shipped.readAll());
  }
};
