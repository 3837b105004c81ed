// On a dark desktop the card, the dialog and the code-check tab keep dark
// text on light paper; the rest of the window follows the desktop.
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "tests/ui/main_window_fixture.h"
#include "ui/light_palette.h"
#include "ui/tfrm_dialog.h"
#include "widgets/tcode_parts.h"
#include "widgets/tdb_text.h"
#include "widgets/tjv_bit_btn.h"
#include "widgets/trx_db_grid.h"

namespace {

QPalette DarkPalette() {
  QPalette dark;
  for (const QPalette::ColorGroup group :
       {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    dark.setColor(group, QPalette::Window, QColor(45, 45, 45));
    dark.setColor(group, QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(group, QPalette::Base, QColor(30, 30, 30));
    dark.setColor(group, QPalette::Text, QColor(235, 235, 235));
    dark.setColor(group, QPalette::Button, QColor(55, 55, 55));
    dark.setColor(group, QPalette::ButtonText, QColor(235, 235, 235));
    dark.setColor(group, QPalette::ToolTipBase, QColor(60, 60, 60));
    dark.setColor(group, QPalette::ToolTipText, QColor(235, 235, 235));
  }
  return dark;
}

bool Light(const QColor& c) { return c.lightness() >= 200; }
bool Dark(const QColor& c) { return c.lightness() <= 60; }

std::string Name(const QWidget* w) { return w->objectName().toStdString(); }

class DarkDesktopTest : public MainWindowTest {
 protected:
  void SetUp() override {
    saved_ = QApplication::palette();
    QApplication::setPalette(DarkPalette());
    MainWindowTest::SetUp();
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    QApplication::setPalette(saved_);
  }

  static void ExpectPaper(const QWidget* w, QPalette::ColorRole paper, QPalette::ColorRole ink) {
    EXPECT_TRUE(Light(w->palette().color(QPalette::Active, paper))) << Name(w);
    EXPECT_TRUE(Dark(w->palette().color(QPalette::Active, ink))) << Name(w);
  }

  QPalette saved_;
};

}  // namespace

TEST_F(DarkDesktopTest, CardAndCheckTabKeepDarkTextOnLightPaper) {
  TfrmCodFis& w = Start();
  for (const QWidget* edit :
       {static_cast<QWidget*>(w.Cognome), static_cast<QWidget*>(w.Nome),
        static_cast<QWidget*>(w.ComboBox1), static_cast<QWidget*>(w.DateTimePicker1),
        static_cast<QWidget*>(w.edtCodice)}) {
    ExpectPaper(edit, QPalette::Base, QPalette::Text);
  }
  for (const QWidget* label :
       {static_cast<QWidget*>(w.Label6), static_cast<QWidget*>(w.DBText1),
        static_cast<QWidget*>(w.RadioButton1), static_cast<QWidget*>(w.labEsito),
        static_cast<QWidget*>(w.labDettagli), static_cast<QWidget*>(w.codeParts->Row(0))}) {
    ExpectPaper(label, QPalette::Window, QPalette::WindowText);
  }
  // The edit being typed in turns the card's pale yellow, not the desktop's
  // dark tooltip colour.
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  w.Cognome->setFocus();
  EXPECT_EQ(w.Cognome->palette().color(QPalette::Base), LightPalette::InputColour());

  // The rest of the window is the desktop's.
  EXPECT_TRUE(Dark(w.PageControl1->tabBar()->palette().color(QPalette::Window)));
  EXPECT_TRUE(Dark(w.RxDBGrid1->palette().color(QPalette::Base)));
}

TEST_F(DarkDesktopTest, ResultIsDrawnDarkOnWhite) {
  TfrmCodFis& w = Start();
  w.Label6->setText(QStringLiteral("RSSMRA80A01H501U"));
  const QImage shot = w.Label6->grab().toImage();
  ASSERT_FALSE(shot.isNull());
  // The corner is paper; the letters are ink.
  EXPECT_TRUE(Light(shot.pixelColor(shot.width() - 2, 1)));
  int darkest = 255;
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) darkest = std::min(darkest, qGray(shot.pixel(x, y)));
  }
  EXPECT_LE(darkest, 60);
}

TEST_F(DarkDesktopTest, DialogKeepsItsLightLook) {
  TfrmDialog dialog;
  ExpectPaper(&dialog, QPalette::Window, QPalette::WindowText);
  ExpectPaper(dialog.labInfo(), QPalette::Window, QPalette::WindowText);
  ExpectPaper(dialog.JvBitBtn1(), QPalette::Button, QPalette::ButtonText);
}
