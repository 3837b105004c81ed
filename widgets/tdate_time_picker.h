// The date picker TDateTimePicker.
#pragma once

#include <QDateEdit>
#include <optional>

#include "widgets/date_typing.h"

class QCalendarWidget;

// Date picker in the short date format: the arrow keys Left and Right move
// between day, month and year, and Tab leaves the control instead of walking
// its fields. Alt+Down (or F4) drops the month calendar down; in it Alt+Up,
// Alt+Down and Enter close it keeping the day walked to, Esc closes it
// going back to the day it opened on.
//
// A date is typed as it is written, "05/03/1975", "5/3/75" or "05031975":
// digits fill day, month and year in the format's order (DateTyping), the
// format's separator, "/", "-" or "." moves to the next part within the
// field. A click that brings the focus in starts at the first part, as Tab
// does; a later click picks the part clicked. What is typed is taken when
// the field is left, on Enter (which then goes on to the window) or when
// TakeTyped asks, a two-digit year in the century of a birth date; a text
// that is no date stays shown as typed, never replaced by the date before.
class TDateTimePicker : public QDateEdit {
  Q_OBJECT

 public:
  explicit TDateTimePicker(QWidget* parent = nullptr);

  // Drops the calendar down as a click on the arrow does; whether it shows.
  bool DropDown();
  bool CalendarShown() const;

  // Takes what is typed as the date, shown then in the format; false when
  // the text shown reads as no date (it stays as typed, date() is not it).
  bool TakeTyped();

 protected:
  bool focusNextPrevChild(bool next) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* CalendarPopup() const;
  void WireCalendar();
  // The format as a pattern of day, month and year; none for another.
  std::optional<DatePattern> Pattern() const;
  // The typing under way, if the field still shows it.
  DateTyping* Typing();
  DateTyping& StartTyping();
  // A key that types into the date; false for any other. `movedOn`: the
  // key before filled a part and moved on.
  bool TypeKey(const QKeyEvent& key, bool movedOn);
  void AfterTyping(bool movedOn);
  // The typing's text taken as the date when it reads as one.
  bool Commit();
  void ShowText(const QString& text);
  void ShowTyping();
  void SelectPart(int part);

  QCalendarWidget* calendar_ = nullptr;
  QDate dateAtDropDown_;
  std::optional<DateTyping> typing_;
  // A part filled by digits moved on: a separator typed next means nothing.
  bool movedOn_ = false;
  // The focus came in with a press on the text: its release starts at the
  // first part.
  bool focusByClick_ = false;
};
