#include "widgets/tdate_time_picker.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <algorithm>
#include <stdexcept>
#include <utility>

namespace {

bool IsAltArrow(const QKeyEvent& key) {
  return key.modifiers().testFlag(Qt::AltModifier) &&
         (key.key() == Qt::Key_Down || key.key() == Qt::Key_Up);
}

// What a clerk types between day, month and year, whatever the format's own.
bool IsSeparator(QChar c, char own) {
  return c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char('.') ||
         c == QLatin1Char(own);
}

}  // namespace

// The calendar, a whole widget tree with its own icons, is made when it is
// first dropped down, not with the window.
TDateTimePicker::TDateTimePicker(QWidget* parent) : QDateEdit(parent) {
  setCalendarPopup(true);
  lineEdit()->installEventFilter(this);
}

std::optional<DatePattern> TDateTimePicker::Pattern() const {
  try {
    return DatePattern::Parse(displayFormat().toStdString());
  } catch (const std::invalid_argument&) {
    return std::nullopt;
  }
}

DateTyping* TDateTimePicker::Typing() {
  // Anything else that set the text (a date set, the calendar, a step) ended it.
  if (typing_ && lineEdit()->text() == QString::fromStdString(typing_->Text())) return &*typing_;
  typing_.reset();
  return nullptr;
}

DateTyping& TDateTimePicker::StartTyping() {
  typing_.emplace(*Pattern(), lineEdit()->text().toStdString(), std::max(0, currentSectionIndex()));
  return *typing_;
}

void TDateTimePicker::ShowText(const QString& text) {
  // Past the edit's own reading, which would turn a text that is no date yet
  // into another, or put the last date back.
  QLineEdit* edit = lineEdit();
  const QSignalBlocker blocker(edit);
  const QValidator* reading = edit->validator();
  edit->setValidator(nullptr);
  edit->setText(text);
  edit->setValidator(reading);
}

void TDateTimePicker::ShowTyping() {
  ShowText(QString::fromStdString(typing_->Text()));
  const int part = typing_->Part();
  lineEdit()->setSelection(static_cast<int>(typing_->PartStart(part)),
                           static_cast<int>(typing_->PartLength(part)));
}

void TDateTimePicker::SelectPart(int part) {
  if (Typing() != nullptr) {
    typing_->Select(part);
    ShowTyping();
    return;
  }
  setCurrentSectionIndex(part);
  setSelectedSection(currentSection());
}

bool TDateTimePicker::TakeTyped() { return Typing() == nullptr || Commit(); }

bool TDateTimePicker::Commit() {
  typing_->Finish();
  const int part = typing_->Part();
  const std::optional<CalendarDate> read = typing_->Date();
  const QDate date = read ? QDate(read->year, read->month, read->day) : QDate();
  if (!date.isValid() || date < minimumDate() || date > maximumDate()) {
    ShowTyping();
    return false;
  }
  typing_.reset();
  setDate(date);
  // Typing goes on where it was.
  setCurrentSectionIndex(part);
  if (hasFocus()) setSelectedSection(currentSection());
  return true;
}

void TDateTimePicker::AfterTyping(bool movedOn) {
  movedOn_ = movedOn;
  // Every part done and the text a date: it is the date from now on.
  if (!typing_->Open() && typing_->Date() && Commit()) return;
  ShowTyping();
}

bool TDateTimePicker::TypeKey(const QKeyEvent& key, bool movedOn) {
  const std::optional<DatePattern> pattern = Pattern();
  if (!pattern || isReadOnly()) return false;
  if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  if (key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete) {
    DateTyping* typing = Typing();
    (typing != nullptr ? *typing : StartTyping()).Erase();
    ShowTyping();
    return true;
  }
  const QString text = key.text();
  if (text.size() != 1 || !text[0].isPrint()) return false;
  const QChar c = text[0];
  if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
    DateTyping* typing = Typing();
    AfterTyping((typing != nullptr ? *typing : StartTyping()).Digit(c.toLatin1()));
    return true;
  }
  if (IsSeparator(c, pattern->separator)) {
    if (movedOn) return true;  // the part was done already
    if (DateTyping* typing = Typing()) {
      typing->Separator();
      AfterTyping(false);
    } else if (currentSectionIndex() + 1 < sectionCount()) {
      SelectPart(currentSectionIndex() + 1);
    }
  }
  // No other character belongs in a date.
  return true;
}

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
  TakeTyped();
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
  focusByClick_ = false;
  // A press on the arrow drops the calendar down: it is wired first.
  if (calendarPopup() && event->button() == Qt::LeftButton) WireCalendar();
  QDateEdit::mousePressEvent(event);
}

void TDateTimePicker::focusInEvent(QFocusEvent* event) {
  // The edit shows its date again on the way in; a text that was no date
  // stays as typed, its first or last part ready.
  const bool typing = Typing() != nullptr;
  QDateEdit::focusInEvent(event);
  if (typing) {
    typing_->Select(event->reason() == Qt::BacktabFocusReason ? 2 : 0);
    ShowTyping();
  }
  movedOn_ = false;
  focusByClick_ = event->reason() == Qt::MouseFocusReason;
}

void TDateTimePicker::focusOutEvent(QFocusEvent* event) {
  movedOn_ = false;
  focusByClick_ = false;
  const bool read = TakeTyped();
  const QString typed = lineEdit()->text();
  QDateEdit::focusOutEvent(event);
  if (!read) ShowText(typed);  // left as typed, not replaced by the date before
}

void TDateTimePicker::keyPressEvent(QKeyEvent* event) {
  const bool movedOn = std::exchange(movedOn_, false);
  if ((IsAltArrow(*event) && event->key() == Qt::Key_Down) ||
      (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier)) {
    event->accept();
    DropDown();
    return;
  }
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // Taken here, then on to the window, where Enter may compute.
    TakeTyped();
    event->ignore();
    return;
  }
  if (event->modifiers() == Qt::NoModifier &&
      (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
    const int step = event->key() == Qt::Key_Left ? -1 : 1;
    // A text that is no date yet is walked part by part as it stands.
    const int part = TakeTyped() ? currentSectionIndex() + step : typing_->Part() + step;
    if (part >= 0 && part < sectionCount()) SelectPart(part);
    return;
  }
  const int key = event->key();
  if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
      key == Qt::Key_PageDown) {
    // A step starts from a date.
    if (!TakeTyped()) return;
  } else if (TypeKey(*event, movedOn)) {
    return;
  }
  QDateEdit::keyPressEvent(event);
}

bool TDateTimePicker::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    // After the edit placed its cursor: the part clicked, or the first one
    // when the click brought the focus in, as Tab does.
    const bool first = std::exchange(focusByClick_, false);
    if (const std::optional<DatePattern> pattern = Pattern(); pattern && hasFocus()) {
      const DateTyping* typing = Typing();
      const DateTyping shown(*pattern, lineEdit()->text().toStdString(), 0);
      const auto at = static_cast<std::size_t>(std::max(0, lineEdit()->cursorPosition()));
      SelectPart(first ? 0 : (typing != nullptr ? *typing : shown).PartAt(at));
    }
    return false;
  }
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
