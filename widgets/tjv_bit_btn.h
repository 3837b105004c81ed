#pragma once

#include <optional>

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>

#include "widgets/thover_state.h"

class QMenu;

// A push button with a glyph that reacts to the mouse passing over it (hint
// colour, HotGlyph, HotTrack font) and can drop a menu down after its click.
class TJvBitBtn : public QPushButton {
  Q_OBJECT

 public:
  explicit TJvBitBtn(QWidget* parent = nullptr);
  explicit TJvBitBtn(const QString& text, QWidget* parent = nullptr);

  // The glyph is the button's icon, shown at the picture's own size.
  void SetGlyph(const QPixmap& glyph);
  const QPixmap& HotGlyph() const;
  void SetHotGlyph(const QPixmap& glyph);

  bool HotTrack() const;
  void SetHotTrack(bool hotTrack);
  const QFont& HotTrackFont() const;
  void SetHotTrackFont(const QFont& font);
  // Text colour while hot-tracking; invalid (the default) keeps the colour.
  const QColor& HotTrackColor() const;
  void SetHotTrackColor(const QColor& color);
  const QColor& HintColor() const;
  void SetHintColor(const QColor& color);

  // Pops up at the button's lower-left corner after each click; not owned.
  QMenu* DropDownMenu() const;
  void SetDropDownMenu(QMenu* menu);

  bool MouseOver() const;

 signals:
  void mouseEntered();
  void mouseLeft();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void DropDown();

  QPixmap hotGlyph_;
  std::optional<QIcon> savedGlyph_;
  bool hotTrack_ = false;
  QFont hotTrackFont_;
  QColor hotTrackColor_;
  QColor hintColor_;
  QPointer<QMenu> dropDownMenu_;
  THoverState hover_;
};
