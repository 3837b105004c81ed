#include "ui/menu_icon_style.h"

#include <QApplication>

MenuIconStyle::MenuIconStyle(int iconSize)
    : QProxyStyle(QApplication::style()->name()), iconSize_(iconSize) {}

int MenuIconStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                               const QWidget* widget) const {
  if (metric == PM_SmallIconSize) return iconSize_;
  return QProxyStyle::pixelMetric(metric, option, widget);
}
