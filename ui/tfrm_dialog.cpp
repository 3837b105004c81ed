#include "ui/tfrm_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>

#include "ui/artwork.h"
#include "ui/artwork_sizes.h"
#include "ui/light_palette.h"
#include "ui/pixel_font.h"
#include "widgets/tjv_bit_btn.h"
#include "widgets/tjv_form_wallpaper.h"

namespace {

constexpr QSize kClientSize(324, 112);
constexpr QSize kIconSize = artwork_size::kDialogIcon;
constexpr QSize kGlyphSize = artwork_size::kGlyph;
constexpr QSize kTileSize = artwork_size::kTile;

QLabel* MakeTextLabel(QWidget* parent, const QString& text, const QPoint& at, bool bold) {
  auto* label = new QLabel(text, parent);
  label->setFont(PixelFont(QStringLiteral("Microsoft Sans Serif"), 11, bold));
  label->setTextFormat(Qt::PlainText);  // a surname with '<' is no markup
  label->setWordWrap(false);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setContentsMargins(0, 0, 0, 0);
  label->move(at);
  label->adjustSize();
  return label;
}

}  // namespace

TfrmDialog::TfrmDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("frmDialog"));
  setFixedSize(kClientSize);
  setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
  // The button face under the wallpaper, black text: light on any desktop.
  LightPalette::Apply(this);
  setWindowModality(Qt::ApplicationModal);

  // Created in stacking order, bottom first.
  JvFormWallpaper1_ = new TJvFormWallpaper(this);
  JvFormWallpaper1_->SetImage(Artwork::Picture(QStringLiteral("wallpaper.svg"), kTileSize));

  img_ = new QLabel(this);
  img_->setGeometry(16, 8, kIconSize.width(), kIconSize.height());

  labTitolo_ = MakeTextLabel(this, QStringLiteral("labTitolo"), QPoint(56, 8), true);
  labInfo_ = MakeTextLabel(this, QStringLiteral("labInfo"), QPoint(56, 24), false);

  JvBitBtn1_ = new TJvBitBtn(QStringLiteral("OK"), this);
  JvBitBtn1_->setGeometry(152, 80, 75, 25);
  JvBitBtn1_->SetGlyph(Artwork::Picture(QStringLiteral("glyph_ok.svg"), kGlyphSize));
  JvBitBtn1_->setDefault(true);
  connect(JvBitBtn1_, &QAbstractButton::clicked, this, &TfrmDialog::JvBitBtn1Click);

  JvBitBtn2_ = new TJvBitBtn(QStringLiteral("Cancel"), this);
  JvBitBtn2_->setGeometry(240, 80, 75, 25);
  JvBitBtn2_->SetGlyph(Artwork::Picture(QStringLiteral("glyph_cancel.svg"), kGlyphSize));
  connect(JvBitBtn2_, &QAbstractButton::clicked, this, &TfrmDialog::JvBitBtn2Click);
  setTabOrder(JvBitBtn1_, JvBitBtn2_);
  JvBitBtn1_->setAccessibleDescription(QStringLiteral("Conferma"));
  JvBitBtn2_->setAccessibleDescription(QStringLiteral("Annulla"));

  imgLst_ = {Artwork::Picture(QStringLiteral("dlg_question.svg"), kIconSize),
             Artwork::Picture(QStringLiteral("dlg_information.svg"), kIconSize),
             Artwork::Picture(QStringLiteral("dlg_warning.svg"), kIconSize),
             Artwork::Picture(QStringLiteral("dlg_error.svg"), kIconSize)};

  FormCreate();
}

TfrmDialog::~TfrmDialog() {
  if (waitLoop_) waitLoop_->quit();
}

quint8 TfrmDialog::IconKind() const { return iconKind_; }
bool TfrmDialog::Cancelled() const { return cancelled_; }
int TfrmDialog::ImageIndex() const { return imageIndex_; }

void TfrmDialog::SetIconKind(quint8 kind) {
  iconKind_ = kind;
  static constexpr std::array<int, 4> kImageOfKind{0, 1, 3, 2};
  if (kind >= kImageOfKind.size()) return;
  imageIndex_ = kImageOfKind[kind];
  img_->setPixmap(imgLst_[imageIndex_]);
  static const std::array<const char*, 4> kPictureName{"Domanda", "Informazione", "Avviso",
                                                       "Errore"};
  img_->setAccessibleName(QString::fromLatin1(kPictureName[imageIndex_]));
}

void TfrmDialog::FormCreate() { SetIconKind(1); }

void TfrmDialog::JvBitBtn1Click() {
  cancelled_ = false;
  hide();
}

void TfrmDialog::JvBitBtn2Click() {
  cancelled_ = true;
  hide();
}

bool TfrmDialog::WaitForAnswer() {
  QPointer<TfrmDialog> self(this);
  show();
  raise();
  activateWindow();
  if (isVisible()) {
    QEventLoop loop;
    waitLoop_ = &loop;
    loop.exec();  // ends when the dialog hides or is destroyed
    if (!self) return false;
    waitLoop_ = nullptr;
  }
  // The wait can also end because the application is quitting; with no
  // answer given, nothing is confirmed.
  if (isVisible()) JvBitBtn2Click();
  return !cancelled_;
}

TJvFormWallpaper* TfrmDialog::JvFormWallpaper1() const { return JvFormWallpaper1_; }
QLabel* TfrmDialog::img() const { return img_; }
QLabel* TfrmDialog::labTitolo() const { return labTitolo_; }
QLabel* TfrmDialog::labInfo() const { return labInfo_; }
TJvBitBtn* TfrmDialog::JvBitBtn1() const { return JvBitBtn1_; }
TJvBitBtn* TfrmDialog::JvBitBtn2() const { return JvBitBtn2_; }

QPixmap TfrmDialog::imgLst(int index) const {
  return index >= 0 && index < static_cast<int>(imgLst_.size()) ? imgLst_[index] : QPixmap();
}

void TfrmDialog::setVisible(bool visible) {
  if (visible && !isVisible()) {
    SizeLabelsToText();
    if (!testAttribute(Qt::WA_Moved)) CentreOnMainWindow();
    // Focus is on OK from the first moment, even before the window manager
    // has activated the window: an early Enter still means OK.
    if (!focusWidget()) JvBitBtn1_->setFocus(Qt::TabFocusReason);
  }
  QDialog::setVisible(visible);
}

bool TfrmDialog::event(QEvent* event) {
  // A label whose text changed asks its parent to lay it out again.
  if (event->type() == QEvent::LayoutRequest) SizeLabelsToText();
  return QDialog::event(event);
}

void TfrmDialog::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Cancel)) {
    JvBitBtn2_->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TfrmDialog::closeEvent(QCloseEvent* event) {
  if (isVisible()) JvBitBtn2Click();
  event->accept();
}

void TfrmDialog::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  // A minimised window is hidden but still visible: that is no answer.
  if (waitLoop_ && !isVisible()) waitLoop_->quit();
}

void TfrmDialog::reject() { JvBitBtn2Click(); }

void TfrmDialog::SizeLabelsToText() {
  // The labels grow with their text; the window keeps its size and cuts them.
  labTitolo_->adjustSize();
  labInfo_->adjustSize();
}

void TfrmDialog::CentreOnMainWindow() {
  QWidget* main = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
  if (main == this) main = nullptr;
  QRect area;
  if (main) {
    area = main->frameGeometry();
  } else if (QScreen* display = screen()) {
    area = display->availableGeometry();
  }
  if (area.isValid()) move(area.center() - QPoint(width() / 2, height() / 2));
}
