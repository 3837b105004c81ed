#include "ui/artwork.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

// The pictures are built into the static ui library, whose resource
// initialiser the linker would otherwise drop.
static void LoadPictures() {
  static const bool loaded = [] {
    Q_INIT_RESOURCE(images);
    return true;
  }();
  (void)loaded;
}

QPixmap Artwork::Picture(const QString& name, QSize size) {
  return Picture(name, size, qApp ? qApp->devicePixelRatio() : 1.0);
}

QPixmap Artwork::Picture(const QString& name, QSize size, qreal ratio) {
  LoadPictures();
  if (size.isEmpty() || !(ratio > 0)) return {};
  QString file = name;
  if (!file.endsWith(QLatin1String(".svg"))) file += QLatin1String(".svg");

  const QString key = QStringLiteral("artwork:%1:%2x%3@%4")
                          .arg(file)
                          .arg(size.width())
                          .arg(size.height())
                          .arg(ratio);
  QPixmap cached;
  if (QPixmapCache::find(key, &cached)) return cached;

  QSvgRenderer renderer(QStringLiteral(":/images/") + file);
  if (!renderer.isValid()) return {};

  // Paint into an image first: a pixmap may live on a device that cannot
  // start out transparent.
  QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
  painter.end();

  QPixmap picture = QPixmap::fromImage(image);
  picture.setDevicePixelRatio(ratio);
  QPixmapCache::insert(key, picture);
  return picture;
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
