// The click that closes a pop-up list going through to its target.
#pragma once

#include <QObject>

class QWidget;

// Lets the click that closes a pop-up list go through to what it was aimed
// at: a press outside the list hides it and then reaches the control under
// the pointer, so one click on a tool button both closes a list of
// suggestions and runs the button. The X11 platform would drop that press.
// Belongs to the pop-up it watches.
class PopupClickThrough : public QObject {
  Q_OBJECT

 public:
  explicit PopupClickThrough(QWidget* popup);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* popup_;
};
