// The light paper look of the card, the dialog and the check tab.
#pragma once

#include <QPalette>

class QWidget;

// The card, the dialog and the code-check tab are drawn as white paper with
// black print, whatever the desktop's colour scheme: a dark scheme's light
// text on the card's white would be unreadable.
class LightPalette {
 public:
  // Every role of every colour group set, so nothing of the system's palette
  // shows through.
  static QPalette Palette();
  // Gives `widget` and its children the palette; roles a child sets for
  // itself (a white label background) stay its own.
  static void Apply(QWidget* widget);
  // The background of the edit box being typed in (the classic tooltip
  // yellow).
  static QColor InputColour();
};
