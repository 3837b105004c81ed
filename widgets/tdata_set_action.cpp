#include "widgets/tdata_set_action.h"

#include <QApplication>
#include <QWidget>

#include "storage/table/tlb_csv.h"
#include "widgets/tdata_link.h"
#include "widgets/tprompter.h"
#include "widgets/trecord_view.h"

namespace {

bool NotAtBeginning(const TLbCsv& table, const TRecordView& view) {
  return table.Active() && !view.AtBeginning();
}
bool NotAtEnd(const TLbCsv& table, const TRecordView& view) {
  return table.Active() && !view.AtEnd();
}
bool HasRecordToDelete(const TLbCsv& table, const TRecordView& /*view*/) {
  return table.Active() && table.Writable() && !(table.AtBeginning() && table.AtEnd());
}

const TDataSetAction::Kind kFirst{"&First", "First", NotAtBeginning,
                                  [](TLbCsv&, TRecordView& view) { view.First(); }};
const TDataSetAction::Kind kPrior{"&Prior", "Prior", NotAtBeginning,
                                  [](TLbCsv&, TRecordView& view) { view.Prior(); }};
const TDataSetAction::Kind kNext{"&Next", "Next", NotAtEnd,
                                 [](TLbCsv&, TRecordView& view) { view.Next(); }};
const TDataSetAction::Kind kLast{"&Last", "Last", NotAtEnd,
                                 [](TLbCsv&, TRecordView& view) { view.Last(); }};
const TDataSetAction::Kind kDelete{"&Delete", "Delete", HasRecordToDelete,
                                   [](TLbCsv& table, TRecordView&) { table.Delete(); }};

// The windows a request goes to, as the user sees them: the active one first.
QList<QWidget*> WindowsInOrder() {
  QList<QWidget*> windows;
  if (QWidget* active = QApplication::activeWindow()) windows.append(active);
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && !windows.contains(window)) windows.append(window);
  }
  return windows;
}

}  // namespace

TDataSetAction::TDataSetAction(const Kind& kind, QObject* parent) : QAction(parent), kind_(kind) {
  const QString hint = QString::fromLatin1(kind.hint);
  setText(QString::fromLatin1(kind.caption));
  setToolTip(hint);
  setStatusTip(hint);
  connect(this, &QAction::triggered, this, &TDataSetAction::Execute);
}

bool TDataSetAction::HandlesTarget(const TDataSource* target) const {
  if (target == nullptr || target->DataSet() == nullptr) return false;
  return source_ == nullptr || source_ == target;
}

const TDataLink* TDataSetAction::ServingLink() const {
  if (source_ != nullptr) {
    for (const TDataLink* link : source_->Links()) {
      if (link->Serving()) return link;
    }
    return nullptr;
  }
  for (QWidget* window : WindowsInOrder()) {
    for (const TDataLink* link : window->findChildren<TDataLink*>()) {
      if (link->Serving() && HandlesTarget(link->DataSource())) return link;
    }
  }
  return nullptr;
}

void TDataSetAction::UpdateTarget(TLbCsv& table, TRecordView* view) {
  TRecordView own(&table);
  setEnabled(kind_.enabledOn(table, view != nullptr ? *view : own));
}

void TDataSetAction::ExecuteTarget(TLbCsv& table, TRecordView* view) {
  TRecordView own(&table);
  kind_.operation(table, view != nullptr ? *view : own);
}

void TDataSetAction::Update() {
  if (const TDataLink* link = ServingLink()) {
    UpdateTarget(*link->DataSet(), link->RecordView());
    return;
  }
  if (isEnabled() && disableIfNoHandler_) setEnabled(HasOnExecute());
}

void TDataSetAction::Execute() {
  Update();
  if (!isEnabled()) return;
  QWidget* parent = qobject_cast<QWidget*>(this->parent());
  if (onExecute_) {
    // A copy: the handler may replace itself.
    const std::function<void()> handler = onExecute_;
    TPrompter::Guard(prompter_, parent, handler);
    return;
  }
  if (const TDataLink* link = ServingLink()) {
    TPrompter::Guard(prompter_, parent,
                     [&] { ExecuteTarget(*link->DataSet(), link->RecordView()); });
  }
}

TDataSetFirst::TDataSetFirst(QObject* parent) : TDataSetAction(kFirst, parent) {}
TDataSetPrior::TDataSetPrior(QObject* parent) : TDataSetAction(kPrior, parent) {}
TDataSetNext::TDataSetNext(QObject* parent) : TDataSetAction(kNext, parent) {}
TDataSetLast::TDataSetLast(QObject* parent) : TDataSetAction(kLast, parent) {}
TDataSetDelete::TDataSetDelete(QObject* parent) : TDataSetAction(kDelete, parent) {}
