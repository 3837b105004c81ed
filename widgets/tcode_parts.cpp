#include "widgets/tcode_parts.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

#include "widgets/byte_text.h"

namespace {

// One part's row. A label, so a screen reader reads it as text; it paints
// its three columns itself.
class PartRow : public QLabel {
 public:
  using QLabel::QLabel;

  void Show(const CodePart& part) {
    part_ = part;
    caption_ = FromBytes(part.caption);
    letters_ = FromBytes(part.letters);
    meaning_ = FromBytes(part.meaning);
    QString said = caption_;
    if (!letters_.isEmpty()) said += QStringLiteral(": ") + letters_;
    if (part.state == PartState::Faulty) said += QStringLiteral(", errato");
    if (!meaning_.isEmpty()) said += QStringLiteral(", ") + meaning_;
    setAccessibleName(said);
    setToolTip(meaning_);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QColor ink = part_.state == PartState::Faulty ? TCodeParts::ErrorColour()
                                                        : palette().color(QPalette::WindowText);
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics plain(font());
    const QFontMetrics strong(bold);
    // Columns wide enough for the longest caption and a place code.
    const int captionWidth = plain.horizontalAdvance(QStringLiteral("Giorno e sesso")) + 8;
    const int lettersWidth = strong.horizontalAdvance(QStringLiteral("MMMM")) + 4;
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    painter.setPen(TCodeParts::CaptionColour());
    painter.drawText(QRect(0, 0, captionWidth, height()), flags, caption_);
    painter.setFont(bold);
    painter.setPen(ink);
    painter.drawText(QRect(captionWidth, 0, lettersWidth, height()), flags, letters_);
    if (meaning_.isEmpty()) return;
    painter.setFont(font());
    const int left = captionWidth + lettersWidth;
    const QString meaning = QStringLiteral("\u2192 ") + meaning_;
    painter.drawText(QRect(left, 0, width() - left, height()), flags,
                     plain.elidedText(meaning, Qt::ElideRight, width() - left));
  }

 private:
  CodePart part_;
  QString caption_;
  QString letters_;
  QString meaning_;
};

}  // namespace

TCodeParts::TCodeParts(QWidget* parent) : QWidget(parent) {
  for (std::size_t k = 0; k < rows_.size(); ++k) {
    rows_[k] = new PartRow(this);
    rows_[k]->setObjectName(QStringLiteral("CodePart%1").arg(k + 1));
  }
  SetParts(UntypedParts());
}

void TCodeParts::SetParts(const std::array<CodePart, 6>& parts) {
  for (std::size_t k = 0; k < rows_.size(); ++k) static_cast<PartRow*>(rows_[k])->Show(parts[k]);
}

void TCodeParts::resizeEvent(QResizeEvent*) {
  const int rowHeight = height() / static_cast<int>(rows_.size());
  for (std::size_t k = 0; k < rows_.size(); ++k) {
    rows_[k]->setGeometry(0, static_cast<int>(k) * rowHeight, width(), rowHeight);
  }
}
