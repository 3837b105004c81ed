// The window's pictures on a high-density screen. This program always runs
// at twice the density (its main sets the scale), so the test is never
// skipped, nor counted twice at a density where it has nothing to show.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>

#include "tests/ui/main_window_fixture.h"
#include "ui/artwork.h"
#include "ui/tfrm_dialog.h"
#include "widgets/tjv_form_wallpaper.h"

using HighDensityWindowTest = MainWindowTest;

TEST_F(HighDensityWindowTest, WindowAndDialogPicturesMatchTheScreen) {
  TfrmCodFis& w = Start();
  const qreal ratio = w.devicePixelRatioF();
  ASSERT_GT(ratio, 1.0);
  const QPixmap card = w.Image1->pixmap();
  EXPECT_EQ(card.devicePixelRatio(), ratio);
  EXPECT_EQ(card.deviceIndependentSize().toSize(), QSize(339, 217));
  const auto* texture = w.CoolBar1->findChild<TJvFormWallpaper*>(QStringLiteral("CoolBarTexture"));
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->Image().devicePixelRatio(), ratio);

  // The tool button draws the picture rendered at the ratio, not a scaled one.
  const QImage drawn = w.actCalcola->icon().pixmap(QSize(24, 24), ratio).toImage();
  const QImage rendered = Artwork::Picture(QStringLiteral("tool0"), QSize(24, 24), ratio).toImage();
  EXPECT_EQ(drawn.size(), rendered.size());
  EXPECT_TRUE(drawn.convertToFormat(QImage::Format_ARGB32) ==
              rendered.convertToFormat(QImage::Format_ARGB32));

  TfrmDialog dialog;
  EXPECT_EQ(dialog.imgLst(1).devicePixelRatio(), ratio);
  EXPECT_EQ(dialog.JvFormWallpaper1()->Image().devicePixelRatio(), ratio);
}
