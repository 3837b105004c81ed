#include "ui/popup_click_through.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

PopupClickThrough::PopupClickThrough(QWidget* popup) : QObject(popup), popup_(popup) {
  // The press is handed on here; the toolkit must not hand it on again.
  popup_->setAttribute(Qt::WA_NoMouseReplay);
  popup_->installEventFilter(this);
}

bool PopupClickThrough::eventFilter(QObject* watched, QEvent* event) {
  if (watched != popup_ || event->type() != QEvent::MouseButtonPress) return false;
  const auto* press = static_cast<QMouseEvent*>(event);
  const QPoint global = press->globalPosition().toPoint();
  if (popup_->rect().contains(popup_->mapFromGlobal(global))) return false;
  popup_->hide();
  QWidget* target = QApplication::widgetAt(global);
  if (target == nullptr) return true;
  QWidget* window = target->window();
  const QWidget* modal = QApplication::activeModalWidget();
  if (modal != nullptr && modal != window && !modal->isAncestorOf(window)) return true;
  QWindow* handle = window->windowHandle();
  if (handle == nullptr) return true;
  // Through the window, so the control that takes the press also gets its
  // release, as with any press of its own.
  const QPointF local = handle->mapFromGlobal(press->globalPosition());
  QMouseEvent again(QEvent::MouseButtonPress, local, local, press->globalPosition(),
                    press->button(), press->buttons(), press->modifiers(), press->pointingDevice());
  QCoreApplication::sendEvent(handle, &again);
  return true;
}
