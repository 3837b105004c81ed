#include "widgets/thover_look.h"

#include <QWidget>

THoverLook::THoverLook(const QFont& hotTrackFont)
    : hotTrackFont_(hotTrackFont), hintColor_(THintColorExchange::ApplicationHintColor()) {}

bool THoverLook::HoverEnter(QWidget& widget) {
  if (over_) return false;
  hint_.Take(hintColor_);
  if (hotTrack_) {
    savedFont_ = widget.font();
    widget.setFont(hotTrackFont_);
    if (hotTrackColor_.isValid()) {
      savedPalette_ = widget.palette();
      QPalette hot = widget.palette();
      hot.setColor(widget.foregroundRole(), hotTrackColor_);
      widget.setPalette(hot);
    }
  }
  over_ = true;
  return true;
}

bool THoverLook::HoverLeave(QWidget& widget) {
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
