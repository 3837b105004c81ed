#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's pictures are SVG sources in the resources under ":/images".
// They are rendered at the exact size the layout asks for, so they stay sharp
// at any size and no bitmap copies have to be kept in step with them.
class Artwork {
 public:
  // Number of tool pictures, "tool0" to "tool9".
  static constexpr int ToolCount = 10;
  static constexpr int ToolSize = 24;

  // `name` is the file name in the resources, with or without ".svg"
  // ("card", "dlg_warning.svg"). An unknown name gives a null pixmap.
  static QPixmap Picture(const QString& name, QSize size);

  // Tool picture `index` at 24x24: the colour picture for the normal and
  // active modes and its grey version for the disabled mode. An index outside
  // 0..9 gives an empty icon.
  static QIcon ToolIcon(int index);

  // Luminance grey, lightened and slightly transparent, as a disabled
  // toolbar picture looks.
  static QPixmap GreyPicture(const QPixmap& colour);
};
