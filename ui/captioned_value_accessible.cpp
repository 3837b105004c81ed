#include "ui/captioned_value_accessible.h"

#include <QLabel>
#include <QVariant>

#include "ui/accessible_factory.h"

CaptionedValueAccessible::CaptionedValueAccessible(QLabel* label)
    : QAccessibleWidget(label, QAccessible::StaticText) {}

void CaptionedValueAccessible::Caption(QLabel* label, const QString& caption) {
  MarkForAccessible<CaptionedValueAccessible>(label, caption);
}

QString CaptionedValueAccessible::Value() const {
  const auto* label = static_cast<const QLabel*>(widget());
  return label->text();
}

QString CaptionedValueAccessible::text(QAccessible::Text t) const {
  const QString caption = widget()->property(kMark).toString();
  switch (t) {
    case QAccessible::Name: {
      const QString value = Value();
      if (value.isEmpty()) return caption;
      QString name = caption;
      name.append(QStringLiteral(": ")).append(value);
      return name;
    }
    case QAccessible::Value:
      return Value();
    default:
      return QAccessibleWidget::text(t);
  }
}
