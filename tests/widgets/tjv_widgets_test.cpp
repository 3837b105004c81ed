#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "widgets/thint_color_exchange.h"
#include "widgets/tjv_bit_btn.h"
#include "widgets/tjv_form_wallpaper.h"
#include "widgets/tjv_hot_link.h"
#include "widgets/tjv_label.h"
#include "widgets/tjv_status_bar2.h"

namespace {

void SendEnter(QWidget& widget) {
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), widget.mapToGlobal(QPointF(1, 1)));
  QCoreApplication::sendEvent(&widget, &enter);
}

void SendLeave(QWidget& widget) {
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&widget, &leave);
}

QFont PixelFont(const QString& family) {
  QFont font(family);
  font.setPixelSize(11);
  return font;
}

// Each test starts from a known application hint colour and leaves it as it was.
class HintColorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    original_ = THintColorExchange::ApplicationHintColor();
    THintColorExchange::SetApplicationHintColor(kAppHint);
  }
  void TearDown() override { THintColorExchange::SetApplicationHintColor(original_); }

  static QColor AppHint() { return QApplication::palette().color(QPalette::ToolTipBase); }
  static QColor TipHint() { return QToolTip::palette().color(QPalette::ToolTipBase); }

  const QColor kAppHint{255, 255, 225};
  QColor original_;
};

using HoverTest = HintColorTest;

TEST_F(HoverTest, HotLinkSwapsToHotFontOnceAndLeaveRestoresIt) {
  TJvHotLink link(QStringLiteral("www"));
  QFont normal = PixelFont(QStringLiteral("Tahoma"));
  normal.setUnderline(true);
  link.setFont(normal);
  QFont hot = PixelFont(QStringLiteral("MS Sans Serif"));
  hot.setUnderline(true);
  link.SetHotTrackFont(hot);
  const QColor normalText = link.palette().color(QPalette::WindowText);

  SendEnter(link);
  EXPECT_TRUE(link.MouseOver());
  EXPECT_EQ(link.font().family(), QStringLiteral("MS Sans Serif"));
  EXPECT_EQ(link.palette().color(link.foregroundRole()), QColor(Qt::blue));

  // A second enter without a leave must not remember the hot font as "normal".
  SendEnter(link);
  EXPECT_EQ(link.font().family(), QStringLiteral("MS Sans Serif"));

  SendLeave(link);
  EXPECT_FALSE(link.MouseOver());
  EXPECT_EQ(link.font().family(), QStringLiteral("Tahoma"));
  EXPECT_TRUE(link.font().underline());
  EXPECT_EQ(link.font().pixelSize(), 11);
  EXPECT_EQ(link.palette().color(QPalette::WindowText), normalText);

  // A leave without an enter changes nothing.
  link.setFont(PixelFont(QStringLiteral("Arial")));
  SendLeave(link);
  EXPECT_EQ(link.font().family(), QStringLiteral("Arial"));
}

TEST_F(HoverTest, LabelWithoutHotTrackKeepsItsFontAndSignalsTheMouse) {
  TJvLabel label(QStringLiteral("Viveze Vevoziv"));
  label.setFont(PixelFont(QStringLiteral("Tahoma")));
  label.SetHotTrackFont(PixelFont(QStringLiteral("Courier")));
  QSignalSpy entered(&label, &TJvLabel::mouseEntered);
  QSignalSpy left(&label, &TJvLabel::mouseLeft);

  SendEnter(label);
  EXPECT_EQ(label.font().family(), QStringLiteral("Tahoma"));
  SendEnter(label);  // the notification runs even when already over
  SendLeave(label);
  EXPECT_EQ(label.font().family(), QStringLiteral("Tahoma"));
  EXPECT_EQ(entered.count(), 2);
  EXPECT_EQ(left.count(), 1);
}

TEST_F(HoverTest, HotTrackSwitchedOnDuringAVisitRestoresNothingUnsaved) {
  TJvLabel label;
  label.setFont(PixelFont(QStringLiteral("Tahoma")));
  SendEnter(label);
  label.SetHotTrack(true);
  label.setFont(PixelFont(QStringLiteral("Arial")));
  SendLeave(label);
  EXPECT_EQ(label.font().family(), QStringLiteral("Arial"));
}

TEST_F(HintColorTest, WidgetsLendTheirHintColourAndGiveTheOriginalBack) {
  TJvStatusBar2 bar;
  bar.SetHintColor(Qt::yellow);
  auto* label = new TJvLabel(QStringLiteral("label"));
  label->SetHintColor(Qt::cyan);
  bar.PlaceControl(label, QRect(5, 4, 86, 13));
  TJvBitBtn button;
  button.SetHintColor(Qt::magenta);

  // The mouse goes onto the bar, then onto its label and back, then off.
  SendEnter(bar);
  EXPECT_EQ(AppHint(), QColor(Qt::yellow));
  EXPECT_EQ(TipHint(), QColor(Qt::yellow));
  SendEnter(*label);
  EXPECT_EQ(AppHint(), QColor(Qt::cyan));
  SendLeave(*label);
  EXPECT_EQ(AppHint(), QColor(Qt::yellow));
  SendEnter(bar);  // an unpaired enter must not lose the original colour
  SendLeave(bar);
  EXPECT_EQ(AppHint(), kAppHint);
  EXPECT_EQ(TipHint(), kAppHint);

  SendEnter(button);
  EXPECT_EQ(AppHint(), QColor(Qt::magenta));
  SendEnter(button);
  SendLeave(button);
  EXPECT_EQ(AppHint(), kAppHint);
}

TEST_F(HintColorTest, ADestroyedWidgetGivesTheHintColourBack) {
  {
    TJvLabel label;
    label.SetHintColor(Qt::green);
    SendEnter(label);
    EXPECT_EQ(AppHint(), QColor(Qt::green));
  }
  EXPECT_EQ(AppHint(), kAppHint);
}

TEST(TJvHotLinkTest, ClickHandsTheWholeAddressOverAfterTheClickHandler) {
  QStringList events;
  const QString address =
      QStringLiteral("https://www.example.it/") + QString(120 - 24, QLatin1Char('a')) + "/";
  ASSERT_EQ(address.size(), 120);

  TJvHotLink link(QStringLiteral("www.example.it"));
  link.SetUrlOpener([&events](const QUrl& url) { events << url.toString(); });
  link.SetUrl(address);
  link.resize(99, 13);
  link.show();
  QObject::connect(&link, &TJvLabel::clicked, [&events] { events << QStringLiteral("clicked"); });

  QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
  // A press that is released outside the link is no click.
  QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(150, 5));
  QTest::mouseClick(&link, Qt::RightButton, {}, QPoint(5, 5));

  EXPECT_EQ(events, QStringList({QStringLiteral("clicked"), address}));
}

TEST(TJvBitBtnTest, HotGlyphShowsOnlyWhileTheMouseIsOver) {
  QPixmap normal(16, 16);
  normal.fill(Qt::green);
  QPixmap hot(16, 16);
  hot.fill(Qt::red);
  TJvBitBtn button(QStringLiteral("OK"));
  button.SetGlyph(normal);
  const qint64 normalKey = button.icon().cacheKey();
  button.SetHotGlyph(hot);

  SendEnter(button);
  EXPECT_EQ(button.icon().pixmap(16, 16).toImage().pixel(8, 8), QColor(Qt::red).rgb());
  SendEnter(button);
  SendLeave(button);
  EXPECT_EQ(button.icon().cacheKey(), normalKey);
  EXPECT_EQ(button.iconSize(), QSize(16, 16));
}

TEST(TJvBitBtnTest, LeaveWithoutHotGlyphOrHotTrackTouchesNothing) {
  QPixmap glyph(16, 16);
  glyph.fill(Qt::green);
  TJvBitBtn button(QStringLiteral("Cancel"));
  button.SetGlyph(glyph);
  button.setFont(PixelFont(QStringLiteral("Tahoma")));
  button.SetHotTrackFont(PixelFont(QStringLiteral("Courier")));
  const qint64 key = button.icon().cacheKey();

  SendEnter(button);
  EXPECT_TRUE(button.MouseOver());
  SendLeave(button);
  EXPECT_EQ(button.icon().cacheKey(), key);
  EXPECT_EQ(button.font().family(), QStringLiteral("Tahoma"));

  button.SetHotTrack(true);
  SendEnter(button);
  EXPECT_EQ(button.font().family(), QStringLiteral("Courier"));
  SendLeave(button);
  EXPECT_EQ(button.font().family(), QStringLiteral("Tahoma"));
}

TEST(TJvBitBtnTest, DropDownMenuPopsAtTheLowerLeftCornerAfterTheClick) {
  QWidget window;
  window.resize(200, 100);
  auto* button = new TJvBitBtn(QStringLiteral("Menu"), &window);
  button->setGeometry(20, 30, 75, 25);
  QMenu menu;
  menu.addAction(QStringLiteral("One"));
  button->SetDropDownMenu(&menu);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  bool menuOpenDuringClick = true;
  QObject::connect(button, &QAbstractButton::clicked,
                   [&] { menuOpenDuringClick = menu.isVisible(); });
  SendEnter(*button);
  button->click();
  EXPECT_FALSE(menuOpenDuringClick);
  QTRY_VERIFY(menu.isVisible());
  EXPECT_EQ(menu.pos(), button->mapToGlobal(QPoint(0, 25)));
  EXPECT_FALSE(button->MouseOver());
  menu.hide();

  // Without a menu a click only clicks.
  button->SetDropDownMenu(nullptr);
  button->click();
  QCoreApplication::processEvents();
  EXPECT_FALSE(menu.isVisible());
}

struct TilingCase {
  const char* name;
  QSize area;
  QSize tile;
  int columns;
  int rows;
};

class TilingTest : public ::testing::TestWithParam<TilingCase> {};

TEST_P(TilingTest, TilesStartAtTheTopLeftAndOverrunTheEdges) {
  const TilingCase& c = GetParam();
  const QList<QPoint> origins = TJvFormWallpaper::TileOrigins(c.area, c.tile);
  ASSERT_EQ(origins.size(), c.columns * c.rows);
  QList<QPoint> expected;
  for (int i = 0; i < c.columns; ++i) {
    for (int j = 0; j < c.rows; ++j) expected << QPoint(i * c.tile.width(), j * c.tile.height());
  }
  EXPECT_EQ(origins, expected);
}

INSTANTIATE_TEST_SUITE_P(Wallpaper, TilingTest,
                         ::testing::Values(TilingCase{"DialogTiles", {324, 112}, {128, 28}, 3, 5},
                                           TilingCase{
                                               "LargerPicture", {324, 112}, {400, 200}, 1, 1},
                                           TilingCase{"ExactFit", {324, 112}, {324, 112}, 2, 2},
                                           TilingCase{"NoPicture", {324, 112}, {0, 0}, 0, 0},
                                           TilingCase{"FlatPicture", {324, 112}, {128, 0}, 0, 0},
                                           TilingCase{"NoArea", {0, 0}, {128, 28}, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// A tile whose four quarters have different colours, so any misplaced tile shows.
QPixmap QuarteredTile(QSize size) {
  QPixmap tile(size);
  QPainter painter(&tile);
  const int w = size.width() / 2, h = size.height() / 2;
  painter.fillRect(0, 0, w, h, Qt::red);
  painter.fillRect(w, 0, size.width() - w, h, Qt::green);
  painter.fillRect(0, h, w, size.height() - h, Qt::blue);
  painter.fillRect(w, h, size.width() - w, size.height() - h, Qt::yellow);
  return tile;
}

TEST(TJvFormWallpaperTest, PaintsTheTilesOverItsParentAndFollowsItsSize) {
  QWidget form;
  form.resize(100, 50);
  auto* wallpaper = new TJvFormWallpaper(&form);
  EXPECT_EQ(wallpaper->geometry(), QRect(0, 0, 100, 50));
  form.resize(324, 112);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_EQ(wallpaper->geometry(), QRect(0, 0, 324, 112));

  wallpaper->SetImage(QuarteredTile({128, 28}));
  EXPECT_EQ(wallpaper->TileOrigins().size(), 15);
  const QImage shot = wallpaper->grab().toImage();
  struct Probe {
    QPoint at;
    Qt::GlobalColor colour;
  };
  for (const Probe& p :
       {Probe{{0, 0}, Qt::red}, Probe{{127, 27}, Qt::yellow}, Probe{{128, 28}, Qt::red},
        Probe{{192, 0}, Qt::green}, Probe{{256, 84}, Qt::red}, Probe{{323, 111}, Qt::yellow},
        Probe{{300, 98}, Qt::blue}}) {
    EXPECT_EQ(shot.pixelColor(p.at), QColor(p.colour)) << p.at.x() << "," << p.at.y();
  }

  // A picture exactly the control's size is drawn once in full.
  wallpaper->SetImage(QuarteredTile({324, 112}));
  const QImage whole = wallpaper->grab().toImage();
  EXPECT_EQ(whole.pixelColor(161, 55), QColor(Qt::red));
  EXPECT_EQ(whole.pixelColor(162, 56), QColor(Qt::yellow));
  EXPECT_EQ(whole.pixelColor(323, 111), QColor(Qt::yellow));

  form.resize(200, 60);
  EXPECT_EQ(wallpaper->geometry(), QRect(0, 0, 200, 60));
}

TEST(TJvFormWallpaperTest, NoPictureLeavesTheParentShowing) {
  QWidget form;
  form.resize(50, 20);
  QPalette palette = form.palette();
  palette.setColor(QPalette::Window, Qt::darkCyan);
  form.setPalette(palette);
  form.setAutoFillBackground(true);
  new TJvFormWallpaper(&form);
  EXPECT_EQ(form.grab().toImage().pixelColor(25, 10), QColor(Qt::darkCyan));
}

TEST(TJvStatusBar2Test, PanelsAreOneHundredTenWideThenToTheEdge) {
  TJvStatusBar2 bar;
  bar.resize(345, 19);
  ASSERT_EQ(bar.PanelCount(), 2);
  EXPECT_EQ(bar.PanelRect(0), QRect(0, 0, 110, 19));
  EXPECT_EQ(bar.PanelRect(1), QRect(110, 0, 235, 19));
  EXPECT_EQ(bar.PanelRect(2), QRect());
  bar.SetPanelWidths({50, 60});
  EXPECT_EQ(bar.PanelRect(2), QRect(110, 0, 235, 19));
}

TEST(TJvStatusBar2Test, ResizeRealignsPlacedControlsByTheirAnchors) {
  TJvStatusBar2 bar;
  bar.resize(345, 19);
  bar.show();
  auto* left = new TJvLabel;
  auto* right = new TJvLabel;
  auto* stretched = new TJvLabel;
  auto* loose = new QWidget;
  bar.PlaceControl(left, QRect(5, 4, 86, 13));
  bar.PlaceControl(right, QRect(237, 4, 99, 13), Qt::RightEdge | Qt::TopEdge);
  bar.PlaceControl(stretched, QRect(120, 4, 110, 13), Qt::LeftEdge | Qt::RightEdge);
  loose->setParent(&bar);
  loose->setGeometry(100, 2, 10, 10);
  EXPECT_EQ(left->parentWidget(), &bar);

  bar.resize(445, 19);
  EXPECT_EQ(left->geometry(), QRect(5, 4, 86, 13));
  EXPECT_EQ(right->geometry(), QRect(337, 4, 99, 13));
  EXPECT_EQ(stretched->geometry(), QRect(120, 4, 210, 13));
  EXPECT_EQ(loose->geometry(), QRect(100, 2, 10, 10));

  // Moved by its owner, a control keeps its new distance to the right edge.
  right->move(300, 4);
  bar.resize(345, 19);
  EXPECT_EQ(right->geometry(), QRect(200, 4, 99, 13));
  EXPECT_EQ(stretched->geometry(), QRect(120, 4, 110, 13));

  delete stretched;  // a destroyed control is simply forgotten
  bar.resize(300, 19);
  EXPECT_EQ(right->geometry(), QRect(155, 4, 99, 13));
}

}  // namespace
