#include "widgets/tdate_time_picker.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

bool IsAltArrow(const QKeyEvent& key) {
  return key.modifiers().testFlag(Qt::AltModifier) &&
         (key.key() == Qt::Key_Down || key.key() == Qt::Key_Up);
}

}  // namespace

// The calendar, a whole widget tree with its own icons, is made when it is
// first dropped down, not with the window.
TDateTimePicker::TDateTimePicker(QWidget* parent) : QDateEdit(parent) { setCalendarPopup(true); }

void TDateTimePicker::WireCalendar() {
  if (calendar_ != nullptr) return;
  calendar_ = calendarWidget();
  // The calendar's own keys would move its selection on Alt+Up and Alt+Down.
  calendar_->installEventFilter(this);
  for (QWidget* part : calendar_->findChildren<QWidget*>()) part->installEventFilter(this);
  calendar_->window()->installEventFilter(this);
}

bool TDateTimePicker::focusNextPrevChild(bool next) {
  // QDateTimeEdit would use Tab to step through its sections.
  return QWidget::focusNextPrevChild(next);
}

QWidget* TDateTimePicker::CalendarPopup() const {
  // The calendar sits in a pop-up window of the edit's own making.
  return calendar_ != nullptr ? calendar_->window() : nullptr;
}

bool TDateTimePicker::CalendarShown() const {
  const QWidget* popup = calendarPopup() ? CalendarPopup() : nullptr;
  return popup != nullptr && popup != window() && popup->isVisible();
}

bool TDateTimePicker::DropDown() {
  if (!calendarPopup() || isReadOnly() || !isEnabled()) return false;
  if (CalendarShown()) return true;
  // The edit opens its calendar, placed and wired as it does for the mouse,
  // only on a press on its arrow: hand it one there.
  QStyleOptionComboBox option;
  option.initFrom(this);
  option.editable = true;
  option.subControls = QStyle::SC_All;
  const QRect arrow =
      style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
  const QPointF at = arrow.center();
  QMouseEvent press(QEvent::MouseButtonPress, at, mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  mousePressEvent(&press);
  return CalendarShown();
}

void TDateTimePicker::mousePressEvent(QMouseEvent* event) {
  // A press on the arrow drops the calendar down: it is wired first.
  if (calendarPopup() && event->button() == Qt::LeftButton) WireCalendar();
  QDateEdit::mousePressEvent(event);
}

void TDateTimePicker::keyPressEvent(QKeyEvent* event) {
  if ((IsAltArrow(*event) && event->key() == Qt::Key_Down) ||
      (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier)) {
    event->accept();
    DropDown();
    return;
  }
  if (event->modifiers() == Qt::NoModifier &&
      (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
    const int step = event->key() == Qt::Key_Left ? -1 : 1;
    const int section = currentSectionIndex() + step;
    if (section >= 0 && section < sectionCount()) {
      setCurrentSectionIndex(section);
      setSelectedSection(currentSection());
    }
    return;
  }
  QDateEdit::keyPressEvent(event);
}

bool TDateTimePicker::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && watched == CalendarPopup()) dateAtDropDown_ = date();
  if (event->type() == QEvent::KeyPress && CalendarShown()) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (IsAltArrow(*key)) {
      // Closed as a click outside would: the day walked to stays.
      CalendarPopup()->close();
      return true;
    }
    if (key->matches(QKeySequence::Cancel)) {
      // The edit follows the calendar's selection as it moves; Esc undoes that.
      CalendarPopup()->close();
      setDate(dateAtDropDown_);
      return true;
    }
  }
  return QDateEdit::eventFilter(watched, event);
}
