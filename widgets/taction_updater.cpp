#include "widgets/taction_updater.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QWidget>

#include "widgets/tdata_set_action.h"

namespace {

// Linked to a control the user can see now: a tool button or a menu bar entry
// on a window that is shown and takes input. Drop-down menus are updated as
// they open instead.
bool ShownOnWindow(const QAction& action) {
  for (QObject* linked : action.associatedObjects()) {
    auto* control = qobject_cast<QWidget*>(linked);
    if (control == nullptr || qobject_cast<QMenu*>(control) != nullptr) continue;
    const QWidget* window = control->window();
    if (control->isVisible() && window->isVisible() && window->isEnabled()) return true;
  }
  return false;
}

void UpdateOne(QAction* action) {
  if (auto* dataSetAction = qobject_cast<TDataSetAction*>(action)) dataSetAction->Update();
}

}  // namespace

TActionUpdater::TActionUpdater(QObject* parent) : QObject(parent) {
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread())) {
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
            &TActionUpdater::OnAboutToBlock);
  }
  QCoreApplication::instance()->installEventFilter(this);
}

TActionUpdater::~TActionUpdater() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

void TActionUpdater::Add(QAction* action) {
  if (action != nullptr && !actions_.contains(action)) actions_.append(action);
}

void TActionUpdater::WatchMenu(QMenu* menu) {
  if (menu == nullptr) return;
  connect(menu, &QMenu::aboutToShow, this, [menu] {
    for (QAction* action : menu->actions()) UpdateOne(action);
  });
}

void TActionUpdater::UpdateActions() {
  ++passes_;
  actions_.removeAll(nullptr);
  const QList<QPointer<QAction>> actions = actions_;  // an update may add or drop actions
  for (const QPointer<QAction>& action : actions) {
    if (action != nullptr && ShownOnWindow(*action)) UpdateOne(action);
  }
}

bool TActionUpdater::eventFilter(QObject* watched, QEvent* event) {
  // Anything but the queued pass itself is news worth another pass.
  if (!(watched == this && event->type() == QEvent::MetaCall)) quiet_ = false;
  return QObject::eventFilter(watched, event);
}

void TActionUpdater::OnAboutToBlock() {
  if (queued_ || quiet_) return;
  queued_ = true;
  QMetaObject::invokeMethod(this, &TActionUpdater::RunQueuedPass, Qt::QueuedConnection);
}

void TActionUpdater::RunQueuedPass() {
  queued_ = false;
  UpdateActions();
  quiet_ = true;
}
