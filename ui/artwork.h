// The program's pictures, rendered at the screen's density.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's pictures are SVG sources in the resources under ":/images".
// They are rendered at the exact size the layout asks for, times the screen's
// device pixel ratio, so they stay sharp on any screen. The sizes the windows
// use, at the common densities, are rendered by the build from the same
// sources (artwork_sizes.h), so no bitmap copies are kept in step by hand and
// a window opening draws none of them.
class Artwork {
 public:
  // Number of tool pictures, "tool0" to "tool9".
  static constexpr int ToolCount = 10;
  static constexpr int ToolSize = 24;

  // `name` is the file name in the resources, with or without ".svg"
  // ("card", "dlg_warning.svg"). `size` is in device-independent pixels; the
  // pixmap has `ratio` times as many and that device pixel ratio. Without a
  // ratio, the highest of the screens'. An unknown name gives a null pixmap.
  static QPixmap Picture(const QString& name, QSize size);
  static QPixmap Picture(const QString& name, QSize size, qreal ratio);

  // Tool picture `index` at 24x24: the colour picture for the normal and
  // active modes and its grey version for the disabled mode, each at one and
  // at the screens' device pixel ratio. An index outside 0..9 gives an empty
  // icon.
  static QIcon ToolIcon(int index);

  // The picture drawn from its source, whatever was rendered ahead; a null
  // image for an unknown name, an empty size or a ratio not above 0.
  static QImage Render(const QString& name, QSize size, qreal ratio);
  // `name` with ".svg" after it, unless it has it.
  static QString FileName(const QString& name);

  // Luminance grey, lightened and slightly transparent, as a disabled
  // toolbar picture looks.
  static QPixmap GreyPicture(const QPixmap& colour);

 private:
  // The picture of `key` rendered ahead, if it has `pixels`.
  static QImage Prerendered(const QString& key, QSize pixels);
};
