// A screen reader's view of a kind of control, given to the controls marked for it.
#pragma once

#include <QAccessible>
#include <QObject>
#include <QVariant>

// Marks `widget` with the property Accessible::kMark holding `value`; a
// screen reader then sees every marked `Widget` through `Accessible`, whose
// factory the first mark installs.
template <class Accessible, class Widget>
void MarkForAccessible(Widget* widget, const QVariant& value) {
  static const bool installed =
      (QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
         auto* marked = qobject_cast<Widget*>(object);
         if (marked == nullptr || !marked->property(Accessible::kMark).isValid()) return nullptr;
         return new Accessible(marked);
       }),
       true);
  (void)installed;
  widget->setProperty(Accessible::kMark, value);
}
