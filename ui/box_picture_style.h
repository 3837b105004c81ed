// The message boxes' style, with the program's own pictures.
#pragma once

#include <QProxyStyle>

// The program's style for message boxes: the desktop's, but with the
// program's own pictures for the kinds of box and no pictures on the box's
// buttons, so that showing a box looks nothing up in the icon theme.
class BoxPictureStyle : public QProxyStyle {
 public:
  // The one the boxes share, owned by the application.
  static BoxPictureStyle* Instance();

  QIcon standardIcon(StandardPixmap picture, const QStyleOption* option = nullptr,
                     const QWidget* widget = nullptr) const override;

 private:
  BoxPictureStyle() = default;
};
