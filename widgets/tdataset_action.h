#pragma once

#include <QAction>
#include <QPointer>
#include <QString>
#include <functional>

#include "widgets/tdata_source.h"
#include "widgets/terror_hook.h"

class TLbCsv;

// An action on the table of a data source. It finds its table only through a
// grid that serves it (TRxDBGrid::ServesAction: showing and bound to the data
// source), and enables itself from that table's state whenever Update runs.
// An execute handler, when set, replaces everything else Execute would do.
class TDataSetAction : public QAction {
  Q_OBJECT

 public:
  explicit TDataSetAction(QObject* parent = nullptr);

  void SetDataSource(TDataSource* source) { source_ = source; }
  // Empty once the data source is destroyed.
  TDataSource* DataSource() const { return source_; }
  void SetOnExecute(std::function<void()> handler) { onExecute_ = std::move(handler); }
  bool HasOnExecute() const { return static_cast<bool>(onExecute_); }
  bool DisableIfNoHandler() const { return disableIfNoHandler_; }
  void SetDisableIfNoHandler(bool disable) { disableIfNoHandler_ = disable; }
  static QString Category() { return QStringLiteral("Dataset"); }

  // Enables the action from the table of the grid serving it; with no such
  // grid, an enabled action stays enabled only if it has an execute handler.
  void Update();
  // Update, then (if still enabled) the execute handler, or the class's own
  // operation on the served table. Bound to QAction::triggered.
  void Execute();

  // Its own data source, or any data source when it has none; either way one
  // connected to a table.
  bool HandlesTarget(const TDataSource* target) const;

  // Where errors of the table or of the execute handler go; they never reach
  // Qt's event loop.
  static void SetErrorHandler(TErrorHook::Handler handler);

 protected:
  virtual void UpdateTarget(const TLbCsv& table) = 0;
  virtual void ExecuteTarget(TLbCsv& table) = 0;

 private:
  TDataSource* ServedTarget() const;

  QPointer<TDataSource> source_;
  std::function<void()> onExecute_;
  bool disableIfNoHandler_ = true;
};

class TDataSetFirst : public TDataSetAction {
  Q_OBJECT

 public:
  explicit TDataSetFirst(QObject* parent = nullptr);

 protected:
  void UpdateTarget(const TLbCsv& table) override;
  void ExecuteTarget(TLbCsv& table) override;
};

class TDataSetPrior : public TDataSetAction {
  Q_OBJECT

 public:
  explicit TDataSetPrior(QObject* parent = nullptr);

 protected:
  void UpdateTarget(const TLbCsv& table) override;
  void ExecuteTarget(TLbCsv& table) override;
};

class TDataSetNext : public TDataSetAction {
  Q_OBJECT

 public:
  explicit TDataSetNext(QObject* parent = nullptr);

 protected:
  void UpdateTarget(const TLbCsv& table) override;
  void ExecuteTarget(TLbCsv& table) override;
};

class TDataSetLast : public TDataSetAction {
  Q_OBJECT

 public:
  explicit TDataSetLast(QObject* parent = nullptr);

 protected:
  void UpdateTarget(const TLbCsv& table) override;
  void ExecuteTarget(TLbCsv& table) override;
};

class TDataSetDelete : public TDataSetAction {
  Q_OBJECT

 public:
  explicit TDataSetDelete(QObject* parent = nullptr);

 protected:
  void UpdateTarget(const TLbCsv& table) override;
  void ExecuteTarget(TLbCsv& table) override;
};
