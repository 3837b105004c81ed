#include "widgets/tdataset_action.h"

#include "storage/tlbcsv.h"
#include "widgets/trxdbgrid.h"

namespace {

TErrorHook& Errors() {
  static TErrorHook hook;
  return hook;
}

void Label(QAction& action, const QString& caption, const QString& hint) {
  action.setText(caption);
  action.setToolTip(hint);
  action.setStatusTip(hint);
}

}  // namespace

TDataSetAction::TDataSetAction(QObject* parent) : QAction(parent) {
  connect(this, &QAction::triggered, this, &TDataSetAction::Execute);
}

void TDataSetAction::SetErrorHandler(TErrorHook::Handler handler) {
  Errors().Set(std::move(handler));
}

bool TDataSetAction::HandlesTarget(const TDataSource* target) const {
  if (target == nullptr || target->DataSet() == nullptr) return false;
  return source_ == nullptr || source_ == target;
}

TDataSource* TDataSetAction::ServedTarget() const {
  for (const TRxDBGrid* grid : TRxDBGrid::Grids()) {
    if (grid->ServesAction(*this)) return grid->DataSource();
  }
  return nullptr;
}

void TDataSetAction::Update() {
  if (const TDataSource* target = ServedTarget()) {
    UpdateTarget(*target->DataSet());
    return;
  }
  if (isEnabled() && disableIfNoHandler_) setEnabled(HasOnExecute());
}

void TDataSetAction::Execute() {
  Update();
  if (!isEnabled()) return;
  if (onExecute_) {
    // A copy: the handler may replace itself.
    const std::function<void()> handler = onExecute_;
    Errors().Run(handler);
    return;
  }
  if (TDataSource* target = ServedTarget()) {
    Errors().Run([&] { ExecuteTarget(*target->DataSet()); });
  }
}

TDataSetFirst::TDataSetFirst(QObject* parent) : TDataSetAction(parent) {
  Label(*this, QStringLiteral("&First"), QStringLiteral("First"));
}

void TDataSetFirst::UpdateTarget(const TLbCsv& table) {
  setEnabled(table.Active() && !table.AtBeginning());
}

void TDataSetFirst::ExecuteTarget(TLbCsv& table) { table.First(); }

TDataSetPrior::TDataSetPrior(QObject* parent) : TDataSetAction(parent) {
  Label(*this, QStringLiteral("&Prior"), QStringLiteral("Prior"));
}

void TDataSetPrior::UpdateTarget(const TLbCsv& table) {
  setEnabled(table.Active() && !table.AtBeginning());
}

void TDataSetPrior::ExecuteTarget(TLbCsv& table) { table.Prior(); }

TDataSetNext::TDataSetNext(QObject* parent) : TDataSetAction(parent) {
  Label(*this, QStringLiteral("&Next"), QStringLiteral("Next"));
}

void TDataSetNext::UpdateTarget(const TLbCsv& table) {
  setEnabled(table.Active() && !table.AtEnd());
}

void TDataSetNext::ExecuteTarget(TLbCsv& table) { table.Next(); }

TDataSetLast::TDataSetLast(QObject* parent) : TDataSetAction(parent) {
  Label(*this, QStringLiteral("&Last"), QStringLiteral("Last"));
}

void TDataSetLast::UpdateTarget(const TLbCsv& table) {
  setEnabled(table.Active() && !table.AtEnd());
}

void TDataSetLast::ExecuteTarget(TLbCsv& table) { table.Last(); }

TDataSetDelete::TDataSetDelete(QObject* parent) : TDataSetAction(parent) {
  Label(*this, QStringLiteral("&Delete"), QStringLiteral("Delete"));
}

void TDataSetDelete::UpdateTarget(const TLbCsv& table) {
  setEnabled(table.Active() && table.Writable() && !(table.AtBeginning() && table.AtEnd()));
}

void TDataSetDelete::ExecuteTarget(TLbCsv& table) { table.Delete(); }
