// Real people typed into the window with the shipped municipality table:
// places chosen by the birth date, letters beyond A to Z.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QClipboard>
#include <QCompleter>
#include <QFile>
#include <QLabel>

#include "engine/today.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/message_box.h"
#include "widgets/tdb_text.h"

namespace {

class BirthPlaceTest : public ShippedPlacesTest {
 protected:
  // Calcola as the user runs it; the text of the box it put up, if any.
  QString Calcola() {
    MessageBoxScript answerer;
    window_->actCalcola->trigger();
    return answerer.seen().empty() ? QString() : answerer.seen().back().text;
  }
};

TEST_F(BirthPlaceTest, EachPersonGetsTheCodeOfThePlaceAsItWasOnTheBirthDate) {
  TfrmCodFis& w = Start();
  const struct {
    const char* surname;
    const char* name;
    bool female;
    QDate born;
    const char* place;
    const char* code;
  } people[] = {
      {"ROSSI", "MARIO", false, {1975, 3, 15}, "MONTALCINO", "RSSMRA75C15F402O"},
      {"ROSSI", "MARIO", false, {2020, 3, 15}, "Montalcino", "RSSMRA20C15M378X"},
      {"ROSSI", "MARIO", false, {2016, 12, 31}, "montalcino", "RSSMRA16T31F402W"},
      {"ROSSI", "MARIO", false, {2017, 1, 1}, "MONTALCINO", "RSSMRA17A01M378H"},
      {"BIANCHI", "ANNA", true, {1934, 5, 5}, "LESSONA", "BNCNNA34E45E552L"},
      {"VERDI", "LUCA", false, {1975, 6, 1}, "CORIGLIANO CALABRO", "VRDLCU75H01D005W"},
      {"CHAN", "WAI", false, {1985, 3, 3}, "HONG KONG", "CHNWAI85C03Z221B"},
      {"MARTIN", "FRANÇOIS", false, {1980, 1, 1}, "forlì", "MRTFNC80A01D704V"},
      {"ÇELIK", "AHMET", false, {1980, 1, 1}, "città di castello", "CLKHMT80A01C745O"},
      {"NOÈ", "ZOË", true, {1990, 2, 2}, "ROMA", "NOEZOE90B42H501D"},
      {"BØ", "ANNA", true, {1990, 2, 2}, "ROMA", "BOXNNA90B42H501S"},
      {"GROß", "PAUL", false, {1990, 2, 2}, "ROMA", "GRSPLA90B02H501F"},
      {"MÜLLER", "STRAßER", false, {1990, 2, 2}, "ROMA", "MLLSRS90B02H501T"},
      // As papers write places: another language, a common form.
      {"ROSSI", "MARIO", false, {1980, 1, 1}, "Bozen", "RSSMRA80A01A952F"},
      {"ROSSI", "MARIO", false, {1980, 1, 1}, "Reggio Calabria", "RSSMRA80A01H224X"},
      {"ROSSI", "MARIO", false, {1970, 1, 1}, "URSS", "RSSMRA70A01Z135N"},
  };
  int archived = 0;
  for (const auto& p : people) {
    SCOPED_TRACE(p.surname + std::string(" ") + p.place);
    TypePerson(p.surname, p.name, p.female, p.born, p.place);
    EXPECT_EQ(Calcola(), QStringLiteral("Il Codice è stato copiato negli appunti\n"
                                        "Incollalo dove ti serve con: CTRL+V"));
    EXPECT_EQ(w.Label6->text(), QString::fromLatin1(p.code));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromLatin1(p.code));
    ASSERT_EQ(w.LbCsv2.RecordCount(), ++archived);
    // Stored as typed.
    const std::vector<std::string> stored = ArchiveRecord(archived);
    EXPECT_EQ(QString::fromLocal8Bit(stored[0]), w.Cognome->text());
    EXPECT_EQ(QString::fromLocal8Bit(stored[1]), w.Nome->text());
    EXPECT_EQ(QString::fromLocal8Bit(stored[3]), QString::fromUtf8(p.place));
  }
}

TEST_F(BirthPlaceTest, APlaceThatDidNotExistYetIsRefused) {
  TfrmCodFis& w = Start();
  TypePerson("ROSSI", "MARIO", false, QDate(1975, 3, 15), "CORIGLIANO-ROSSANO");
  QGuiApplication::clipboard()->setText(QStringLiteral("sentinel"));
  MessageBoxScript answerer;
  w.actCalcola->trigger();
  ASSERT_EQ(answerer.seen().size(), 1u);
  EXPECT_EQ(answerer.seen()[0].title, QStringLiteral("Warning"));
  EXPECT_EQ(answerer.seen()[0].icon, MessageBoxScript::Icon::Warning);
  EXPECT_EQ(answerer.seen()[0].text,
            QStringLiteral("CORIGLIANO-ROSSANO: nessun codice in uso alla data di nascita "
                           "(in uso dal 31/03/2018)"));
  EXPECT_TRUE(w.Label6->text().isEmpty());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("sentinel"));
  EXPECT_EQ(w.LbCsv2.RecordCount(), 0);
  // The drop-down lists a name once however many codes it had.
  int montalcino = 0;
  for (int i = 0; i < w.ComboBox1->count(); ++i) {
    if (w.ComboBox1->itemText(i) == QStringLiteral("MONTALCINO")) ++montalcino;
  }
  EXPECT_EQ(montalcino, 1);
}

TEST_F(BirthPlaceTest, JustBeforeAPlacesFirstCodeItIsOfferedWithNoTheDefault) {
  TfrmCodFis& w = Start();
  const QString asked = QStringLiteral(
      "DAIRAGO: nessun codice in uso alla data di nascita (in uso dal 22/01/1958)\n"
      "Calcolare con D244, DAIRAGO (MI), in uso dal 22/01/1958?");
  TypePerson("BIANCHI", "ANNA", true, QDate(1956, 5, 10), "DAIRAGO");
  EXPECT_EQ(Calcola(), asked);  // left to its default: nothing computed
  EXPECT_TRUE(w.Label6->text().isEmpty());
  MessageBoxScript answerer;
  answerer.ThenYes();
  w.actCalcola->trigger();
  ASSERT_EQ(answerer.seen().size(), 2u);
  EXPECT_EQ(answerer.seen()[0].text, asked);
  EXPECT_TRUE(answerer.seen()[1].text.endsWith(
      QStringLiteral("\nCodice luogo non in uso alla data di nascita.")));
  EXPECT_EQ(w.Label6->text(), QStringLiteral("BNCNNA56E50D244C"));
  EXPECT_EQ(w.LbCsv2.RecordCount(), 1);
  // Between two municipalities of one name, and a date not yet come: refused.
  TypePerson("BIANCHI", "ANNA", true, QDate(1980, 5, 10), "MADRUZZO");
  EXPECT_FALSE(Calcola().contains(QStringLiteral("Calcolare")));
  const QDate tomorrow = QDate::currentDate().addDays(1);
  TypePerson("BIANCHI", "ANNA", true, tomorrow, "ROMA");
  EXPECT_EQ(Calcola(), QStringLiteral("Data di nascita nel futuro: ") +
                           tomorrow.toString(QStringLiteral("dd/MM/yyyy")));
  EXPECT_TRUE(w.Label6->text().isEmpty());
  EXPECT_EQ(w.LbCsv2.RecordCount(), 1);
}

TEST_F(BirthPlaceTest, TwoPlacesOfTheNameThenAreRefusedWithBoth) {
  TfrmCodFis& w = Start();
  TypePerson("ROSSI", "MARIO", false, QDate(1980, 1, 1), "castro");
  EXPECT_EQ(Calcola(), QStringLiteral("Comune ambiguo: CASTRO (BG), CASTRO (LE)"));
  EXPECT_TRUE(w.Label6->text().isEmpty());
  EXPECT_EQ(w.LbCsv2.RecordCount(), 0);
}

TEST_F(BirthPlaceTest, TypingOffersThePlacesAndAPickShowsItsProvince) {
  TfrmCodFis& w = Start();
  auto* completer = w.findChild<QCompleter*>(QStringLiteral("ComboBox1Completer"));
  ASSERT_NE(completer, nullptr);
  w.ComboBox1->lineEdit()->clear();
  QTest::keyClicks(w.ComboBox1->lineEdit(), QStringLiteral("s. giovanni rot"));
  QAbstractItemModel* offered = completer->completionModel();
  ASSERT_GT(offered->rowCount(), 0);
  EXPECT_EQ(offered->index(0, 0).data().toString(), QStringLiteral("SAN GIOVANNI ROTONDO"));
  EXPECT_EQ(w.ComboBox1->currentText(), QStringLiteral("s. giovanni rot"));  // until picked
  completer->popup()->setCurrentIndex(completer->completionModel()->index(0, 0));
  QTest::keyClick(completer->popup(), Qt::Key_Return);
  EXPECT_EQ(w.ComboBox1->currentText(), QStringLiteral("SAN GIOVANNI ROTONDO"));
  EXPECT_EQ(w.DBText1->text(), QStringLiteral("FG"));
}

TEST_F(BirthPlaceTest, LeavingTheDropDownLooksThePlaceUpOnThePickersDate) {
  TfrmCodFis& w = Start();
  w.DateTimePicker1->setDate(QDate(1975, 3, 15));
  w.ComboBox1->setEditText(QStringLiteral("Montalcino"));
  w.ComboBox1Click();
  EXPECT_EQ(w.LbCsv1.FieldNamed("Code").Text(), "F402");
  w.DateTimePicker1->setDate(QDate(2020, 3, 15));
  w.ComboBox1Click();
  EXPECT_EQ(w.LbCsv1.FieldNamed("Code").Text(), "M378");
  EXPECT_EQ(w.DBText1->text(), QStringLiteral("SI"));
}

TEST_F(BirthPlaceTest, AnOldArchiveWithTwoDigitYearsReloadsInTheRightCentury) {
  Write("archivio.dat", kHeader + "ROSSI,MARIO,M,MONTALCINO,15/03/75,RSSMRA75C15F402O\r\n");
  TfrmCodFis& w = Start();
  w.LbCsv2.First();
  w.RxDBGrid1CellClick(0);
  EXPECT_EQ(w.DateTimePicker1->date(), QDate(1975, 3, 15));
  EXPECT_EQ(w.LbCsv1.FieldNamed("Code").Text(), "F402");  // the place as it was then
  MessageBoxScript answerer;
  w.actCalcola->trigger();
  EXPECT_EQ(w.Label6->text(), QStringLiteral("RSSMRA75C15F402O"));
  EXPECT_EQ(w.LbCsv2.RecordCount(), 1);  // the same code, not archived again
}

TEST_F(BirthPlaceTest, AnArchivedHomonymReloadsAsThePlaceOfItsCode) {
  Write("archivio.dat", kHeader + "ROSSI,MARIO,M,BRIONE,01/01/2000,RSSMRA00A01B185E\r\n");
  TfrmCodFis& w = Start();
  w.LbCsv2.First();
  w.RxDBGrid1CellClick(0);
  EXPECT_EQ(w.LbCsv1.FieldNamed("Code").Text(), "B185");
  EXPECT_EQ(w.DBText1->text(), QStringLiteral("TN"));
}

}  // namespace
