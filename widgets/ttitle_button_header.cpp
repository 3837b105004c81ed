#include "widgets/ttitle_button_header.h"

#include <qdrawutil.h>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QStyle>

#include <memory>

namespace {

// The same mouse event as if the left button, not the right one, were involved.
std::unique_ptr<QMouseEvent> AsLeftButton(const QMouseEvent& event, Qt::MouseButton button) {
  Qt::MouseButtons buttons = event.buttons();
  if (buttons & Qt::RightButton) buttons = (buttons & ~Qt::RightButton) | Qt::LeftButton;
  return std::make_unique<QMouseEvent>(event.type(), event.position(), event.scenePosition(),
                                       event.globalPosition(), button, buttons, event.modifiers(),
                                       event.pointingDevice());
}

}  // namespace

TTitleButtonHeader::TTitleButtonHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  // Clicks are ours: no column selection, no sort indicator. Moving is on for
  // the base class's drag, which only a right press reaches.
  setSectionsClickable(false);
  setSectionsMovable(true);
  setHighlightSections(false);
  setSectionResizeMode(QHeaderView::Interactive);
  setMinimumSectionSize(1);  // a one-letter column may be narrower than the style's minimum
  setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TTitleButtonHeader::CancelTracking() {
  if (!tracking_) return;
  tracking_ = false;
  drawnPressed_ = false;
  viewport()->update();
}

void TTitleButtonHeader::SetSortMark(int logicalIndex, bool descending) {
  sortSection_ = logicalIndex;
  sortDescending_ = descending;
  viewport()->update();
}

QSize TTitleButtonHeader::sizeHint() const {
  QSize size = QHeaderView::sizeHint();
  size.setHeight(fontMetrics().height() + 6);
  return size;
}

void TTitleButtonHeader::paintSection(QPainter* painter, const QRect& rect,
                                      int logicalIndex) const {
  if (!rect.isValid()) return;
  const bool pressed = tracking_ && drawnPressed_ && logicalIndex == trackedSection_;
  painter->save();
  const QBrush face = palette().button();
  qDrawWinButton(painter, rect, palette(), pressed, &face);
  QRect textRect = rect.adjusted(3, 2, -3, -2);
  if (pressed) textRect.translate(1, 1);
  painter->setFont(font());
  painter->setPen(palette().buttonText().color());
  const QString title =
      model() != nullptr ? model()->headerData(logicalIndex, orientation()).toString() : QString();
  painter->setClipRect(rect.adjusted(2, 2, -2, -2));
  if (logicalIndex == sortSection_) {
    // A small solid triangle at the right of the title, which keeps the
    // room left for the text.
    constexpr int kArrow = 7;
    const int x = textRect.right() - kArrow + 1;
    const int y = textRect.center().y() - kArrow / 4 - (sortDescending_ ? 0 : 1);
    const QPolygon arrow = sortDescending_
                               ? QPolygon({QPoint(x, y), QPoint(x + kArrow - 1, y),
                                           QPoint(x + kArrow / 2, y + kArrow / 2)})
                               : QPolygon({QPoint(x + kArrow / 2, y), QPoint(x, y + kArrow / 2),
                                           QPoint(x + kArrow - 1, y + kArrow / 2)});
    painter->setBrush(palette().buttonText());
    painter->drawPolygon(arrow);
    textRect.setRight(x - 2);
  }
  painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
  painter->restore();
}

bool TTitleButtonHeader::InResizeZone(const QPoint& pos) const {
  // As the base class decides it: within the grip margin of a title's right
  // border, or of its left border when a title precedes it.
  const int visual = visualIndexAt(pos.x());
  if (visual < 0) return false;
  const int logical = logicalIndex(visual);
  const int start = sectionViewportPosition(logical);
  const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
  if (pos.x() < start + grip) return visual > 0;
  return pos.x() > start + sectionSize(logical) - grip;
}

bool TTitleButtonHeader::OverTrackedTitle(const QPoint& pos) const {
  return rect().contains(pos) && logicalIndexAt(pos) == trackedSection_;
}

void TTitleButtonHeader::SetDrawnPressed(bool pressed) {
  if (pressed == drawnPressed_) return;
  drawnPressed_ = pressed;
  viewport()->update();
}

void TTitleButtonHeader::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (InResizeZone(pos)) {
    if (event->button() == Qt::LeftButton) {
      // Only a right press may start a move.
      setSectionsMovable(false);
      QHeaderView::mousePressEvent(event);
      setSectionsMovable(true);
    }
    return;
  }
  const int section = logicalIndexAt(pos);
  if (section < 0) return;
  if (event->button() == Qt::LeftButton) {
    tracking_ = true;
    trackedSection_ = section;
    drawnPressed_ = false;
    SetDrawnPressed(true);
  } else if (event->button() == Qt::RightButton) {
    swappedButtons_ = true;
    QHeaderView::mousePressEvent(AsLeftButton(*event, Qt::LeftButton).get());
  }
}

void TTitleButtonHeader::mouseMoveEvent(QMouseEvent* event) {
  if (tracking_) {
    SetDrawnPressed(OverTrackedTitle(event->position().toPoint()));
    return;
  }
  if (swappedButtons_) {
    QHeaderView::mouseMoveEvent(AsLeftButton(*event, Qt::NoButton).get());
    return;
  }
  QHeaderView::mouseMoveEvent(event);
}

void TTitleButtonHeader::mouseReleaseEvent(QMouseEvent* event) {
  if (tracking_ && event->button() == Qt::LeftButton) {
    const bool over = OverTrackedTitle(event->position().toPoint());
    const int section = trackedSection_;
    CancelTracking();
    if (over) emit TitleClicked(section);
    return;
  }
  if (swappedButtons_ && event->button() == Qt::RightButton) {
    swappedButtons_ = false;
    QHeaderView::mouseReleaseEvent(AsLeftButton(*event, Qt::LeftButton).get());
    return;
  }
  if (event->button() == Qt::LeftButton) QHeaderView::mouseReleaseEvent(event);
}

void TTitleButtonHeader::mouseDoubleClickEvent(QMouseEvent* event) {
  // No sizing to contents on a border; a right double press starts a move as
  // a press would.
  if (event->button() == Qt::RightButton) mousePressEvent(event);
}

bool TTitleButtonHeader::viewportEvent(QEvent* event) {
  // The right press that starts a move is followed by a context-menu request,
  // which would make the base class drop the move; titles have no menu.
  if (event->type() == QEvent::ContextMenu) {
    event->accept();
    return true;
  }
  return QHeaderView::viewportEvent(event);
}

void TTitleButtonHeader::hideEvent(QHideEvent* event) {
  CancelTracking();
  QHeaderView::hideEvent(event);
}
