// Tab pages with the fixed client size the layout gives.
#pragma once

#include <QProxyStyle>
#include <QSize>

// Gives the pages of a tab widget a fixed client size, centred in the pane
// the platform style draws, so controls laid out in pixels sit where designed
// whatever the style's frame widths.
class PageControlStyle : public QProxyStyle {
 public:
  explicit PageControlStyle(QSize pageSize);

  QRect subElementRect(SubElement element, const QStyleOption* option,
                       const QWidget* widget) const override;

 private:
  QSize pageSize_;
};
