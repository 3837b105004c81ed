// Pictures rendered from their sources at the screen's pixel density, not
// rendered small and scaled up.
#include <gtest/gtest.h>

#include <QImage>

#include "ui/artwork.h"
#include "ui/artwork_sizes.h"
#include "ui/prerendered_artwork.h"

namespace {

// True when some 2x2 block differs inside: an image drawn at twice the size
// has detail a doubled small one lacks.
bool HasDetailBeyondHalfSize(const QImage& image) {
  for (int y = 0; y + 1 < image.height(); y += 2) {
    for (int x = 0; x + 1 < image.width(); x += 2) {
      const QRgb p = image.pixel(x, y);
      if (image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p ||
          image.pixel(x + 1, y + 1) != p)
        return true;
    }
  }
  return false;
}

}  // namespace

TEST(ArtworkTest, PictureAtARatioHasThatManyPixelsAndItsOwnDetail) {
  const QPixmap single = Artwork::Picture(QStringLiteral("card"), QSize(339, 217), 1.0);
  const QPixmap twice = Artwork::Picture(QStringLiteral("card"), QSize(339, 217), 2.0);
  ASSERT_FALSE(single.isNull());
  ASSERT_FALSE(twice.isNull());
  EXPECT_EQ(single.size(), QSize(339, 217));
  EXPECT_EQ(twice.size(), QSize(678, 434));
  EXPECT_EQ(twice.devicePixelRatio(), 2.0);
  EXPECT_EQ(twice.deviceIndependentSize().toSize(), QSize(339, 217));
  EXPECT_TRUE(HasDetailBeyondHalfSize(twice.toImage()));
  // A fractional screen (150%) rounds to whole pixels.
  EXPECT_EQ(Artwork::Picture(QStringLiteral("tool0"), QSize(24, 24), 1.5).size(), QSize(36, 36));
  EXPECT_TRUE(Artwork::Picture(QStringLiteral("card"), QSize(339, 217), 0).isNull());
}

TEST(ArtworkTest, GreyToolPictureKeepsTheRatio) {
  const QPixmap colour = Artwork::Picture(QStringLiteral("tool3"), QSize(24, 24), 2.0);
  const QPixmap grey = Artwork::GreyPicture(colour);
  EXPECT_EQ(grey.size(), QSize(48, 48));
  EXPECT_EQ(grey.devicePixelRatio(), 2.0);
}

// The pictures rendered by the build are what the sources draw here, at every
// size the windows use, so opening a window draws none of them.
TEST(ArtworkTest, PicturesRenderedAheadAreTheSourcesDrawn) {
  int checked = 0;
  for (const ArtworkUse& use : kArtworkUses) {
    for (const qreal ratio : kArtworkRatios) {
      const QString name = QString::fromLatin1(use.name);
      SCOPED_TRACE(name.toStdString() + " at " + std::to_string(ratio));
      const QImage ahead =
          PrerenderedArtwork(PrerenderedKey(Artwork::FileName(name), use.size, ratio))
              .convertToFormat(QImage::Format_ARGB32);
      ASSERT_FALSE(ahead.isNull());
      const QImage drawn =
          Artwork::Render(name, use.size, ratio).convertToFormat(QImage::Format_ARGB32);
      ASSERT_FALSE(drawn.isNull());
      EXPECT_EQ(ahead, drawn);
      EXPECT_EQ(
          Artwork::Picture(name, use.size, ratio).toImage().convertToFormat(QImage::Format_ARGB32),
          drawn);
      ++checked;
    }
  }
  EXPECT_EQ(checked, static_cast<int>(std::size(kArtworkUses) * std::size(kArtworkRatios)));
  // Other sizes and densities are drawn from the sources.
  EXPECT_TRUE(
      PrerenderedArtwork(PrerenderedKey(QStringLiteral("card.svg"), {339, 217}, 1.5)).isNull());
  EXPECT_EQ(Artwork::Picture(QStringLiteral("card"), {100, 50}, 1.0).size(), QSize(100, 50));
}
