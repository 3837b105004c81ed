// The view of a code taken apart in its six parts.
#pragma once

#include <QColor>
#include <QWidget>
#include <array>

#include "storage/codes/code_parts.h"

class QLabel;

// A code taken apart, one row a part: its caption, its letters and what they
// mean, or in the error colour what was expected there. Drawn as text, so it
// stays sharp at any density; the colours are the light card's, set by its
// palette. A screen reader hears each row as its caption, letters and
// meaning.
class TCodeParts : public QWidget {
 public:
  explicit TCodeParts(QWidget* parent = nullptr);

  // The parts as storage gives them (bytes).
  void SetParts(const std::array<CodePart, 6>& parts);
  QLabel* Row(std::size_t part) const { return rows_[part]; }
  // The height the rows take: a long meaning takes a second line.
  int UsedHeight() const { return used_; }

  static QColor ErrorColour() { return QColor(190, 0, 0); }
  static QColor CaptionColour() { return QColor(31, 107, 47); }  // the card's green

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Arrange();

  std::array<QLabel*, 6> rows_{};
  int used_ = 0;
};
