#include "widgets/tprompter.h"

#include <QtGlobal>

void TPrompter::Report(TPrompter* prompter, QWidget* parent, const std::exception& error) {
  if (prompter != nullptr) {
    prompter->ShowError(parent, error);
  } else {
    qWarning("%s", error.what());
  }
}

bool TPrompter::Ask(TPrompter* prompter, QWidget* parent, const QString& caption,
                    const QString& text) {
  return prompter != nullptr && prompter->Confirm(parent, caption, text);
}
