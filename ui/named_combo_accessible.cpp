#include "ui/named_combo_accessible.h"

#include <QComboBox>
#include <QVariant>

#include "ui/accessible_factory.h"

NamedComboAccessible::NamedComboAccessible(QComboBox* box)
    : QAccessibleWidget(box, QAccessible::ComboBox) {}

void NamedComboAccessible::Caption(QComboBox* box, const QString& caption) {
  MarkForAccessible<NamedComboAccessible>(box, true);
  box->setAccessibleName(caption);
}

QString NamedComboAccessible::text(QAccessible::Text t) const {
  const auto* box = static_cast<const QComboBox*>(widget());
  switch (t) {
    case QAccessible::Name:
      return box->accessibleName();
    case QAccessible::Value:
      return box->currentText();
    default:
      return QAccessibleWidget::text(t);
  }
}

QStringList NamedComboAccessible::actionNames() const {
  return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
}

void NamedComboAccessible::doAction(const QString& actionName) {
  if (actionName == showMenuAction()) {
    static_cast<QComboBox*>(widget())->showPopup();
  } else {
    QAccessibleWidget::doAction(actionName);
  }
}
