#include "widgets/terror_hook.h"

#include <QtGlobal>
#include <utility>

void TErrorHook::Set(Handler handler) { handler_ = std::move(handler); }

void TErrorHook::Report(const std::exception& error) const {
  if (handler_) {
    handler_(error);
  } else {
    qWarning("%s", error.what());
  }
}
