#include "widgets/tjv_status_bar2.h"

#include <algorithm>

#include <qdrawutil.h>
#include <QApplication>
#include <QPainter>

TJvStatusBar2::TJvStatusBar2(QWidget* parent)
    : QWidget(parent), hintColor_(THintColorExchange::ApplicationHintColor()) {
  setFont(QApplication::font("QStatusBar"));
  setAutoFillBackground(true);
}

const QColor& TJvStatusBar2::HintColor() const { return hintColor_; }
void TJvStatusBar2::SetHintColor(const QColor& color) { hintColor_ = color; }

const QList<int>& TJvStatusBar2::PanelWidths() const { return panelWidths_; }

void TJvStatusBar2::SetPanelWidths(const QList<int>& widths) {
  panelWidths_ = widths;
  update();
}

int TJvStatusBar2::PanelCount() const { return static_cast<int>(panelWidths_.size()) + 1; }

QRect TJvStatusBar2::PanelRect(int index) const {
  if (index < 0 || index >= PanelCount()) return {};
  int left = 0;
  for (int i = 0; i < index; ++i) left += panelWidths_[i];
  const int right = index < panelWidths_.size() ? left + panelWidths_[index] : width();
  return QRect(QPoint(left, 0), QPoint(std::max(left, right) - 1, height() - 1));
}

void TJvStatusBar2::PlaceControl(QWidget* control, const QRect& geometry, Qt::Edges anchors) {
  if (!control) return;
  control->setParent(this);
  control->setGeometry(geometry);
  control->show();
  auto found = std::find_if(placed_.begin(), placed_.end(),
                            [control](const Placed& p) { return p.control == control; });
  if (found == placed_.end()) {
    control->installEventFilter(this);
    found = placed_.insert(placed_.end(), Placed{control, anchors, {}});
  }
  found->anchors = anchors;
  Remember(*found);
}

QSize TJvStatusBar2::sizeHint() const { return QSize(345, 19); }

void TJvStatusBar2::Remember(Placed& placed) const {
  const QRect g = placed.control->geometry();
  placed.distances =
      QMargins(g.left(), g.top(), width() - g.x() - g.width(), height() - g.y() - g.height());
}

void TJvStatusBar2::Realign() {
  realigning_ = true;
  for (auto it = placed_.begin(); it != placed_.end();) {
    if (!it->control || it->control->parentWidget() != this) {
      it = placed_.erase(it);
      continue;
    }
    const QRect g = it->control->geometry();
    const QMargins& d = it->distances;
    int x = g.x(), w = g.width(), y = g.y(), h = g.height();
    if (it->anchors & Qt::RightEdge) {
      if (it->anchors & Qt::LeftEdge) {
        w = width() - d.left() - d.right();
      } else {
        x = width() - d.right() - w;
      }
    }
    if (it->anchors & Qt::BottomEdge) {
      if (it->anchors & Qt::TopEdge) {
        h = height() - d.top() - d.bottom();
      } else {
        y = height() - d.bottom() - h;
      }
    }
    it->control->setGeometry(x, y, std::max(0, w), std::max(0, h));
    ++it;
  }
  realigning_ = false;
}

bool TJvStatusBar2::eventFilter(QObject* watched, QEvent* event) {
  // A placed control moved by its owner keeps its new place from then on.
  if (!realigning_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
    for (Placed& p : placed_) {
      if (p.control == watched) Remember(p);
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TJvStatusBar2::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  hint_.Take(hintColor_);
  emit mouseEntered();
}

void TJvStatusBar2::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  hint_.GiveBack();
  emit mouseLeft();
}

void TJvStatusBar2::paintEvent(QPaintEvent*) {
  // Every panel sunken, with a small gap between panels, as a status bar shows
  // them whatever the widget style (some styles draw status bar items flat).
  QPainter painter(this);
  for (int i = 0; i < PanelCount(); ++i) {
    const QRect panel = PanelRect(i).adjusted(0, 2, -2, 0);
    if (panel.width() > 2 && panel.height() > 2) {
      qDrawShadePanel(&painter, panel, palette(), true, 1, nullptr);
    }
  }
}

void TJvStatusBar2::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Realign();
}
