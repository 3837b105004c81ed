// What a screen reader finds in the two windows: a name for everything that
// takes the focus, the card's captions on its inputs and result, the archive
// grid readable as a table. (The offscreen platform has no accessibility
// bridge, so the change events themselves cannot be seen here.)
#include <QAccessible>
#include <QDateEdit>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <functional>
#include <string>
#include <vector>

#include "tests/ui/main_window_fixture.h"
#include "ui/message_box.h"
#include "ui/tfrm_dialog.h"
#include "widgets/tdb_text.h"
#include "widgets/tjv_bit_btn.h"
#include "widgets/trx_db_grid.h"

namespace {

QString Describe(QAccessibleInterface* node) {
  QString where = QString::number(node->role(), 16);
  if (QObject* object = node->object()) {
    where.append(QLatin1Char(' ')).append(QString::fromLatin1(object->metaObject()->className()));
    where.append(QLatin1Char(' ')).append(object->objectName());
  }
  return where;
}

// A blank cell is read by its column's title.
bool NamedByColumn(QAccessibleInterface* node) {
  QAccessibleTableCellInterface* cell = node->tableCellInterface();
  if (!cell) return false;
  const QList<QAccessibleInterface*> headers = cell->columnHeaderCells();
  return !headers.isEmpty() && !headers.front()->text(QAccessible::Name).isEmpty();
}

// Every focusable, visible node of the tree under `root` that has no name.
std::string Nameless(QObject* root, int atLeast) {
  QStringList nameless;
  int visited = 0;
  std::function<void(QAccessibleInterface*, int)> walk = [&](QAccessibleInterface* node,
                                                             int depth) {
    if (!node || !node->isValid() || depth > 40) return;
    ++visited;
    const QAccessible::State state = node->state();
    if (state.focusable && !state.invisible && node->text(QAccessible::Name).trimmed().isEmpty() &&
        !NamedByColumn(node)) {
      nameless << Describe(node);
    }
    for (int i = 0; i < node->childCount(); ++i) walk(node->child(i), depth + 1);
  };
  walk(QAccessible::queryAccessibleInterface(root), 0);
  if (visited < atLeast) nameless << QStringLiteral("tree too small: %1 nodes").arg(visited);
  return nameless.join(QStringLiteral("; ")).toStdString();
}

std::string NameOf(QObject* object) {
  QAccessibleInterface* node = QAccessible::queryAccessibleInterface(object);
  return node ? node->text(QAccessible::Name).toStdString() : "<no interface>";
}

// The names of the labels a screen reader reads for `object`.
std::vector<std::string> LabelsOf(QObject* object) {
  std::vector<std::string> labels;
  QAccessibleInterface* node = QAccessible::queryAccessibleInterface(object);
  if (!node) return labels;
  for (const auto& relation : node->relations(QAccessible::Label)) {
    labels.push_back(relation.first->text(QAccessible::Name).toStdString());
  }
  return labels;
}

}  // namespace

TEST_F(MainWindowTest, EveryFocusableControlHasANameOnEveryTab) {
  TfrmCodFis& w = Start();
  for (QWidget* tab : {w.TabSheet1, w.TabSheet2, w.TabSheet3}) {
    w.PageControl1->setCurrentWidget(tab);
    QTest::qWait(5);
    EXPECT_EQ(Nameless(&w, 50), "") << tab->objectName().toStdString();
  }
}

TEST_F(MainWindowTest, CardInputsCarryThePaintedCaptions) {
  TfrmCodFis& w = Start();
  EXPECT_EQ(NameOf(w.Cognome), "Cognome");
  EXPECT_EQ(NameOf(w.Nome), "Nome");
  // The drop-down is named by its caption, not by the place in it.
  EXPECT_EQ(LabelsOf(w.ComboBox1), std::vector<std::string>{"Luogo di nascita"});
  EXPECT_EQ(NameOf(w.ComboBox1), "Luogo di nascita");
  EXPECT_EQ(QAccessible::queryAccessibleInterface(w.ComboBox1)->text(QAccessible::Value), "CESENA");
  EXPECT_EQ(NameOf(w.ComboBox1->lineEdit()), "Luogo di nascita");
  EXPECT_EQ(NameOf(w.DateTimePicker1), "Data di nascita");
  EXPECT_EQ(NameOf(w.RadioButton1), "Sesso: F");
  EXPECT_EQ(NameOf(w.RadioButton2), "Sesso: M");
  // Start-up looked up CESENA: its province is read with the caption.
  EXPECT_EQ(NameOf(w.DBText1), "Provincia: FC");
  EXPECT_EQ(NameOf(w.Label6), "Codice fiscale");
  EXPECT_EQ(NameOf(w.edtCodice), "Codice fiscale da verificare");
  // Tool buttons read as the menu entries of their actions do.
  EXPECT_EQ(NameOf(w.ToolButton1), "Calcola");
  EXPECT_EQ(NameOf(w.ToolButton6), "First");
  EXPECT_EQ(NameOf(w.ToolButton8), "Esci");
  EXPECT_FALSE(QAccessible::queryAccessibleInterface(w.ToolButton13)
                   ->text(QAccessible::Description)
                   .isEmpty());
}

TEST_F(MainWindowTest, ResultIsReadWithItsCaption) {
  TfrmCodFis& w = Start();
  TypePerson("rossi", "mario", false, QDate(1980, 1, 1), "roma");
  {
    MessageBoxScript answerer;
    w.actCalcola->trigger();
  }
  QAccessibleInterface* result = QAccessible::queryAccessibleInterface(w.Label6);
  EXPECT_EQ(result->text(QAccessible::Name).toStdString(), "Codice fiscale: RSSMRA80A01H501U");
  EXPECT_EQ(result->text(QAccessible::Value).toStdString(), "RSSMRA80A01H501U");
  w.actAzzera->trigger();
  EXPECT_EQ(result->text(QAccessible::Name).toStdString(), "Codice fiscale");
}

TEST_F(MainWindowTest, ArchiveGridReadsAsATableWithColumnNames) {
  Write("archivio.dat", kHeader + "ROSSI,MARIO,M,ROMA,01/01/1980,RSSMRA80A01H501U\r\n");
  TfrmCodFis& w = Start();
  w.PageControl1->setCurrentWidget(w.TabSheet2);
  QTest::qWait(5);
  QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(w.RxDBGrid1);
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->text(QAccessible::Name).toStdString(), "Archivio codici");
  QAccessibleTableInterface* table = grid->tableInterface();
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->columnCount(), 6);
  EXPECT_EQ(table->rowCount(), 1);
  EXPECT_EQ(table->columnDescription(0).toStdString(), "Cognome");
  EXPECT_EQ(table->columnDescription(5).toStdString(), "CodiceFiscale");
  QAccessibleInterface* cell = table->cellAt(0, 5);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->text(QAccessible::Name).toStdString(), "RSSMRA80A01H501U");
}

TEST(DialogAccessibility, ButtonsAndPictureAreNamed) {
  TfrmDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Eliminazione record"));
  dialog.labTitolo()->setText(QStringLiteral("Eliminare il record?"));
  dialog.show();
  QTest::qWait(5);
  EXPECT_EQ(Nameless(&dialog, 5), "");
  EXPECT_EQ(NameOf(dialog.JvBitBtn1()), "OK");
  EXPECT_EQ(NameOf(dialog.JvBitBtn2()), "Cancel");
  EXPECT_EQ(NameOf(dialog.img()), "Informazione");
  dialog.SetIconKind(0);
  EXPECT_EQ(NameOf(dialog.img()), "Domanda");
  dialog.SetIconKind(2);
  EXPECT_EQ(NameOf(dialog.img()), "Errore");
  dialog.hide();
}
