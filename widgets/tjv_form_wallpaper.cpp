#include "widgets/tjv_form_wallpaper.h"

#include <QEvent>
#include <QPainter>

TJvFormWallpaper::TJvFormWallpaper(QWidget* parent) : QWidget(parent) { FollowParent(); }

const QPixmap& TJvFormWallpaper::Image() const { return image_; }

void TJvFormWallpaper::SetImage(const QPixmap& image) {
  image_ = image;
  update();
}

QList<QPoint> TJvFormWallpaper::TileOrigins(const QSize& area, const QSize& tile) {
  QList<QPoint> origins;
  if (tile.width() <= 0 || tile.height() <= 0 || area.isEmpty()) return origins;
  const int columns = area.width() / tile.width() + 1;
  const int rows = area.height() / tile.height() + 1;
  origins.reserve(columns * rows);
  for (int i = 0; i < columns; ++i) {
    for (int j = 0; j < rows; ++j) origins.append(QPoint(i * tile.width(), j * tile.height()));
  }
  return origins;
}

QList<QPoint> TJvFormWallpaper::TileOrigins() const {
  return TileOrigins(size(), image_.deviceIndependentSize().toSize());
}

bool TJvFormWallpaper::event(QEvent* event) {
  if (event->type() == QEvent::ParentChange) FollowParent();
  return QWidget::event(event);
}

bool TJvFormWallpaper::eventFilter(QObject* watched, QEvent* event) {
  if (watched == followed_ && event->type() == QEvent::Resize) setGeometry(followed_->rect());
  return QWidget::eventFilter(watched, event);
}

void TJvFormWallpaper::FollowParent() {
  if (followed_) followed_->removeEventFilter(this);
  followed_ = parentWidget();
  if (followed_) {
    followed_->installEventFilter(this);
    setGeometry(followed_->rect());
  }
}

void TJvFormWallpaper::paintEvent(QPaintEvent*) {
  const QList<QPoint> origins = TileOrigins();
  if (origins.isEmpty()) return;
  // Composed off-screen and put on screen in one step, so it never flickers.
  const qreal ratio = devicePixelRatioF();
  QPixmap buffer(size() * ratio);
  buffer.setDevicePixelRatio(ratio);
  buffer.fill(Qt::transparent);
  {
    QPainter tiles(&buffer);
    for (const QPoint& origin : origins) tiles.drawPixmap(origin, image_);
  }
  QPainter(this).drawPixmap(0, 0, buffer);
}
