#include "widgets/thint_color_exchange.h"

#include <QApplication>
#include <QPalette>
#include <QToolTip>

THintColorExchange::~THintColorExchange() { GiveBack(); }

void THintColorExchange::Take(const QColor& hintColor) {
  if (!taken_) {
    saved_ = ApplicationHintColor();
    taken_ = true;
  }
  SetApplicationHintColor(hintColor);
}

void THintColorExchange::GiveBack() {
  if (!taken_) return;
  taken_ = false;
  SetApplicationHintColor(saved_);
}

bool THintColorExchange::Taken() const { return taken_; }

QColor THintColorExchange::ApplicationHintColor() {
  return QApplication::palette().color(QPalette::ToolTipBase);
}

void THintColorExchange::SetApplicationHintColor(const QColor& color) {
  // Setting the application palette repolishes every widget: skip it when the
  // colour would not change, which is the usual case.
  if (!color.isValid() || color == ApplicationHintColor()) return;
  QPalette application = QApplication::palette();
  application.setColor(QPalette::ToolTipBase, color);
  QApplication::setPalette(application);
  QPalette tip = QToolTip::palette();
  tip.setColor(QPalette::ToolTipBase, color);
  QToolTip::setPalette(tip);
}
