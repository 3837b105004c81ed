#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

// The pictures the build rendered ahead (see artwork_sizes.h), as PNG.
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

// The PNG of `key`, or an empty array when it was not rendered ahead. The
// bytes are the program's own and stay valid.
QByteArray PrerenderedArtwork(const QString& key);
