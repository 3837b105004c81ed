#include "widgets/tdata_link.h"

#include <QWidget>
#include <utility>

TDataLink::TDataLink(QWidget* view, std::function<void(TDataEvent)> onEvent)
    : QObject(view), view_(view), onEvent_(std::move(onEvent)) {}

TDataLink::~TDataLink() {
  if (source_ != nullptr) source_->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == source_) return;
  if (source_ != nullptr) {
    source_->RemoveLink(this);
    disconnect(source_, nullptr, this, nullptr);
  }
  source_ = source;
  if (source_ != nullptr) {
    source_->AddLink(this);
    connect(source_, qOverload<TDataEvent>(&TDataSource::DataEvent), this,
            [this](TDataEvent event) { onEvent_(event); });
    connect(source_, &QObject::destroyed, this, [this] {
      source_ = nullptr;
      onEvent_(TDataEvent::ActiveChanged);
    });
  }
  onEvent_(TDataEvent::ActiveChanged);
}

TLbCsv* TDataLink::DataSet() const { return source_ != nullptr ? source_->DataSet() : nullptr; }

bool TDataLink::Serving() const { return view_->isVisible() && DataSet() != nullptr; }
