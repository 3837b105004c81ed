// The hover button TJvBitBtn.
#pragma once

#include <optional>

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>

#include "widgets/thover_look.h"

class QMenu;

// A push button with a glyph that reacts to the mouse passing over it (hint
// colour, HotGlyph, HotTrack font) and can drop a menu down after its click.
class TJvBitBtn : public QPushButton, public THoverLook {
  Q_OBJECT

 public:
  explicit TJvBitBtn(QWidget* parent = nullptr);
  explicit TJvBitBtn(const QString& text, QWidget* parent = nullptr);

  // The glyph is the button's icon, shown at the picture's own size.
  void SetGlyph(const QPixmap& glyph);
  const QPixmap& HotGlyph() const;
  void SetHotGlyph(const QPixmap& glyph);

  // Pops up at the button's lower-left corner after each click; not owned.
  QMenu* DropDownMenu() const;
  void SetDropDownMenu(QMenu* menu);

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
  QPointer<QMenu> dropDownMenu_;
};
