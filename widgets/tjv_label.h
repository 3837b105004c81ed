// The hover label TJvLabel.
#pragma once

#include <QLabel>

#include "widgets/thover_look.h"

// A label that reacts to the mouse passing over it: while the mouse is over it
// the application's hint colour is its HintColor and, with HotTrack on, its
// font is HotTrackFont (in HotTrackColor when that is set).
class TJvLabel : public QLabel, public THoverLook {
  Q_OBJECT

 public:
  explicit TJvLabel(QWidget* parent = nullptr);
  explicit TJvLabel(const QString& text, QWidget* parent = nullptr);

 signals:
  void mouseEntered();
  void mouseLeft();
  void clicked();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // A left-button press and release both inside the label.
  virtual void Click();

 private:
  bool pressed_ = false;
};
