// The record actions TDataSetFirst to TDataSetDelete.
#pragma once

#include <QAction>
#include <QPointer>
#include <QString>
#include <functional>

#include "widgets/tdata_source.h"

class TDataLink;
class TLbCsv;
class TPrompter;
class TRecordView;

// An action on the table of a data source. It finds its table only through a
// control that serves it: one bound to that data source (or, for an action
// without a data source of its own, to any) and showing now. It enables
// itself from that table's state whenever Update runs. An execute handler,
// when set, replaces everything else Execute would do.
class TDataSetAction : public QAction {
  Q_OBJECT

 public:
  // What a class of record action is: its caption and hint, when it is
  // enabled, and the one table operation it runs, in the order the serving
  // control shows the records.
  struct Kind {
    const char* caption;
    const char* hint;
    bool (*enabledOn)(const TLbCsv& table, const TRecordView& view);
    void (*operation)(TLbCsv& table, TRecordView& view);
  };

  explicit TDataSetAction(const Kind& kind, QObject* parent = nullptr);

  void SetDataSource(TDataSource* source) { source_ = source; }
  // Empty once the data source is destroyed.
  TDataSource* DataSource() const { return source_; }
  void SetOnExecute(std::function<void()> handler) { onExecute_ = std::move(handler); }
  bool HasOnExecute() const { return static_cast<bool>(onExecute_); }
  bool DisableIfNoHandler() const { return disableIfNoHandler_; }
  void SetDisableIfNoHandler(bool disable) { disableIfNoHandler_ = disable; }
  static QString Category() { return QStringLiteral("Dataset"); }

  // Where errors of the table or of the execute handler go; handed over by
  // the owner. They never reach Qt's event loop.
  void SetPrompter(TPrompter* prompter) { prompter_ = prompter; }

  // Enables the action from the table of the control serving it; with no such
  // control, an enabled action stays enabled only if it has an execute handler.
  void Update();
  // Update, then (if still enabled) the execute handler, or the class's own
  // operation on the served table. Bound to QAction::triggered.
  void Execute();

  // Its own data source, or any data source when it has none; either way one
  // connected to a table.
  bool HandlesTarget(const TDataSource* target) const;

 protected:
  virtual void UpdateTarget(TLbCsv& table, TRecordView* view);
  virtual void ExecuteTarget(TLbCsv& table, TRecordView* view);

 private:
  const TDataLink* ServingLink() const;

  const Kind& kind_;
  QPointer<TDataSource> source_;
  std::function<void()> onExecute_;
  bool disableIfNoHandler_ = true;
  TPrompter* prompter_ = nullptr;
};

// The five record actions: to the first, prior, next and last record, and
// delete the current one.
class TDataSetFirst : public TDataSetAction {
 public:
  explicit TDataSetFirst(QObject* parent = nullptr);
};

class TDataSetPrior : public TDataSetAction {
 public:
  explicit TDataSetPrior(QObject* parent = nullptr);
};

class TDataSetNext : public TDataSetAction {
 public:
  explicit TDataSetNext(QObject* parent = nullptr);
};

class TDataSetLast : public TDataSetAction {
 public:
  explicit TDataSetLast(QObject* parent = nullptr);
};

class TDataSetDelete : public TDataSetAction {
 public:
  explicit TDataSetDelete(QObject* parent = nullptr);
};
