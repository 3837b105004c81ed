// The record actions' update at idle time.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QMenu;

// Runs the record actions' Update at idle time: whenever the event loop is
// about to wait, one pass is queued (several idle signals before it runs
// still give one pass). A pass that changes nothing schedules no other: the
// next one waits until some other event has been handled. A pass updates the
// registered actions linked to a visible control of a visible, enabled window;
// a watched menu updates its actions as it drops down.
class TActionUpdater : public QObject {
  Q_OBJECT

 public:
  explicit TActionUpdater(QObject* parent = nullptr);
  ~TActionUpdater() override;

  void Add(QAction* action);
  void WatchMenu(QMenu* menu);

  // One pass now; what an idle moment runs.
  void UpdateActions();
  int PassCount() const { return passes_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnAboutToBlock();
  void RunQueuedPass();

  QList<QPointer<QAction>> actions_;
  bool queued_ = false;
  bool quiet_ = false;  // nothing but our own pass has run since the last pass
  int passes_ = 0;
};
