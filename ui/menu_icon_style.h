// Menus drawing their pictures at the tool images' size.
#pragma once

#include <QProxyStyle>

// Menus that draw their entries' pictures at the tool images' own size, so an
// entry with a picture is at least that tall.
class MenuIconStyle : public QProxyStyle {
 public:
  explicit MenuIconStyle(int iconSize);

  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override;

 private:
  int iconSize_;
};
