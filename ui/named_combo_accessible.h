// An editable drop-down a screen reader names by its caption.
#pragma once

#include <QAccessibleWidget>
#include <QString>

class QComboBox;

// An editable drop-down a screen reader names by its caption, with the text
// in it as its value: on some systems a combo box is otherwise named by its
// text ("CESENA"), and the caption painted beside it is never heard.
class NamedComboAccessible : public QAccessibleWidget {
 public:
  // The property that marks such a drop-down.
  static constexpr const char* kMark = "accessibleNamedByCaption";
  explicit NamedComboAccessible(QComboBox* box);

  // Names `box` by `caption`.
  static void Caption(QComboBox* box, const QString& caption);

  QString text(QAccessible::Text t) const override;
  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;
};
