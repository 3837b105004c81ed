#pragma once

#include <QString>
#include <exception>

class QWidget;

// The standard error box every handler's failure ends in.
class ErrorBox {
 public:
  // The message with a full stop added when its last character sorts after ".".
  static QString WithFullStop(const QString& message);
  static void Show(const std::exception& error, QWidget* parent = nullptr);

  // Runs a handler; an error stops it there and is shown, never reaching Qt.
  template <class Handler>
  static void Guard(Handler&& handler, QWidget* parent = nullptr) {
    try {
      handler();
    } catch (const std::exception& error) {
      Show(error, parent);
    }
  }
};
