// The tiled wallpaper TJvFormWallpaper.
#pragma once

#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QWidget>

// Covers its parent's whole area with its Image repeated from the top-left
// corner; the last column and row are cut off at the edges.
class TJvFormWallpaper : public QWidget {
  Q_OBJECT

 public:
  explicit TJvFormWallpaper(QWidget* parent = nullptr);

  const QPixmap& Image() const;
  void SetImage(const QPixmap& image);

  // Where the tiles go: columns 0..area.width / tile.width and rows
  // 0..area.height / tile.height, both inclusive. Empty for an empty tile or area.
  static QList<QPoint> TileOrigins(const QSize& area, const QSize& tile);
  // The same for this control and its Image.
  QList<QPoint> TileOrigins() const;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void FollowParent();

  QPixmap image_;
  QPointer<QWidget> followed_;
};
