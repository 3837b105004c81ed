// A label a screen reader hears with the caption painted beside it.
#pragma once

#include <QAccessibleWidget>
#include <QString>

class QLabel;

// A label that shows a value under a caption painted elsewhere (the card's
// "Codice fiscale"). A screen reader hears the caption and the value
// together; the label's own name stays unset, so every new text is announced
// as a name change by the label itself.
class CaptionedValueAccessible : public QAccessibleWidget {
 public:
  // The property that marks such a label, holding its caption.
  static constexpr const char* kMark = "accessibleCaption";
  explicit CaptionedValueAccessible(QLabel* label);

  // Marks `label` as showing a value under `caption`.
  static void Caption(QLabel* label, const QString& caption);

  QString text(QAccessible::Text t) const override;

 private:
  QString Value() const;
};
