// What a widget asks of the window that owns it.
#pragma once

#include <QString>
#include <exception>

class QWidget;

// What a widget asks of the window that owns it: a yes-or-no question, and
// where an error raised inside the widget's own handling goes, so that it
// never unwinds into Qt's event loop. The owner hands it over; without one a
// question is answered no and an error is logged.
class TPrompter {
 public:
  virtual ~TPrompter() = default;

  // True when the user answers yes.
  virtual bool Confirm(QWidget* parent, const QString& caption, const QString& text) = 0;
  virtual void ShowError(QWidget* parent, const std::exception& error) = 0;

  // Runs `work`; a std::exception it throws goes to `prompter` instead of on.
  template <class Work>
  static void Guard(TPrompter* prompter, QWidget* parent, Work&& work) {
    try {
      work();
    } catch (const std::exception& error) {
      Report(prompter, parent, error);
    }
  }
  static void Report(TPrompter* prompter, QWidget* parent, const std::exception& error);
  static bool Ask(TPrompter* prompter, QWidget* parent, const QString& caption,
                  const QString& text);
};
