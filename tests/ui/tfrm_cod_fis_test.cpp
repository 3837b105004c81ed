#include "ui/tfrm_cod_fis.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <memory>

#include "engine/short_date.h"
#include "storage/table/tlb_csv.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/message_box.h"
#include "ui/program_setup.h"
#include "ui/tfrm_dialog.h"
#include "widgets/tdata_set_action.h"
#include "widgets/tdate_time_picker.h"
#include "widgets/tdb_text.h"
#include "widgets/trx_db_grid.h"

namespace {

TEST_F(MainWindowTest, FirstStartCreatesArchiveAndShowsDefaults) {
  TfrmCodFis& w = Start();
  EXPECT_EQ(Read("archivio.dat"), kHeader);
  EXPECT_EQ(w.ComboBox1->count(), 5);
  EXPECT_EQ(w.ComboBox1->itemText(3), QStringLiteral("ROMA"));
  EXPECT_EQ(w.ComboBox1->currentText(), QStringLiteral("CESENA"));
  EXPECT_EQ(w.LbCsv1.FieldNamed("Code").Text(), "C573");
  EXPECT_EQ(w.DBText1->text(), QStringLiteral("FC"));
  EXPECT_TRUE(w.Cognome->text().isEmpty());
  EXPECT_TRUE(w.Nome->text().isEmpty());
  EXPECT_TRUE(w.Label6->text().isEmpty());
  EXPECT_TRUE(w.RadioButton1->isChecked());
  EXPECT_EQ(w.DateTimePicker1->date(), QDate::currentDate());
  EXPECT_EQ(w.PageControl1->currentWidget(), w.TabSheet1);
  EXPECT_TRUE(w.LbCsv2.Active());
  EXPECT_TRUE(w.LbCsv1.ReadOnly());
  // The result and the province stand on white, like the card around them.
  const QImage shot = w.grab().toImage();
  for (QWidget* control : {static_cast<QWidget*>(w.Label6), static_cast<QWidget*>(w.DBText1)}) {
    const QPoint corner = control->mapTo(&w, QPoint(control->width() - 2, 1));
    EXPECT_EQ(shot.pixelColor(corner), QColor(Qt::white)) << control->objectName().toStdString();
  }

  MessageBoxScript answerer;
  w.actEsci->trigger();
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(answerer.seen().empty());
  EXPECT_EQ(Read("archivio.dat"), kHeader);
}

TEST_F(MainWindowTest, CalcolaCopiesArchivesOnceAndTells) {
  TfrmCodFis& w = Start();
  TypePerson("rossi", "mario", false, QDate(1980, 1, 1), "roma");
  EXPECT_EQ(w.Cognome->text(), QStringLiteral("ROSSI"));  // typed letters go upper case

  MessageBoxScript answerer;
  w.actCalcola->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("RSSMRA80A01H501U"));
  EXPECT_EQ(w.Label6->text(), QStringLiteral("RSSMRA80A01H501U"));
  ASSERT_EQ(answerer.seen().size(), 1u);
  EXPECT_EQ(answerer.seen()[0].title, QStringLiteral("Information"));
  EXPECT_EQ(answerer.seen()[0].icon, MessageBoxScript::Icon::Information);
  EXPECT_EQ(answerer.seen()[0].text, QStringLiteral("Il Codice è stato copiato negli appunti\n"
                                                    "Incollalo dove ti serve con: CTRL+V"));
  ASSERT_EQ(w.LbCsv2.RecordCount(), 1);
  EXPECT_EQ(ArchiveRecord(1), (std::vector<std::string>{"ROSSI", "MARIO", "M", "roma", "01/01/1980",
                                                        "RSSMRA80A01H501U"}));

  // A second person, then the first again: archived once, still told.
  TypePerson("bianchi", "anna", true, QDate(1990, 12, 9), "CESENA");
  w.actCalcola->trigger();
  TypePerson("ROSSI", "MARIO", false, QDate(1980, 1, 1), "Roma");
  QGuiApplication::clipboard()->setText(QStringLiteral("sentinel"));
  w.actCalcola->trigger();
  EXPECT_EQ(answerer.seen().size(), 3u);
  EXPECT_EQ(w.LbCsv2.RecordCount(), 2);
  EXPECT_EQ(w.LbCsv2.RecordNumber(), 1);  // the record holding the code is current
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("RSSMRA80A01H501U"));

  w.actEsci->trigger();
  EXPECT_EQ(Read("archivio.dat"), kHeader +
                                      "ROSSI,MARIO,M,roma,01/01/1980,RSSMRA80A01H501U\r\n"
                                      "BIANCHI,ANNA,F,CESENA,09/12/1990,BNCNNA90T49C573K\r\n");
}

TEST_F(MainWindowTest, IncompleteCodeIsCopiedButNotArchived) {
  TfrmCodFis& w = Start();
  TypePerson("'", "MARIO", false, QDate(1980, 1, 1), "ROMA");  // no letter
  MessageBoxScript answerer;
  w.actCalcola->trigger();
  QTest::qWait(30);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("ERRORE"));
  EXPECT_EQ(w.Label6->text(), QStringLiteral("ERRORE"));
  // Told why, as the command line tells it.
  ASSERT_EQ(answerer.seen().size(), 1u);
  EXPECT_EQ(answerer.seen()[0].title, QStringLiteral("Warning"));
  EXPECT_EQ(answerer.seen()[0].text,
            QStringLiteral("Codice incompleto (ERRORE): cognome e nome devono avere almeno una "
                           "lettera"));
  EXPECT_EQ(w.LbCsv2.RecordCount(), 0);
}

TEST_F(MainWindowTest, CalcolaUsesTheMunicipalityShownOrRefusesIt) {
  TfrmCodFis& w = Start();
  // Typed without leaving the box: the code still belongs to what is shown.
  TypePerson("ROSSI", "MARIO", false, QDate(1980, 1, 1), "ROMA");
  MessageBoxScript answerer;
  w.ToolButton1->click();
  EXPECT_EQ(w.Label6->text(), QStringLiteral("RSSMRA80A01H501U"));
  EXPECT_EQ(w.DBText1->text(), QStringLiteral("RM"));

  TypePerson("VERDI", "PIO", false, QDate(1980, 1, 1), "Atlàntide");
  QGuiApplication::clipboard()->setText(QStringLiteral("sentinel"));
  w.actCalcola->trigger();
  ASSERT_EQ(answerer.seen().size(), 2u);
  EXPECT_EQ(answerer.seen()[1].title, QStringLiteral("Warning"));
  EXPECT_EQ(answerer.seen()[1].icon, MessageBoxScript::Icon::Warning);
  EXPECT_EQ(answerer.seen()[1].text, QStringLiteral("Comune non trovato: Atlàntide"));
  EXPECT_EQ(w.LbCsv1.RecordNumber(), w.LbCsv1.RecordCount());  // where a walk stops
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("sentinel"));
  EXPECT_TRUE(w.Label6->text().isEmpty());
  EXPECT_EQ(w.LbCsv2.RecordCount(), 1);
}

TEST_F(MainWindowTest, ResetKeepsSexAndLooksUpCesena) {
  TfrmCodFis& w = Start();
  TypePerson("ROSSI", "MARIO", false, QDate(1980, 1, 1), "ROMA");
  w.ComboBox1Click();
  EXPECT_EQ(w.DBText1->text(), QStringLiteral("RM"));
  w.Label6->setText(QStringLiteral("X"));
  w.actAzzera->trigger();
  EXPECT_TRUE(w.Cognome->text().isEmpty());
  EXPECT_TRUE(w.Label6->text().isEmpty());
  EXPECT_EQ(w.ComboBox1->currentText(), QStringLiteral("CESENA"));
  EXPECT_EQ(w.DBText1->text(), QStringLiteral("FC"));
  EXPECT_TRUE(w.RadioButton2->isChecked());
  // Picking the first entry of the list makes the first record current.
  w.ComboBox1->setCurrentIndex(0);
  emit w.ComboBox1->activated(0);
  EXPECT_EQ(w.LbCsv1.RecordNumber(), 1);
  EXPECT_EQ(w.DBText1->text(), QStringLiteral("PD"));
}

TEST_F(MainWindowTest, DropDownKeepsWhatIsTyped) {
  TfrmCodFis& w = Start();
  w.ComboBox1->setFocus();
  w.ComboBox1->lineEdit()->selectAll();
  QTest::keyClicks(w.ComboBox1->lineEdit(), QStringLiteral("forli'"));
  QTest::keyClick(w.ComboBox1->lineEdit(), Qt::Key_Escape);  // the suggestions
  MessageBoxScript answerer;                                 // Enter computes
  QTest::keyClick(w.ComboBox1->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(w.ComboBox1->currentText(), QStringLiteral("forli'"));
  // Leaving the box looks the municipality up.
  w.Cognome->setFocus();
  EXPECT_EQ(w.DBText1->text(), QStringLiteral("FC"));
  EXPECT_EQ(w.LbCsv1.FieldNamed("Code").Text(), "D704");
}

TEST_F(MainWindowTest, CalcolaRunsOnTheFirstClickWhileTheSuggestionsAreOpen) {
  TfrmCodFis& w = Start();
  TypePerson("ROSSI", "MARIO", false, QDate(1980, 1, 1), "");
  w.activateWindow();
  w.ComboBox1->setFocus();
  QTest::keyClicks(w.ComboBox1->lineEdit(), QStringLiteral("roma"));
  QWidget* suggestions = QApplication::activePopupWidget();
  ASSERT_NE(suggestions, nullptr);
  ASSERT_TRUE(suggestions->isVisible());

  // Pressed and released as a user clicks, through the window system.
  MessageBoxScript answerer;
  QWindow* window = w.windowHandle();
  const QPoint button = w.ToolButton1->mapTo(&w, w.ToolButton1->rect().center());
  QTest::mousePress(window, Qt::LeftButton, {}, button);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  QTest::qWait(20);
  QTest::mouseRelease(window, Qt::LeftButton, {}, button);
  QTest::qWait(20);
  ASSERT_EQ(answerer.seen().size(), 1u);
  EXPECT_EQ(answerer.seen()[0].title, QStringLiteral("Information"));
  EXPECT_EQ(w.Label6->text(), QStringLiteral("RSSMRA80A01H501U"));
  EXPECT_FALSE(w.ToolButton1->isDown());
  EXPECT_EQ(w.ComboBox1->currentText(), QStringLiteral("roma"));  // as typed
}

class ArchiveTabTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Write("archivio.dat", kHeader +
                              "ROSSI,MARIO,M,ROMA,01/01/1980,RSSMRA80A01H501U\r\n"
                              "BIANCHI,ANNA,X,forli',09/12/1990,BNCNNA90T49D704Z\r\n"
                              "VERDI,PIO,F,CESENA,1990-03-20,VRDPIO90C60C573Q\r\n");
  }
};

TEST_F(ArchiveTabTest, ReloadsARecordIntoTheInputs) {
  TfrmCodFis& w = Start();
  w.RadioButton1->setChecked(true);
  w.LbCsv2.SetRecordNumber(2);
  w.RxDBGrid1CellClick(0);
  EXPECT_EQ(w.Cognome->text(), QStringLiteral("BIANCHI"));
  EXPECT_EQ(w.Nome->text(), QStringLiteral("ANNA"));
  EXPECT_TRUE(w.RadioButton2->isChecked());  // any Sex but "F" loads as M
  EXPECT_EQ(w.ComboBox1->currentText(), QStringLiteral("forli'"));
  EXPECT_EQ(w.LbCsv1.FieldNamed("Code").Text(), "D704");
  EXPECT_EQ(w.DateTimePicker1->date(), QDate(1990, 12, 9));
  EXPECT_EQ(w.Label6->text(), QStringLiteral("BNCNNA90T49D704Z"));
}

TEST_F(ArchiveTabTest, UnreadableDateStopsTheReloadThere) {
  TfrmCodFis& w = Start();
  const QDate before = w.DateTimePicker1->date();
  w.Label6->setText(QStringLiteral("previous"));
  w.LbCsv2.SetRecordNumber(3);
  MessageBoxScript answerer;
  emit w.RxDBGrid1->CellClick(0);
  ASSERT_EQ(answerer.seen().size(), 1u);
  EXPECT_EQ(answerer.seen()[0].title, QStringLiteral("Viveze Vevoziv"));
  EXPECT_EQ(answerer.seen()[0].icon, MessageBoxScript::Icon::Error);
  EXPECT_EQ(answerer.seen()[0].text, QStringLiteral("'1990-03-20' is not a valid date."));
  EXPECT_EQ(w.Cognome->text(), QStringLiteral("VERDI"));
  EXPECT_TRUE(w.RadioButton1->isChecked());
  EXPECT_EQ(w.DBText1->text(), QStringLiteral("FC"));
  EXPECT_EQ(w.DateTimePicker1->date(), before);
  EXPECT_EQ(w.Label6->text(), QStringLiteral("previous"));
}

TEST_F(ArchiveTabTest, TabsSwitchTheActionsAndDoubleClickReturns) {
  TfrmCodFis& w = Start();
  EXPECT_FALSE(w.DataSetDelete1->isEnabled());
  w.PageControl1->setCurrentWidget(w.TabSheet2);
  EXPECT_TRUE(w.DataSetDelete1->isEnabled());
  EXPECT_FALSE(w.actCalcola->isEnabled());
  EXPECT_FALSE(w.actAzzera->isEnabled());
  w.LbCsv2.SetRecordNumber(1);
  emit w.RxDBGrid1->CellClick(1);
  emit w.RxDBGrid1->DblClick();
  EXPECT_EQ(w.PageControl1->currentWidget(), w.TabSheet1);
  EXPECT_EQ(w.Cognome->text(), QStringLiteral("ROSSI"));
  EXPECT_TRUE(w.actCalcola->isEnabled());
  EXPECT_TRUE(w.actAzzera->isEnabled());
  EXPECT_FALSE(w.DataSetDelete1->isEnabled());
}

TEST_F(ArchiveTabTest, DeleteAsksFirstAndDeletesOnOkOnly) {
  TfrmCodFis& w = Start();
  w.PageControl1->setCurrentWidget(w.TabSheet2);
  w.LbCsv2.SetRecordNumber(2);
  QString question;
  MessageBoxScript answerer;
  answerer.Then([&](QWidget* modal) {
    auto* dialog = qobject_cast<TfrmDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    question = dialog->labInfo()->text();
    dialog->JvBitBtn2Click();
  });
  w.DataSetDelete1Execute();
  ASSERT_EQ(answerer.seen().size(), 1u);
  EXPECT_EQ(answerer.seen()[0].title, QStringLiteral("Eliminazione record"));
  EXPECT_EQ(question, QStringLiteral("Verrà eliminato il Viveze Vevoziv di:\n\nBIANCHI ANNA  "
                                     "Continuare?"));
  EXPECT_EQ(w.LbCsv2.RecordCount(), 3);

  // The close box answers Cancel too.
  answerer.Then([](QWidget* modal) { modal->close(); });
  w.DataSetDelete1Execute();
  EXPECT_EQ(w.LbCsv2.RecordCount(), 3);

  answerer.Then([](QWidget* modal) { qobject_cast<TfrmDialog*>(modal)->JvBitBtn1Click(); });
  w.DataSetDelete1Execute();
  EXPECT_EQ(w.LbCsv2.RecordCount(), 2);
  EXPECT_EQ(w.LbCsv2.FieldNamed("Cognome").Text(), "VERDI");
  w.actEsci->trigger();
  EXPECT_EQ(Read("archivio.dat"), kHeader +
                                      "ROSSI,MARIO,M,ROMA,01/01/1980,RSSMRA80A01H501U\r\n"
                                      "VERDI,PIO,F,CESENA,1990-03-20,VRDPIO90C60C573Q\r\n");
}

TEST_F(ArchiveTabTest, CloseDuringConfirmationWaitsForTheAnswer) {
  TfrmCodFis& w = Start();
  bool visibleAfterCloseRequest = false;
  MessageBoxScript answerer;
  answerer.Then([&](QWidget* modal) {
    w.close();
    QTest::qWait(20);
    visibleAfterCloseRequest = w.isVisible();
    qobject_cast<TfrmDialog*>(modal)->JvBitBtn1Click();
  });
  w.DataSetDelete1Execute();
  EXPECT_TRUE(visibleAfterCloseRequest);
  EXPECT_EQ(w.LbCsv2.RecordCount(), 2);
  QTest::qWait(20);
  EXPECT_FALSE(w.isVisible());
  EXPECT_FALSE(w.LbCsv2.Active());
  EXPECT_EQ(Read("archivio.dat").count("\r\n"), 3);
}

TEST_F(MainWindowTest, ClosingTheWindowSavesTheArchive) {
  TfrmCodFis& w = Start();
  TypePerson("ROSSI", "MARIO", false, QDate(1980, 1, 1), "ROMA");
  MessageBoxScript answerer;
  w.actCalcola->trigger();
  w.close();
  EXPECT_FALSE(w.LbCsv2.Active());
  EXPECT_EQ(Read("archivio.dat"), kHeader + "ROSSI,MARIO,M,ROMA,01/01/1980,RSSMRA80A01H501U\r\n");
}

TEST_F(MainWindowTest, MissingMunicipalitiesStopStartUp) {
  QFile::remove(Path("comuni.dat"));
  MessageBoxScript answerer;
  TfrmCodFis& w = Start();
  ASSERT_EQ(answerer.seen().size(), 1u);
  EXPECT_EQ(answerer.seen()[0].text, QStringLiteral("Cannot open file ") +
                                         QDir::toNativeSeparators(Path("comuni.dat")) +
                                         QLatin1Char('.'));
  // Shown before the window is: centred on the screen all the same.
  const QPoint screen = QGuiApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE((answerer.seen()[0].geometry.center() - screen).manhattanLength(), 3);
  EXPECT_TRUE(w.LbCsv2.Active());
  EXPECT_FALSE(w.LbCsv1.Active());
  EXPECT_EQ(w.ComboBox1->count(), 0);
  EXPECT_EQ(w.Cognome->text(), QStringLiteral("COGNOME"));  // the reset did not run
}

TEST_F(MainWindowTest, ArchiveThatCannotBeCreatedStopsStartUp) {
  const QString missing = Path("gone");
  MessageBoxScript answerer;
  window_ = std::make_unique<TfrmCodFis>(missing);
  ASSERT_EQ(answerer.seen().size(), 1u);
  EXPECT_EQ(answerer.seen()[0].text, QStringLiteral("Cannot create file ") +
                                         QDir::toNativeSeparators(missing + "/archivio.dat") +
                                         QLatin1Char('.'));
  EXPECT_FALSE(window_->LbCsv2.Active());
  EXPECT_FALSE(window_->LbCsv1.Active());
}

TEST_F(MainWindowTest, ArchiveThatCannotBeSavedKeepsTheProgramOpenOnNo) {
  TfrmCodFis& w = Start();
  TypePerson("ROSSI", "MARIO", false, QDate(1980, 1, 1), "ROMA");
  MessageBoxScript answerer;
  w.actCalcola->trigger();
  // A folder standing where the archive must go stops the write, even for root.
  QFile::remove(Path("archivio.dat"));
  ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("archivio.dat")));
  answerer.Then({});  // the error box: OK
  answerer.ThenNo();
  w.actEsci->trigger();
  ASSERT_EQ(answerer.seen().size(), 3u);
  EXPECT_EQ(answerer.seen()[1].text, QStringLiteral("Cannot create file ") +
                                         QDir::toNativeSeparators(Path("archivio.dat")) +
                                         QLatin1Char('.'));
  EXPECT_EQ(answerer.seen()[2].title, QStringLiteral("Confirm"));
  EXPECT_EQ(answerer.seen()[2].icon, MessageBoxScript::Icon::Question);
  EXPECT_EQ(answerer.seen()[2].text,
            QStringLiteral("Impossibile salvare l'archivio. Uscire comunque? "
                           "Le modifiche andranno perse."));
  EXPECT_TRUE(w.isVisible());
  EXPECT_TRUE(w.LbCsv2.Active());
  EXPECT_TRUE(w.LbCsv1.Active());

  // The user frees the way and tries again: nothing was lost.
  ASSERT_TRUE(QDir(folder_.path()).rmdir(QStringLiteral("archivio.dat")));
  w.actEsci->trigger();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(Read("archivio.dat"), kHeader + "ROSSI,MARIO,M,ROMA,01/01/1980,RSSMRA80A01H501U\r\n");
}

TEST_F(MainWindowTest, CalcolaAndDeleteReachTheFileBeforeTheUserIsTold) {
  TfrmCodFis& w = Start();
  TypePerson("ROSSI", "MARIO", false, QDate(1980, 1, 1), "ROMA");
  QByteArray onDiskWhenTold;
  MessageBoxScript answerer;
  answerer.Then([&](QWidget*) { onDiskWhenTold = Read("archivio.dat"); });
  w.actCalcola->trigger();
  EXPECT_EQ(onDiskWhenTold, kHeader + "ROSSI,MARIO,M,ROMA,01/01/1980,RSSMRA80A01H501U\r\n");
  w.PageControl1->setCurrentWidget(w.TabSheet2);
  answerer.Then([](QWidget* modal) { qobject_cast<TfrmDialog*>(modal)->JvBitBtn1Click(); });
  w.DataSetDelete1Execute();
  EXPECT_EQ(Read("archivio.dat"), kHeader);
  // The grid's Ctrl+Delete too.
  w.PageControl1->setCurrentWidget(w.TabSheet1);
  w.actCalcola->trigger();
  w.PageControl1->setCurrentWidget(w.TabSheet2);
  answerer.ThenYes();
  QTest::keyClick(w.RxDBGrid1, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(w.LbCsv2.RecordCount(), 0);
  EXPECT_EQ(Read("archivio.dat"), kHeader);
}

TEST_F(MainWindowTest, QuittingAfterAFailedSaveIsAskedOnce) {
  TfrmCodFis& w = Start();
  QFile::remove(Path("archivio.dat"));
  ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("archivio.dat")));
  TypePerson("ROSSI", "MARIO", false, QDate(1980, 1, 1), "ROMA");
  MessageBoxScript answerer;
  w.actCalcola->trigger();  // the write-through fails: told once, then the code
  ASSERT_EQ(answerer.seen().size(), 2u);
  EXPECT_EQ(answerer.seen()[0].icon, MessageBoxScript::Icon::Error);
  EXPECT_EQ(answerer.seen()[1].title, QStringLiteral("Information"));
  answerer.Then({});  // the error box
  answerer.ThenYes();
  w.actEsci->trigger();
  EXPECT_EQ(answerer.seen().size(), 4u);
  EXPECT_EQ(answerer.seen()[3].title, QStringLiteral("Confirm"));
  EXPECT_FALSE(w.isVisible());
  EXPECT_FALSE(w.LbCsv2.Active());
}

}  // namespace
