// The mouse-over look of the hover label and the hover button.
#pragma once

#include <optional>

#include <QColor>
#include <QFont>
#include <QPalette>

#include "widgets/thint_color_exchange.h"

class QWidget;

// The mouse-over look shared by the hover label and the hover button: their
// HotTrack settings, and the hint colour exchange and hot-track font,
// remembered once per visit.
class THoverLook {
 public:
  explicit THoverLook(const QFont& hotTrackFont);

  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool hotTrack) { hotTrack_ = hotTrack; }
  const QFont& HotTrackFont() const { return hotTrackFont_; }
  void SetHotTrackFont(const QFont& font) { hotTrackFont_ = font; }
  // Text colour while hot-tracking; invalid (the default) keeps the colour.
  const QColor& HotTrackColor() const { return hotTrackColor_; }
  void SetHotTrackColor(const QColor& color) { hotTrackColor_ = color; }
  const QColor& HintColor() const { return hintColor_; }
  void SetHintColor(const QColor& color) { hintColor_ = color; }

  bool MouseOver() const { return over_; }

 protected:
  // Mouse enters `widget`. Returns false, and remembers nothing new, when the
  // mouse is already over it.
  bool HoverEnter(QWidget& widget);
  // Mouse leaves `widget`: everything remembered is given back. Returns false
  // when the mouse was not over it.
  bool HoverLeave(QWidget& widget);

 private:
  bool hotTrack_ = false;
  QFont hotTrackFont_;
  QColor hotTrackColor_;
  QColor hintColor_;
  bool over_ = false;
  THintColorExchange hint_;
  // Restored by what was actually saved, not by the current HotTrack setting,
  // so switching HotTrack during a visit never puts on a font never saved.
  std::optional<QFont> savedFont_;
  std::optional<QPalette> savedPalette_;
};
