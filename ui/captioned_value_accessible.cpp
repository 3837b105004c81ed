#include "ui/captioned_value_accessible.h"

#include <QLabel>
#include <QVariant>

namespace {

const char* const kCaption = "accessibleCaption";

QAccessibleInterface* CaptionedValueFactory(const QString&, QObject* object) {
  auto* label = qobject_cast<QLabel*>(object);
  if (!label || !label->property(kCaption).isValid()) return nullptr;
  return new CaptionedValueAccessible(label);
}

}  // namespace

CaptionedValueAccessible::CaptionedValueAccessible(QLabel* label)
    : QAccessibleWidget(label, QAccessible::StaticText) {}

void CaptionedValueAccessible::Caption(QLabel* label, const QString& caption) {
  static const bool installed = [] {
    QAccessible::installFactory(CaptionedValueFactory);
    return true;
  }();
  (void)installed;
  label->setProperty(kCaption, caption);
}

QString CaptionedValueAccessible::Value() const {
  const auto* label = static_cast<const QLabel*>(widget());
  return label->text();
}

QString CaptionedValueAccessible::text(QAccessible::Text t) const {
  const QString caption = widget()->property(kCaption).toString();
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
