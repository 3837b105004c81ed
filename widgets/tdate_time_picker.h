// The date picker TDateTimePicker.
#pragma once

#include <QDateEdit>

class QCalendarWidget;

// Date picker in the short date format: the arrow keys Left and Right move
// between day, month and year, and Tab leaves the control instead of walking
// its fields. Alt+Down (or F4) drops the month calendar down; in it Alt+Up,
// Alt+Down and Enter close it keeping the day walked to, Esc closes it
// going back to the day it opened on.
class TDateTimePicker : public QDateEdit {
  Q_OBJECT

 public:
  explicit TDateTimePicker(QWidget* parent = nullptr);

  // Drops the calendar down as a click on the arrow does; whether it shows.
  bool DropDown();
  bool CalendarShown() const;

 protected:
  bool focusNextPrevChild(bool next) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* CalendarPopup() const;
  void WireCalendar();

  QCalendarWidget* calendar_ = nullptr;
  QDate dateAtDropDown_;
};
