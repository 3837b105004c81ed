#include "ui/page_control_style.h"

#include <QApplication>

PageControlStyle::PageControlStyle(QSize pageSize)
    : QProxyStyle(QApplication::style()->name()), pageSize_(pageSize) {}

QRect PageControlStyle::subElementRect(SubElement element, const QStyleOption* option,
                                       const QWidget* widget) const {
  QRect rect = QProxyStyle::subElementRect(element, option, widget);
  if (element != SE_TabWidgetTabContents) return rect;
  const int left = rect.left() + (rect.width() - pageSize_.width()) / 2;
  return QRect(left, rect.top(), pageSize_.width(), pageSize_.height());
}
