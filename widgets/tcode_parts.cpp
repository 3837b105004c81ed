#include "widgets/tcode_parts.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "widgets/byte_text.h"

namespace {

constexpr int kGap = 6;  // between columns
constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop;
const QString kArrow = QStringLiteral("\u2192 ");

QFont Bold(QFont font) {
  font.setBold(true);
  return font;
}

// One part's row. A label, so a screen reader reads it as text; it paints
// its three columns itself, the meaning on a second line when it is long.
class PartRow : public QLabel {
 public:
  using QLabel::QLabel;

  void Show(const CodePart& part) {
    state_ = part.state;
    caption_ = FromBytes(part.caption);
    letters_ = FromBytes(part.letters);
    meaning_ = FromBytes(part.meaning);
    QString said = caption_;
    if (!letters_.isEmpty()) said += QStringLiteral(": ") + letters_;
    if (state_ == PartState::Faulty) said += QStringLiteral(", errato");
    if (!meaning_.isEmpty()) said += QStringLiteral(", ") + meaning_;
    setAccessibleName(said);
    update();
  }

  const QString& Caption() const { return caption_; }
  const QString& Letters() const { return letters_; }

  // Places the columns; the height the row needs at `width`.
  int Arrange(int captionWidth, int lettersWidth, int width) {
    captionWidth_ = captionWidth;
    lettersWidth_ = lettersWidth;
    const QFontMetrics metrics(font());
    const bool wraps = metrics.horizontalAdvance(meaning_) >
                       width - captionWidth - lettersWidth - metrics.horizontalAdvance(kArrow);
    return (wraps ? 2 : 1) * metrics.lineSpacing();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QColor ink = state_ == PartState::Faulty ? TCodeParts::ErrorColour()
                                                   : palette().color(QPalette::WindowText);
    painter.setPen(TCodeParts::CaptionColour());
    painter.drawText(QRect(0, 0, captionWidth_, height()), kFlags, caption_);
    painter.setFont(Bold(font()));
    painter.setPen(ink);
    painter.drawText(QRect(captionWidth_, 0, lettersWidth_, height()), kFlags, letters_);
    if (meaning_.isEmpty()) return;
    painter.setFont(font());
    // A second line of the meaning starts under its first, not under the arrow.
    const int arrow = captionWidth_ + lettersWidth_;
    painter.drawText(QRect(arrow, 0, width() - arrow, height()), kFlags, kArrow);
    const int left = arrow + QFontMetrics(font()).horizontalAdvance(kArrow);
    painter.drawText(QRect(left, 0, width() - left, height()), kFlags | Qt::TextWordWrap, meaning_);
  }

 private:
  PartState state_ = PartState::Plain;
  QString caption_;
  QString letters_;
  QString meaning_;
  int captionWidth_ = 0;
  int lettersWidth_ = 0;
};

PartRow* RowOf(QLabel* label) { return static_cast<PartRow*>(label); }

}  // namespace

TCodeParts::TCodeParts(QWidget* parent) : QWidget(parent) {
  for (std::size_t k = 0; k < rows_.size(); ++k) {
    rows_[k] = new PartRow(this);
    rows_[k]->setObjectName(QStringLiteral("CodePart%1").arg(k + 1));
  }
  SetParts(UntypedParts());
}

void TCodeParts::SetParts(const std::array<CodePart, 6>& parts) {
  for (std::size_t k = 0; k < rows_.size(); ++k) RowOf(rows_[k])->Show(parts[k]);
  Arrange();
}

void TCodeParts::resizeEvent(QResizeEvent*) { Arrange(); }

void TCodeParts::Arrange() {
  const QFontMetrics plain(font());
  const QFontMetrics strong(Bold(font()));
  // The longest caption; a place code's four characters at least, so the
  // column stays put while a code is typed.
  int captionWidth = 0;
  int lettersWidth = strong.horizontalAdvance(QStringLiteral("F000"));
  for (QLabel* row : rows_) {
    captionWidth = std::max(captionWidth, plain.horizontalAdvance(RowOf(row)->Caption()));
    lettersWidth = std::max(lettersWidth, strong.horizontalAdvance(RowOf(row)->Letters()));
  }
  int top = 0;
  for (QLabel* row : rows_) {
    const int rowHeight = RowOf(row)->Arrange(captionWidth + kGap, lettersWidth + kGap, width());
    row->setGeometry(0, top, width(), rowHeight);
    top += rowHeight;
  }
  used_ = top;
}
