// Drawing a picture from its source. Kept apart from the rest of Artwork so
// the build's own renderer, which makes the pictures ahead, links it alone.
#include <QPainter>
#include <QSvgRenderer>

#include "ui/artwork.h"

// The pictures are built into a static library, whose resource initialiser
// the linker would otherwise drop.
static void LoadPictures() {
  static const bool loaded = [] {
    Q_INIT_RESOURCE(images);
    return true;
  }();
  (void)loaded;
}

QString Artwork::FileName(const QString& name) {
  return name.endsWith(QLatin1String(".svg")) ? name : name + QLatin1String(".svg");
}

QImage Artwork::Render(const QString& name, QSize size, qreal ratio) {
  LoadPictures();
  if (size.isEmpty() || !(ratio > 0)) return {};
  QSvgRenderer renderer(QStringLiteral(":/images/") + FileName(name));
  if (!renderer.isValid()) return {};
  // An image first: a pixmap may live on a device that cannot start out
  // transparent.
  QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
  painter.end();
  return image;
}
