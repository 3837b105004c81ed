#include "widgets/tjv_bit_btn.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>

TJvBitBtn::TJvBitBtn(QWidget* parent) : TJvBitBtn(QString(), parent) {}

TJvBitBtn::TJvBitBtn(const QString& text, QWidget* parent)
    : QPushButton(text, parent),
      hotTrackFont_(font()),
      hintColor_(THintColorExchange::ApplicationHintColor()) {
  // Queued, so the menu comes after every handler of the click has run.
  connect(this, &QAbstractButton::clicked, this, &TJvBitBtn::DropDown, Qt::QueuedConnection);
}

void TJvBitBtn::SetGlyph(const QPixmap& glyph) {
  setIcon(QIcon(glyph));
  if (!glyph.isNull()) setIconSize(glyph.deviceIndependentSize().toSize());
}

const QPixmap& TJvBitBtn::HotGlyph() const { return hotGlyph_; }
void TJvBitBtn::SetHotGlyph(const QPixmap& glyph) { hotGlyph_ = glyph; }
bool TJvBitBtn::HotTrack() const { return hotTrack_; }
void TJvBitBtn::SetHotTrack(bool hotTrack) { hotTrack_ = hotTrack; }
const QFont& TJvBitBtn::HotTrackFont() const { return hotTrackFont_; }
void TJvBitBtn::SetHotTrackFont(const QFont& font) { hotTrackFont_ = font; }
const QColor& TJvBitBtn::HotTrackColor() const { return hotTrackColor_; }
void TJvBitBtn::SetHotTrackColor(const QColor& color) { hotTrackColor_ = color; }
const QColor& TJvBitBtn::HintColor() const { return hintColor_; }
void TJvBitBtn::SetHintColor(const QColor& color) { hintColor_ = color; }
QMenu* TJvBitBtn::DropDownMenu() const { return dropDownMenu_; }
void TJvBitBtn::SetDropDownMenu(QMenu* menu) { dropDownMenu_ = menu; }
bool TJvBitBtn::MouseOver() const { return hover_.MouseOver(); }

void TJvBitBtn::enterEvent(QEnterEvent* event) {
  QPushButton::enterEvent(event);
  if (!hover_.MouseOver() && !hotGlyph_.isNull()) {
    savedGlyph_ = icon();
    setIcon(QIcon(hotGlyph_));
  }
  hover_.Enter(*this, hintColor_, hotTrack_, hotTrackFont_, hotTrackColor_);
  emit mouseEntered();
}

void TJvBitBtn::leaveEvent(QEvent* event) {
  QPushButton::leaveEvent(event);
  if (hover_.Leave(*this) && savedGlyph_) {
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
