#pragma once

#include <QDateEdit>

// Date picker in the short date format: the arrow keys Left and Right move
// between day, month and year, and Tab leaves the control instead of walking
// its fields.
class TDateTimePicker : public QDateEdit {
  Q_OBJECT

 public:
  explicit TDateTimePicker(QWidget* parent = nullptr);

 protected:
  bool focusNextPrevChild(bool next) override;
  void keyPressEvent(QKeyEvent* event) override;
};
