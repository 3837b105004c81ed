#include "widgets/tjv_bit_btn.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>

TJvBitBtn::TJvBitBtn(QWidget* parent) : TJvBitBtn(QString(), parent) {}

TJvBitBtn::TJvBitBtn(const QString& text, QWidget* parent)
    : QPushButton(text, parent), THoverLook(font()) {
  // Queued, so the menu comes after every handler of the click has run.
  connect(this, &QAbstractButton::clicked, this, &TJvBitBtn::DropDown, Qt::QueuedConnection);
}

void TJvBitBtn::SetGlyph(const QPixmap& glyph) {
  setIcon(QIcon(glyph));
  if (!glyph.isNull()) setIconSize(glyph.deviceIndependentSize().toSize());
}

const QPixmap& TJvBitBtn::HotGlyph() const { return hotGlyph_; }
void TJvBitBtn::SetHotGlyph(const QPixmap& glyph) { hotGlyph_ = glyph; }
QMenu* TJvBitBtn::DropDownMenu() const { return dropDownMenu_; }
void TJvBitBtn::SetDropDownMenu(QMenu* menu) { dropDownMenu_ = menu; }

void TJvBitBtn::enterEvent(QEnterEvent* event) {
  QPushButton::enterEvent(event);
  if (!MouseOver() && !hotGlyph_.isNull()) {
    savedGlyph_ = icon();
    setIcon(QIcon(hotGlyph_));
  }
  HoverEnter(*this);
  emit mouseEntered();
}

void TJvBitBtn::leaveEvent(QEvent* event) {
  QPushButton::leaveEvent(event);
  if (HoverLeave(*this) && savedGlyph_) {
    setIcon(*savedGlyph_);
    savedGlyph_.reset();
  }
  emit mouseLeft();
}

void TJvBitBtn::DropDown() {
  if (!dropDownMenu_) return;
  dropDownMenu_->popup(mapToGlobal(QPoint(0, height())));
  // The menu now covers the button: end its hover look.
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(this, &leave);
}
