// The hint colour lent to a widget while the mouse is over it.
#pragma once

#include <QColor>

// Lends the application's hint (tooltip) background to a widget while the
// mouse is over it, and gives the colour back afterwards. Taking it twice
// without giving back keeps the first colour remembered, so the original is
// never lost.
class THintColorExchange {
 public:
  THintColorExchange() = default;
  ~THintColorExchange();  // gives back what is still lent
  THintColorExchange(const THintColorExchange&) = delete;
  THintColorExchange& operator=(const THintColorExchange&) = delete;

  void Take(const QColor& hintColor);
  void GiveBack();
  bool Taken() const;

  // The application's hint colour, kept both in the application palette and in
  // the tooltip palette so an open hint window follows it.
  static QColor ApplicationHintColor();
  static void SetApplicationHintColor(const QColor& color);

 private:
  bool taken_ = false;
  QColor saved_;
};
