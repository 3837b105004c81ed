#include "ui/artwork.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmapCache>

#include "ui/prerendered_artwork.h"

QPixmap Artwork::Picture(const QString& name, QSize size) {
  return Picture(name, size, qApp ? qApp->devicePixelRatio() : 1.0);
}

QPixmap Artwork::Picture(const QString& name, QSize size, qreal ratio) {
  if (size.isEmpty() || !(ratio > 0)) return {};
  const QString key = PrerenderedKey(FileName(name), size, ratio);
  QPixmap cached;
  if (QPixmapCache::find(key, &cached)) return cached;

  QImage image = Prerendered(key, (QSizeF(size) * ratio).toSize());
  if (image.isNull()) image = Render(name, size, ratio);
  if (image.isNull()) return {};
  QPixmap picture = QPixmap::fromImage(image);
  picture.setDevicePixelRatio(ratio);
  QPixmapCache::insert(key, picture);
  return picture;
}

QImage Artwork::Prerendered(const QString& key, QSize pixels) {
  QImage image = PrerenderedArtwork(key);
  if (image.size() != pixels) return {};
  return image;
}

QIcon Artwork::ToolIcon(int index) {
  if (index < 0 || index >= ToolCount) return {};
  const QString name = QStringLiteral("tool%1").arg(index);
  QList<qreal> ratios{1.0};
  if (qApp && qApp->devicePixelRatio() != 1.0) ratios.append(qApp->devicePixelRatio());
  QIcon icon;
  for (const qreal ratio : ratios) {
    const QPixmap colour = Picture(name, QSize(ToolSize, ToolSize), ratio);
    if (colour.isNull()) return {};
    icon.addPixmap(colour, QIcon::Normal);
    icon.addPixmap(colour, QIcon::Active);
    icon.addPixmap(GreyPicture(colour), QIcon::Disabled);
  }
  return icon;
}

QPixmap Artwork::GreyPicture(const QPixmap& colour) {
  if (colour.isNull()) return {};
  QImage image = colour.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = line[x];
      const int luma = qGray(pixel);
      // Part way to white keeps the shapes readable but clearly inactive.
      const int grey = luma + (255 - luma) * 2 / 5;
      line[x] = qRgba(grey, grey, grey, qAlpha(pixel) * 4 / 5);
    }
  }
  QPixmap grey = QPixmap::fromImage(image);
  grey.setDevicePixelRatio(colour.devicePixelRatio());
  return grey;
}
