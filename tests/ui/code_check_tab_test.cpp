// The code-check tab as a user types into it, with the shipped places.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>

#include "engine/fiscal_code_check.h"
#include "tests/ui/main_window_fixture.h"
#include "widgets/tcode_parts.h"
#include "widgets/tdata_set_action.h"

namespace {

class CodeCheckTabTest : public ShippedPlacesTest {
 protected:
  QString Check(const char* typed) {
    window_->edtCodice->clear();
    QTest::keyClicks(window_->edtCodice, QString::fromLatin1(typed));
    return window_->labEsito->text() + QLatin1Char('|') + window_->labDettagli->text();
  }
};

TEST_F(CodeCheckTabTest, TypedCodesAreReadBackAndComparedWithTheInputs) {
  TfrmCodFis& w = Start();
  w.PageControl1->setCurrentWidget(w.TabSheet3);
  EXPECT_FALSE(w.actCalcola->isEnabled());
  EXPECT_FALSE(w.actAzzera->isEnabled());
  EXPECT_FALSE(w.DataSetDelete1->isEnabled());
  const std::string cursor = w.LbCsv1.FieldNamed("Code").Text();
  EXPECT_EQ(Check("rssmra75c15f402o"), QStringLiteral("Codice valido|"));  // the rest in parts
  EXPECT_EQ(w.LbCsv1.FieldNamed("Code").Text(), cursor);  // the calculation tab's place
  const QString changed = Check("RSSMRA75C15F403O");      // one digit changed
  EXPECT_TRUE(changed.startsWith(QStringLiteral("Carattere di controllo errato: atteso ")));
  EXPECT_FALSE(changed.endsWith(QStringLiteral("atteso O|"))) << changed.toStdString();
  EXPECT_TRUE(Check("RSSMRA75C15F40RO").startsWith(QStringLiteral("Carattere di controllo")));
  EXPECT_EQ(Check("RSSMRA75C1AF402O"), QStringLiteral("Carattere non valido in posizione 11|"));
  const QString homocode = QString::fromStdString(Homocodes("RSSMRA75C15F402O")[0]);
  EXPECT_TRUE(Check(homocode.toLatin1().constData())
                  .endsWith(QStringLiteral("Omocodia: codice base RSSMRA75C15F402O")));

  w.PageControl1->setCurrentWidget(w.TabSheet1);
  EXPECT_TRUE(w.actCalcola->isEnabled());
  TypePerson("ROSSI", "MARIO", false, QDate(1975, 3, 15), "MONTALCINO");
  w.PageControl1->setCurrentWidget(w.TabSheet3);  // shown again: read afresh
  EXPECT_TRUE(w.labDettagli->text().endsWith(QStringLiteral("\nCorrisponde ai dati inseriti")));
  EXPECT_EQ(Check("RSSMRA75C15F402O"),
            QStringLiteral("Codice valido|Corrisponde ai dati inseriti"));
  EXPECT_TRUE(Check("CHNWAI85C03Z221B")
                  .startsWith(QStringLiteral("Codice valido|Non corrisponde ai dati inseriti\n"
                                             "Cognome: nel codice CHN, nei dati RSS\n")));
  EXPECT_TRUE(
      Check(" rss mra 75C15 F402O ").endsWith(QStringLiteral("|Corrisponde ai dati inseriti")));
  w.ComboBox1->setEditText(QStringLiteral("ATLANTIDE"));  // refused by Calcola: said why
  EXPECT_TRUE(Check("CHNWAI85C03Z221B").endsWith(QStringLiteral("|Comune non trovato: ATLANTIDE")));
  EXPECT_TRUE(Check("RSSMRA20C15F402"
                    "X")
                  .contains(QStringLiteral("Codice")));
  w.PageControl1->setCurrentWidget(w.TabSheet2);
  EXPECT_FALSE(w.actCalcola->isEnabled());
  EXPECT_TRUE(w.DataSetDelete1->isEnabled());
}

// The calculation tab's person is named above the verdict, and each field
// that differs is named below it, in the command line's lines.
TEST_F(CodeCheckTabTest, TheVerdictSaysWhomTheCodeIsHeldAgainst) {
  TfrmCodFis& w = Start();
  TypePerson("ROSSI", "MARIO", false, QDate(1975, 3, 15), "MONTALCINO");
  w.PageControl1->setCurrentWidget(w.TabSheet3);
  Check("NRENNA75C45H501N");
  EXPECT_TRUE(w.labDati->isVisible());
  EXPECT_EQ(w.labDati->text(),
            QStringLiteral("Dati del calcolo: ROSSI MARIO, M, 15/03/1975, MONTALCINO"));
  EXPECT_LE(w.labDati->geometry().bottom(), w.labDettagli->y());
  // Every line of the longest mismatch still in sight, none cut off.
  EXPECT_LE(w.labDettagli->heightForWidth(w.labDettagli->width()), w.labDettagli->height());
  EXPECT_EQ(w.labDettagli->text(),
            QStringLiteral("Non corrisponde ai dati inseriti\n"
                           "Cognome: nel codice NRE, nei dati RSS\n"
                           "Nome: nel codice NNA, nei dati MRA\n"
                           "Sesso: nel codice F, nei dati M\n"
                           "Data di nascita: nel codice 05/03/1975, nei dati 15/03/1975\n"
                           "Luogo di nascita: nel codice H501 ROMA (RM), nei dati F402 "
                           "MONTALCINO (SI)"));
  // Nobody typed there: nothing compared, nobody named.
  w.Cognome->clear();
  w.Nome->clear();
  Check("NRENNA75C45H501N");
  EXPECT_FALSE(w.labDati->isVisible());
}

TEST_F(CodeCheckTabTest, AScreenReaderHearsEachPartsCaptionLettersAndMeaning) {
  TfrmCodFis& w = Start();
  w.PageControl1->setCurrentWidget(w.TabSheet3);
  const auto heard = [this, &w](const char* typed) {
    Check(typed);
    QStringList names;
    for (std::size_t part = 0; part < 6; ++part) {
      QAccessibleInterface* row = QAccessible::queryAccessibleInterface(w.codeParts->Row(part));
      EXPECT_EQ(row->role(), QAccessible::StaticText);
      names << row->text(QAccessible::Name);
    }
    return names.join(QLatin1Char('|'));
  };
  EXPECT_EQ(heard("RSSMRA75C15F402A"),
            QStringLiteral("Cognome: RSS, consonanti R S S|Nome: MRA, consonanti M R, vocale A|"
                           "Anno e mese: 75C, marzo 1975; anche marzo 1875|"
                           "Giorno e sesso: 15, giorno 15, maschio|"
                           "Luogo: F402, MONTALCINO (SI), fino al 31/12/2016|"
                           "Controllo: A, errato, atteso O"));
  EXPECT_EQ(heard("RSSMRA7"), QStringLiteral("Cognome: RSS, consonanti R S S|Nome: MRA, consonanti "
                                             "M R, vocale A|Anno e mese: 7|Giorno e sesso|Luogo|"
                                             "Controllo"));
}

// A click or a shortcut shows the tab to type a code; the arrow keys on the
// tab bar only walk the tabs.
TEST_F(CodeCheckTabTest, TheCodeBoxTakesTheFocusUnlessTheTabsAreWalked) {
  TfrmCodFis& w = Start();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  QTabBar* tabs = w.PageControl1->tabBar();
  ASSERT_EQ(QApplication::focusWidget(), tabs);
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
  EXPECT_EQ(QApplication::focusWidget(), w.edtCodice);
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
  w.Cognome->setFocus();
  QTest::keyClick(w.Cognome, Qt::Key_Tab, Qt::ControlModifier);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(w.PageControl1->currentWidget(), w.TabSheet3);
  EXPECT_EQ(QApplication::focusWidget(), w.edtCodice);
  tabs->setCurrentIndex(0);
  tabs->setFocus(Qt::TabFocusReason);
  QTest::keyClick(tabs, Qt::Key_Right);
  QTest::keyClick(tabs, Qt::Key_Right);
  EXPECT_EQ(w.PageControl1->currentWidget(), w.TabSheet3);
  EXPECT_EQ(QApplication::focusWidget(), tabs);
  QTest::keyClick(tabs, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), w.edtCodice);
}

}  // namespace
