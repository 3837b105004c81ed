// The main window as designed: what can go wrong without anybody noticing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <memory>

#include "engine/short_date.h"
#include "ui/artwork.h"
#include "ui/light_palette.h"
#include "ui/program_setup.h"
#include "ui/tfrm_cod_fis.h"
#include "widgets/tdata_set_action.h"
#include "widgets/tdate_time_picker.h"
#include "widgets/tdb_text.h"
#include "widgets/tjv_hot_link.h"
#include "widgets/tjv_label.h"
#include "widgets/tjv_status_bar2.h"
#include "widgets/trx_db_grid.h"

namespace {

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpProgram();
    SetShortDateFormat("dd/MM/yyyy");
    ASSERT_TRUE(folder_.isValid());
    QFile file(folder_.filePath(QStringLiteral("comuni.dat")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("comuni,Code,Prov\r\nCESENA,C573,FC\r\nROMA,H501,RM\r\n");
    file.close();
    window_ = std::make_unique<TfrmCodFis>(folder_.path());
    window_->show();
    QTest::qWait(30);
  }

  QTemporaryDir folder_;
  std::unique_ptr<TfrmCodFis> window_;
};

TEST_F(LayoutTest, FixedFrameAndClientArea) {
  TfrmCodFis& w = *window_;
  EXPECT_EQ(w.centralWidget()->size(), QSize(345, 306));
  EXPECT_EQ(w.minimumSize(), w.maximumSize());
  EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Viveze Vevoziv"));
  w.resize(600, 500);
  EXPECT_EQ(w.centralWidget()->size(), QSize(345, 306));
  EXPECT_EQ(w.TabSheet1->size(), QSize(337, 223));
  w.PageControl1->setCurrentWidget(w.TabSheet2);
  EXPECT_EQ(w.TabSheet2->size(), QSize(337, 223));
}

TEST_F(LayoutTest, ControlsSitWhereDesigned) {
  TfrmCodFis& w = *window_;
  const struct {
    QWidget* control;
    QRect geometry;
  } placed[] = {
      {w.CoolBar1, {0, 0, 345, 36}},
      {w.PageControl1, {0, 36, 345, 251}},
      {w.JvStatusBar21, {0, 287, 345, 19}},
      {w.ToolBar4, {9, 0, 185, 32}},
      {w.ToolBar1, {196, 0, 107, 32}},
      {w.ToolBar3, {305, 0, 45, 32}},
      {w.ToolButton6, {0, 0, 34, 30}},
      {w.ToolButton7, {34, 0, 34, 30}},
      {w.ToolButton9, {68, 0, 34, 30}},
      {w.ToolButton10, {102, 0, 34, 30}},
      {w.ToolButton13, {136, 0, 34, 30}},
      {w.ToolButton1, {0, 0, 34, 30}},
      {w.ToolButton2, {34, 0, 34, 30}},
      {w.ToolButton8, {0, 0, 34, 30}},
      {w.Panel1, {0, 8, 337, 215}},
      {w.Image1, {-1, -1, 339, 217}},
      {w.Label6, {59, 99, 241, 24}},
      {w.Cognome, {59, 126, 193, 12}},
      {w.Nome, {59, 141, 193, 12}},
      {w.ComboBox1, {59, 157, 145, 21}},
      {w.DateTimePicker1, {215, 175, 85, 21}},
      {w.RadioButton1, {287, 130, 33, 17}},
      {w.RadioButton2, {287, 146, 37, 17}},
      {w.DBText1, {59, 177, 41, 17}},
      {w.RxDBGrid1, {0, 0, 337, 223}},
      {w.JvLabel1, {5, 4, 86, 13}},
      {w.JvLabel2, {120, 4, 110, 13}},
      {w.JvHotLink1, {237, 4, 99, 13}},
  };
  for (const auto& p : placed) {
    EXPECT_EQ(p.control->geometry(), p.geometry) << p.control->objectName().toStdString();
  }
  EXPECT_EQ(w.Image1->pixmap().size(), QSize(339, 217));
  EXPECT_EQ(w.Label6->font().pixelSize(), 16);
  EXPECT_TRUE(w.Label6->font().bold());
  EXPECT_EQ(w.DBText1->font().pixelSize(), 13);
  EXPECT_FALSE(w.Cognome->hasFrame());
  EXPECT_FALSE(w.Nome->hasFrame());
  EXPECT_EQ(w.ComboBox1->maxVisibleItems(), 8);
  EXPECT_TRUE(w.ComboBox1->isEditable());
  EXPECT_TRUE(w.DateTimePicker1->calendarPopup());
  EXPECT_EQ(w.DateTimePicker1->displayFormat(), QStringLiteral("dd/MM/yyyy"));
}

TEST_F(LayoutTest, GridColumnsAsDesigned) {
  TfrmCodFis& w = *window_;
  const struct {
    const char* title;
    int width;
  } columns[] = {{"Cognome", 66}, {"Nome", 99}, {"Sex", 13},
                 {"Comune", 72},  {"Data", 61}, {"CodiceFiscale", 122}};
  QAbstractItemModel* model = w.RxDBGrid1->model();
  ASSERT_EQ(model->columnCount(), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(model->headerData(i, Qt::Horizontal).toString(),
              QString::fromLatin1(columns[i].title));
    EXPECT_EQ(w.RxDBGrid1->columnWidth(i), columns[i].width) << columns[i].title;
  }
  EXPECT_FALSE(w.RxDBGrid1->verticalHeader()->isVisible());
  EXPECT_EQ(w.RxDBGrid1->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(w.RxDBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(model->rowCount(), 1);  // the empty archive's blank row
}

TEST_F(LayoutTest, FocusStartsOnTheTabsAndTabWalksTheInputs) {
  TfrmCodFis& w = *window_;
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  EXPECT_EQ(QApplication::focusWidget(), w.PageControl1->tabBar());
  for (bool female : {true, false}) {
    (female ? w.RadioButton1 : w.RadioButton2)->setChecked(true);
    w.PageControl1->tabBar()->setFocus(Qt::TabFocusReason);
    const QWidget* expected[] = {w.Cognome,
                                 w.Nome,
                                 w.ComboBox1,
                                 w.DateTimePicker1,
                                 female ? static_cast<QWidget*>(w.RadioButton1) : w.RadioButton2,
                                 w.PageControl1->tabBar()};
    for (const QWidget* next : expected) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      EXPECT_EQ(QApplication::focusWidget(), next)
          << "after Tab: " << QApplication::focusWidget()->objectName().toStdString();
    }
  }
  // The date picker steps through day, month and year with the arrow keys.
  w.DateTimePicker1->setFocus();
  w.DateTimePicker1->setCurrentSectionIndex(0);
  QTest::keyClick(w.DateTimePicker1, Qt::Key_Right);
  EXPECT_EQ(w.DateTimePicker1->currentSection(), QDateTimeEdit::MonthSection);
  QTest::keyClick(w.DateTimePicker1, Qt::Key_Right);
  EXPECT_EQ(w.DateTimePicker1->currentSection(), QDateTimeEdit::YearSection);
  QTest::keyClick(w.DateTimePicker1, Qt::Key_Left);
  EXPECT_EQ(w.DateTimePicker1->currentSection(), QDateTimeEdit::MonthSection);
  // The radio buttons move with the arrow keys.
  w.RadioButton1->setChecked(true);
  w.RadioButton1->setFocus();
  QTest::keyClick(w.RadioButton1, Qt::Key_Down);
  EXPECT_TRUE(w.RadioButton2->isChecked());
}

TEST_F(LayoutTest, EditBoxesChangeColourWithTheFocus) {
  TfrmCodFis& w = *window_;
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  // The card's own tooltip colour, not the system's, which may be dark.
  const QColor tip = LightPalette::InputColour();
  ASSERT_NE(tip, QColor(Qt::white));
  w.Cognome->setFocus();
  EXPECT_EQ(w.Cognome->palette().color(QPalette::Base), tip);
  w.Nome->setFocus();
  EXPECT_EQ(w.Cognome->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(w.Nome->palette().color(QPalette::Base), tip);
  w.ComboBox1->setFocus();
  EXPECT_EQ(w.Nome->palette().color(QPalette::Base), QColor(Qt::white));
}

TEST_F(LayoutTest, OnlyCalcolaAzzeraAndExitShowTooltips) {
  TfrmCodFis& w = *window_;
  const auto showsTip = [](QToolButton* button) {
    QToolTip::hideText();  // hides after a short delay
    for (int i = 0; i < 100 && QToolTip::isVisible(); ++i) QTest::qWait(10);
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(button, &help);
    return QToolTip::isVisible() && QToolTip::text() == button->toolTip();
  };
  for (QToolButton* b : {w.ToolButton1, w.ToolButton2, w.ToolButton8}) {
    EXPECT_TRUE(showsTip(b)) << b->objectName().toStdString();
  }
  for (QToolButton* b :
       {w.ToolButton6, w.ToolButton7, w.ToolButton9, w.ToolButton10, w.ToolButton13}) {
    EXPECT_FALSE(showsTip(b)) << b->objectName().toStdString();
  }
  EXPECT_EQ(w.ToolButton8->toolTip(), QStringLiteral("Esci dal programma"));
  EXPECT_EQ(w.ToolButton8->defaultAction(), nullptr);
}

TEST_F(LayoutTest, ActionsAtStart) {
  TfrmCodFis& w = *window_;
  const struct {
    QAction* action;
    const char* caption;
    const char* hint;
    int image;
    bool enabled;
  } actions[] = {
      {w.actCalcola, "Calcola", "Calcola il codice fiscale", 0, true},
      {w.actAzzera, "Azzera", "Azzera tutti i dati", 9, true},
      {w.actEsci, "Esci", "Esci dal programma", 6, true},
      {w.actFirst, "Primo", "", 1, true},
      {w.actPrev, "Precedente", "", 2, true},
      {w.actNext, "Successivo", "", 3, true},
      {w.actLast, "Ultimo", "", 4, true},
      {w.actDelete, "Elimina", "", 5, true},
      {w.DataSetFirst1, "&First", "First", 1, true},
      {w.DataSetPrior1, "&Prior", "Prior", 2, true},
      {w.DataSetNext1, "&Next", "Next", 3, true},
      {w.DataSetLast1, "&Last", "Last", 4, true},
      {w.DataSetDelete1, "&Delete", "Delete", 5, false},
  };
  for (const auto& a : actions) {
    const std::string name = a.action->objectName().toStdString();
    EXPECT_EQ(a.action->text().remove(QLatin1Char('&')),
              QString::fromLatin1(a.caption).remove(QLatin1Char('&')))
        << name;
    EXPECT_EQ(a.action->statusTip(), QString::fromLatin1(a.hint)) << name;
    EXPECT_EQ(a.action->property("ImageIndex").toInt(), a.image) << name;
    EXPECT_FALSE(a.action->icon().isNull()) << name;
    EXPECT_TRUE(a.action->shortcut().isEmpty()) << name;
  }
  // Enabled states as designed, before the first idle moment.
  TfrmCodFis fresh(folder_.path());
  for (const auto& a : actions) {
    const QString name = a.action->objectName();
    QAction* same = fresh.findChild<QAction*>(name);
    ASSERT_NE(same, nullptr) << name.toStdString();
    EXPECT_EQ(same->isEnabled(), a.enabled) << name.toStdString();
  }
  EXPECT_EQ(TDataSetAction::Category(), QStringLiteral("Dataset"));
}

TEST_F(LayoutTest, MenusReadAsDesignedWithMnemonics) {
  TfrmCodFis& w = *window_;
  const auto captions = [](QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions())
      texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
  };
  QList<QAction*> top = w.menuBar()->actions();
  ASSERT_EQ(top.size(), 4);
  EXPECT_EQ(top[0]->text(), QStringLiteral("&File"));
  EXPECT_EQ(top[1]->text(), QStringLiteral("&Modifica"));
  EXPECT_EQ(top[2]->text(), QStringLiteral("Records"));
  EXPECT_EQ(top[3]->text(), QStringLiteral("&?"));
  EXPECT_TRUE(w.N2->actions().isEmpty());

  for (QMenu* menu : {w.File1, w.Modifica1, w.Records1}) emit menu->aboutToShow();
  EXPECT_EQ(
      captions(w.File1),
      (QStringList{QStringLiteral("&Calcola elenco..."), QStringLiteral("C&ontrolla elenco..."),
                   QStringLiteral("Es&porta archivio..."), QStringLiteral("-"),
                   QStringLiteral("&Aggiorna elenco comuni..."), QStringLiteral("-"),
                   QStringLiteral("&Esci")}));
  EXPECT_EQ(captions(w.Modifica1),
            (QStringList{QStringLiteral("&Calcola"), QStringLiteral("&Azzera"),
                         QStringLiteral("C&erca nell'archivio...")}));
  EXPECT_EQ(captions(w.Records1), (QStringList{QStringLiteral("&First"), QStringLiteral("&Prior"),
                                               QStringLiteral("&Next"), QStringLiteral("&Last"),
                                               QStringLiteral("-"), QStringLiteral("&Delete")}));
  // Entries draw their pictures at the tool images' size.
  EXPECT_GE(w.Records1->actionGeometry(w.DataSetFirst1).height(), 24);
  // Opening twice gives no second mnemonic.
  emit w.Modifica1->aboutToShow();
  EXPECT_EQ(captions(w.Modifica1),
            (QStringList{QStringLiteral("&Calcola"), QStringLiteral("&Azzera"),
                         QStringLiteral("C&erca nell'archivio...")}));
}

TEST_F(LayoutTest, TheLinkVisiblyChangesItsFontUnderTheMouse) {
  TfrmCodFis& w = *window_;
  const QFont normal = w.JvHotLink1->font();
  const QFontInfo before(normal);
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), w.JvHotLink1->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(w.JvHotLink1, &enter);
  const QFont hot = w.JvHotLink1->font();
  const QFontInfo over(hot);
  // Two installed faces, not one face the two names both fall back to.
  EXPECT_NE(before.family(), over.family());
  EXPECT_TRUE(QFontDatabase::hasFamily(before.family())) << before.family().toStdString();
  EXPECT_TRUE(QFontDatabase::hasFamily(over.family())) << over.family().toStdString();
  const QString caption = w.JvHotLink1->text();
  EXPECT_NE(QFontMetrics(normal).horizontalAdvance(caption),
            QFontMetrics(hot).horizontalAdvance(caption));
  EXPECT_TRUE(over.underline());
  EXPECT_EQ(w.JvHotLink1->palette().color(QPalette::WindowText), QColor(Qt::blue));
  // Both still fit the link's designed width, and the labels beside it,
  // in the link's face, theirs.
  EXPECT_LE(QFontMetrics(normal).horizontalAdvance(caption), w.JvHotLink1->width());
  EXPECT_LE(QFontMetrics(hot).horizontalAdvance(caption), w.JvHotLink1->width());
  for (const QLabel* label : {static_cast<QLabel*>(w.JvLabel1), static_cast<QLabel*>(w.JvLabel2)}) {
    EXPECT_EQ(QFontInfo(label->font()).family(), before.family());
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
        << label->objectName().toStdString();
  }

  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(w.JvHotLink1, &leave);
  EXPECT_EQ(QFontInfo(w.JvHotLink1->font()).family(), before.family());
}

TEST_F(LayoutTest, PicturesHaveTheirSizesAndCounts) {
  for (int i = 0; i < Artwork::ToolCount; ++i) {
    const QIcon icon = Artwork::ToolIcon(i);
    const QImage normal = icon.pixmap(24, 24, QIcon::Normal).toImage();
    const QImage grey = icon.pixmap(24, 24, QIcon::Disabled).toImage();
    ASSERT_EQ(normal.size(), QSize(24, 24)) << i;
    ASSERT_EQ(grey.size(), QSize(24, 24)) << i;
    EXPECT_NE(normal, grey) << i;
    for (int y = 0; y < 24; ++y) {
      for (int x = 0; x < 24; ++x) {
        const QColor c = grey.pixelColor(x, y);
        EXPECT_TRUE(c.alpha() == 0 || (c.red() == c.green() && c.green() == c.blue()))
            << "image " << i << " not grey at " << x << "," << y;
      }
    }
  }
  EXPECT_TRUE(Artwork::ToolIcon(Artwork::ToolCount).isNull());
  const struct {
    const char* name;
    QSize size;
  } pictures[] = {{"card", {339, 217}},          {"coolbar", {128, 28}},
                  {"wallpaper", {128, 28}},      {"dlg_question", {32, 32}},
                  {"dlg_information", {32, 32}}, {"dlg_warning", {32, 32}},
                  {"dlg_error", {32, 32}},       {"glyph_ok", {16, 16}},
                  {"glyph_cancel", {16, 16}},    {"app", {32, 32}}};
  for (const auto& p : pictures) {
    EXPECT_EQ(Artwork::Picture(QString::fromLatin1(p.name), p.size).size(), p.size) << p.name;
  }
  EXPECT_TRUE(Artwork::Picture(QStringLiteral("no-such-picture"), QSize(8, 8)).isNull());
}

}  // namespace
