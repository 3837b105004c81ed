#include "widgets/tjv_label.h"

#include <QMouseEvent>

TJvLabel::TJvLabel(QWidget* parent) : TJvLabel(QString(), parent) {}

TJvLabel::TJvLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent), THoverLook(font()) {}

void TJvLabel::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  HoverEnter(*this);
  emit mouseEntered();
}

void TJvLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  HoverLeave(*this);
  emit mouseLeft();
}

void TJvLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  QLabel::mousePressEvent(event);
}

void TJvLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      event->button() == Qt::LeftButton && pressed_ && rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (click) Click();
}

void TJvLabel::Click() { emit clicked(); }
