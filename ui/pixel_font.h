// Fonts as the layouts give them, in pixels.
#pragma once

#include <QFont>
#include <QString>

// A font as the layouts give it: a family and a height in pixels, so text
// keeps its designed size whatever the screen's dots per inch.
inline QFont PixelFont(const QString& family, int pixels, bool bold = false) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}
