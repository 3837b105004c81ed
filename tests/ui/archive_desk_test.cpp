// The archive at the desk: a person found, the grid sorted, a code copied
// and the archive exported from the window.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "tests/ui/main_window_fixture.h"
#include "ui/message_box.h"
#include "ui/tfrm_cerca.h"
#include "widgets/trx_db_grid.h"

namespace {

// Thirty people, among them two ROSSI MARIO (records 3 and 25) and a ROSSI
// MARIA (record 10).
QByteArray ThirtyPeople() {
  QByteArray archive = kHeader;
  for (int n = 1; n <= 30; ++n) {
    const QByteArray k = QByteArray::number(n);
    if (n == 3) {
      archive += "ROSSI,MARIO,M,ROMA,01/01/1980,RSSMRA80A01H501U\r\n";
    } else if (n == 10) {
      archive += "ROSSI,MARIA,F,ROMA,02/02/1962,RSSMRA62B42H501X\r\n";
    } else if (n == 25) {
      archive += "ROSSI,MARIO,M,ROMA,15/03/1975,RSSMRA75C15H501A\r\n";
    } else {
      archive += "VERDI" + k + ",ANNA,F,CESENA,01/01/1990,CODE" + k + "\r\n";
    }
  }
  return archive;
}

class ArchiveDeskTest : public MainWindowTest {
 protected:
  TfrmCerca& Find(const char* typed) {
    TfrmCodFis& w = *window_;
    w.actCercaArchivio->trigger();
    EXPECT_NE(w.frmCerca, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.frmCerca));
    w.frmCerca->edtCerca->clear();
    QTest::keyClicks(w.frmCerca->edtCerca, QString::fromUtf8(typed));
    return *w.frmCerca;
  }
  // The window on the archive tab, the archive the thirty people.
  TfrmCodFis& StartOnThirtyPeople() {
    Write("archivio.dat", ThirtyPeople());
    TfrmCodFis& w = Start();
    w.PageControl1->setCurrentWidget(w.TabSheet2);
    return w;
  }
  QString Code() const {
    return QString::fromStdString(window_->LbCsv2.RecordValues(window_->LbCsv2.RecordNumber())[5]);
  }
};

TEST_F(ArchiveDeskTest, TheFindWindowMovesThroughThePeopleFoundAsTyped) {
  Write("archivio.dat", ThirtyPeople());
  TfrmCodFis& w = Start();
  TfrmCerca& find = Find("rossi mario");
  // Not modal: the window behind it goes on working.
  EXPECT_TRUE(find.isVisible());
  EXPECT_FALSE(find.isModal());
  EXPECT_EQ(w.PageControl1->currentWidget(), w.TabSheet2);
  EXPECT_EQ(w.LbCsv2.RecordNumber(), 3);
  EXPECT_EQ(find.labConteggio->text(), QStringLiteral("1 di 2"));
  EXPECT_EQ(find.labRecord[5]->text(), QStringLiteral("RSSMRA80A01H501U"));
  EXPECT_EQ(find.labRecord[3]->text(), QStringLiteral("01/01/1980"));
  QTest::keyClick(&find, Qt::Key_F3);
  EXPECT_EQ(w.LbCsv2.RecordNumber(), 25);
  EXPECT_EQ(find.labConteggio->text(), QStringLiteral("2 di 2"));
  // The grid shows it: the highlighted row is in view.
  const QRect row = w.RxDBGrid1->visualRect(w.RxDBGrid1->currentIndex());
  EXPECT_GE(row.top(), 0);
  EXPECT_LE(row.bottom(), w.RxDBGrid1->viewport()->height());
  QTest::keyClick(&find, Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(w.LbCsv2.RecordNumber(), 3);
  QTest::keyClick(find.edtCerca, Qt::Key_Return);
  EXPECT_EQ(w.LbCsv2.RecordNumber(), 25);
  // Found with the year.
  QTest::keyClicks(find.edtCerca, QStringLiteral(" 1975"));
  EXPECT_EQ(find.labConteggio->text(), QStringLiteral("1 di 1"));
  // The delete acts on the record found, and the count follows.
  MessageBoxScript answerer;
  answerer.ThenYes();
  QTest::keyClick(w.RxDBGrid1, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(w.LbCsv2.RecordCount(), 29);
  EXPECT_EQ(find.labConteggio->text(), QStringLiteral("Nessun record trovato"));
  find.edtCerca->setText(QStringLiteral("verdi"));
  EXPECT_EQ(Code(), QStringLiteral("CODE1"));
  EXPECT_EQ(find.labConteggio->text(), QStringLiteral("1 di 27"));
}

// Found in the order the grid shows: sorted by name, MARIA before MARIO.
TEST_F(ArchiveDeskTest, TheFindGoesInTheOrderShown) {
  TfrmCodFis& w = StartOnThirtyPeople();
  w.RxDBGrid1->SortByColumn(1);
  TfrmCerca& find = Find("rossi");
  EXPECT_EQ(Code(), QStringLiteral("RSSMRA62B42H501X"));
  QTest::keyClick(&find, Qt::Key_F3);
  EXPECT_EQ(Code(), QStringLiteral("RSSMRA80A01H501U"));
  EXPECT_EQ(find.labConteggio->text(), QStringLiteral("2 di 3"));
}

TEST_F(ArchiveDeskTest, CtrlCAndTheContextMenuCopyTheCodeOrTheRow) {
  TfrmCodFis& w = StartOnThirtyPeople();
  w.LbCsv2.SetRecordNumber(10);
  w.RxDBGrid1->setFocus();
  QTest::keyClick(w.RxDBGrid1, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("RSSMRA62B42H501X"));
  EXPECT_TRUE(w.RxDBGrid1->actions().contains(w.actCopiaRiga));
  w.actCopiaRiga->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            QStringLiteral("ROSSI,MARIA,F,ROMA,02/02/1962,RSSMRA62B42H501X"));
  // The code on the card: selectable, and Ctrl+C copies it.
  w.PageControl1->setCurrentWidget(w.TabSheet1);
  w.Label6->setText(QStringLiteral("RSSMRA75C15H501A"));
  EXPECT_TRUE(w.Label6->textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard));
  QTest::keyClick(w.Label6, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("RSSMRA75C15H501A"));
}

// The window's export is `vivezecf archivio esporta`, byte for byte.
TEST_F(ArchiveDeskTest, TheExportGivesTheCommandLinesBytes) {
  Write("archivio.dat", ThirtyPeople() + "\"=1+1\",-2,M,ROMA,01/01/1990,CODE99\r\n");
  TfrmCodFis& w = Start();
  w.PickExportFile = [this](QWidget*, const QString&) { return Path("finestra.csv"); };
  MessageBoxScript answerer;
  w.actEsportaArchivio->trigger();
  QTRY_COMPARE_WITH_TIMEOUT(answerer.seen().size(), 1u, 10000);
  EXPECT_EQ(answerer.seen()[0].text, QStringLiteral("Record esportati: 31"));
  namespace fs = std::filesystem;
  const fs::path program = fs::path(Path(".").toStdString()) / fs::path(VIVEZECF).filename();
  fs::copy_file(VIVEZECF, program, fs::copy_options::overwrite_existing);
  QProcess cli;
  cli.start(QString::fromStdString(program.string()),
            {QStringLiteral("archivio"), QStringLiteral("esporta"), QStringLiteral("-o"),
             Path("cli.csv")});
  ASSERT_TRUE(cli.waitForFinished(10000));
  EXPECT_EQ(cli.exitCode(), 0);
  EXPECT_TRUE(Read("finestra.csv").startsWith("\xEF\xBB\xBF"));
  EXPECT_TRUE(Read("finestra.csv").contains("'=1+1"));
  EXPECT_EQ(Read("finestra.csv"), Read("cli.csv"));
}

}  // namespace
