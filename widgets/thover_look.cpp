#include "widgets/thover_state.h"

#include <QWidget>

bool THoverState::MouseOver() const { return over_; }

bool THoverState::Enter(QWidget& widget, const QColor& hintColor, bool hotTrack,
                        const QFont& hotFont, const QColor& hotColor) {
  if (over_) return false;
  hint_.Take(hintColor);
  if (hotTrack) {
    savedFont_ = widget.font();
    widget.setFont(hotFont);
    if (hotColor.isValid()) {
      savedPalette_ = widget.palette();
      QPalette hot = widget.palette();
      hot.setColor(widget.foregroundRole(), hotColor);
      widget.setPalette(hot);
    }
  }
  over_ = true;
  return true;
}

bool THoverState::Leave(QWidget& widget) {
  if (!over_) return false;
  hint_.GiveBack();
  over_ = false;
  if (savedPalette_) {
    widget.setPalette(*savedPalette_);
    savedPalette_.reset();
  }
  if (savedFont_) {
    widget.setFont(*savedFont_);
    savedFont_.reset();
  }
  return true;
}
