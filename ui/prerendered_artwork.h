// The pictures the build rendered ahead.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The pictures the build rendered ahead (see artwork_sizes.h).
//
// The key of a picture: its file name, its size and the density in percent,
// as in "card.svg 339x217@200".
inline QString PrerenderedKey(const QString& file, QSize size, qreal ratio) {
  return QStringLiteral("%1 %2x%3@%4")
      .arg(file)
      .arg(size.width())
      .arg(size.height())
      .arg(qRound(ratio * 100));
}

// The picture of `key`, or a null image when it was not rendered ahead. Its
// pixels are the program's own, read-only: the image shares them.
QImage PrerenderedArtwork(const QString& key);
