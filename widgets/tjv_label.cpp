#include "widgets/tjv_label.h"

#include <QMouseEvent>

TJvLabel::TJvLabel(QWidget* parent) : TJvLabel(QString(), parent) {}

TJvLabel::TJvLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent),
      hotTrackFont_(font()),
      hintColor_(THintColorExchange::ApplicationHintColor()) {}

bool TJvLabel::HotTrack() const { return hotTrack_; }
void TJvLabel::SetHotTrack(bool hotTrack) { hotTrack_ = hotTrack; }
const QFont& TJvLabel::HotTrackFont() const { return hotTrackFont_; }
void TJvLabel::SetHotTrackFont(const QFont& font) { hotTrackFont_ = font; }
const QColor& TJvLabel::HotTrackColor() const { return hotTrackColor_; }
void TJvLabel::SetHotTrackColor(const QColor& color) { hotTrackColor_ = color; }
const QColor& TJvLabel::HintColor() const { return hintColor_; }
void TJvLabel::SetHintColor(const QColor& color) { hintColor_ = color; }
bool TJvLabel::MouseOver() const { return hover_.MouseOver(); }

void TJvLabel::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  hover_.Enter(*this, hintColor_, hotTrack_, hotTrackFont_, hotTrackColor_);
  emit mouseEntered();
}

void TJvLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  hover_.Leave(*this);
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
