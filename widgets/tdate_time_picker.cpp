#include "widgets/tdate_time_picker.h"

#include <QKeyEvent>

TDateTimePicker::TDateTimePicker(QWidget* parent) : QDateEdit(parent) { setCalendarPopup(true); }

bool TDateTimePicker::focusNextPrevChild(bool next) {
  // QDateTimeEdit would use Tab to step through its sections.
  return QWidget::focusNextPrevChild(next);
}

void TDateTimePicker::keyPressEvent(QKeyEvent* event) {
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
