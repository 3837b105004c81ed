#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>

#include "widgets/thover_state.h"

// A label that reacts to the mouse passing over it: while the mouse is over it
// the application's hint colour is its HintColor and, with HotTrack on, its
// font is HotTrackFont (in HotTrackColor when that is set).
class TJvLabel : public QLabel {
  Q_OBJECT

 public:
  explicit TJvLabel(QWidget* parent = nullptr);
  explicit TJvLabel(const QString& text, QWidget* parent = nullptr);

  bool HotTrack() const;
  void SetHotTrack(bool hotTrack);
  const QFont& HotTrackFont() const;
  void SetHotTrackFont(const QFont& font);
  // Text colour while hot-tracking; invalid (the default) keeps the colour.
  const QColor& HotTrackColor() const;
  void SetHotTrackColor(const QColor& color);
  const QColor& HintColor() const;
  void SetHintColor(const QColor& color);

  bool MouseOver() const;

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
  bool hotTrack_ = false;
  QFont hotTrackFont_;
  QColor hotTrackColor_;
  QColor hintColor_;
  bool pressed_ = false;
  THoverState hover_;
};
