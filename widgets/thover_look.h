#pragma once

#include <optional>

#include <QColor>
#include <QFont>
#include <QPalette>

#include "widgets/thint_color_exchange.h"

class QWidget;

// The mouse-over look shared by the hover label and the hover button: the hint
// colour exchange and the hot-track font, remembered once per visit.
class THoverState {
 public:
  bool MouseOver() const;

  // Mouse enters `widget`. Returns false, and remembers nothing new, when the
  // mouse is already over it. An invalid `hotColor` keeps the text colour.
  bool Enter(QWidget& widget, const QColor& hintColor, bool hotTrack, const QFont& hotFont,
             const QColor& hotColor);
  // Mouse leaves `widget`: everything remembered is given back. Returns false
  // when the mouse was not over it.
  bool Leave(QWidget& widget);

 private:
  bool over_ = false;
  THintColorExchange hint_;
  // Restored by what was actually saved, not by the current HotTrack setting,
  // so switching HotTrack during a visit never puts on a font never saved.
  std::optional<QFont> savedFont_;
  std::optional<QPalette> savedPalette_;
};
