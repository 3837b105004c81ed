#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's pictures are SVG sources in the resources under ":/images".
// They are rendered at the exact size the layout asks for, times the screen's
// device pixel ratio, so they stay sharp on any screen and no bitmap copies
// have to be kept in step with them.
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

  // Luminance grey, lightened and slightly transparent, as a disabled
  // toolbar picture looks.
  static QPixmap GreyPicture(const QPixmap& colour);
};
