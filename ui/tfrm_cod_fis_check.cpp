// The code-check tab: a code typed in is read back as it is typed, and
// compared field by field with the calculation tab's inputs.
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QValidator>
#include <optional>

#include "storage/codes/code_against_data.h"
#include "storage/codes/code_parts.h"
#include "storage/codes/code_reading.h"
#include "ui/captioned_value_accessible.h"
#include "ui/light_palette.h"
#include "ui/pixel_font.h"
#include "ui/tfrm_cod_fis.h"
#include "widgets/byte_text.h"
#include "widgets/tcode_parts.h"
#include "widgets/tdate_time_picker.h"

namespace {

// Typed or pasted letters become upper case; spaces, as a code is copied
// from a card, are kept and ignored by the reading.
class UpperCase : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

// The last row inside the card's border.
constexpr int kCardBottom = 211;

// The lines below start under the parts, which take a line more when a
// meaning is long.
void ShowParts(TCodeParts* parts, QLabel* below, const std::array<CodePart, 6>& shown) {
  parts->SetParts(shown);
  parts->resize(parts->width(), parts->UsedHeight());
  const int top = parts->y() + parts->height() + 2;
  below->setGeometry(below->x(), top, below->width(), kCardBottom - top);
}

// A code of another person with a homocode and a long place gives more
// lines than the card has room for at the usual size: smaller print then,
// never a scroll bar. The data compared, when named, head the room the
// parts leave and shrink with the lines.
void FitLines(QLabel* compared, QLabel* lines) {
  const QRect room = lines->geometry();
  for (int pixels = 11; pixels >= 8; --pixels) {
    const QFont font = PixelFont(QStringLiteral("MS Sans Serif"), pixels);
    lines->setFont(font);
    int top = room.top();
    if (!compared->text().isEmpty()) {
      compared->setFont(font);
      const int height = compared->heightForWidth(room.width());
      compared->setGeometry(room.left(), top, room.width(), height);
      compared->show();
      top += height;
    }
    lines->setGeometry(room.left(), top, room.width(), room.bottom() + 1 - top);
    if (lines->heightForWidth(lines->width()) <= lines->height()) return;
  }
}

}  // namespace

void TfrmCodFis::CreateCheckTab() {
  TabSheet3 = new QWidget();
  TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
  PageControl1->addTab(TabSheet3, QStringLiteral("Verifica codice"));
  // The white card of the calculation tab, drawn rather than painted.
  auto* card = new QWidget(TabSheet3);
  card->setObjectName(QStringLiteral("Panel3"));
  card->setGeometry(0, 8, 337, 215);
  card->setStyleSheet(QStringLiteral(
      "#Panel3 { background: white; border: 1px solid black; border-radius: 6px; }"));
  // The caption beside the code, as on the calculation tab's card; the
  // verdict, the parts and the other lines below fill the card, so a whole
  // code never needs a scroll bar.
  auto* caption = new QLabel(QStringLiteral("CODICE\nFISCALE"), card);
  caption->setGeometry(12, 9, 48, 26);
  caption->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 10, true));
  caption->setStyleSheet(QStringLiteral("color: #1f6b2f;"));
  edtCodice = new QLineEdit(card);
  edtCodice->setObjectName(QStringLiteral("edtCodice"));
  edtCodice->setGeometry(62, 8, 241, 24);
  edtCodice->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 16, true));
  edtCodice->setMaxLength(24);
  edtCodice->setValidator(new UpperCase(edtCodice));
  labEsito = new QLabel(card);
  labEsito->setObjectName(QStringLiteral("labEsito"));
  CaptionedValueAccessible::Caption(labEsito, QStringLiteral("Esito"));
  labEsito->setGeometry(12, 36, 313, 16);
  labEsito->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 13, true));
  codeParts = new TCodeParts(card);
  codeParts->setObjectName(QStringLiteral("codeParts"));
  codeParts->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
  codeParts->setGeometry(12, 54, 313, kCardBottom - 54);
  labDati = new QLabel(card);
  labDati->setObjectName(QStringLiteral("labDati"));
  CaptionedValueAccessible::Caption(labDati, QStringLiteral("Confronto"));
  labDati->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
  labDati->setWordWrap(true);
  labDati->hide();
  labDettagli = new QLabel(card);
  labDettagli->setObjectName(QStringLiteral("labDettagli"));
  CaptionedValueAccessible::Caption(labDettagli, QStringLiteral("Dettagli"));
  labDettagli->setGeometry(12, 134, 313, kCardBottom - 134);
  labDettagli->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
  labDettagli->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  labDettagli->setWordWrap(true);
  // On each control: under the card's style sheet, a palette set on the card
  // does not reach them.
  ShowParts(codeParts, labDettagli, UntypedParts());
  LightPalette::Apply(card);
  for (QWidget* control : card->findChildren<QWidget*>()) LightPalette::Apply(control);
}

void TfrmCodFis::BindCheckTab() {
  setTabOrder(RadioButton2, edtCodice);
  connect(edtCodice, &QLineEdit::textChanged, this,
          [this] { Guarded([this] { edtCodiceChange(); }); });
  connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
    if (PageControl1->currentWidget() != TabSheet3) return;
    // The calculation tab's inputs may have changed meanwhile.
    Guarded([this] { edtCodiceChange(); });
    // Shown by a click or a shortcut, the tab is there to type a code; the
    // arrow keys on the tab bar leave the focus there to go on along it.
    if (!PageControl1->tabBar()->hasFocus() || QGuiApplication::mouseButtons() != Qt::NoButton) {
      edtCodice->setFocus(Qt::OtherFocusReason);
    }
  });
}

void TfrmCodFis::edtCodiceChange() {
  labEsito->clear();
  labDati->clear();
  labDati->hide();
  labDettagli->clear();
  const std::string typed = ToUtf8(edtCodice->text());
  if (typed.empty()) {
    ShowParts(codeParts, labDettagli, UntypedParts());
    return;
  }
  const CodeReading reading = ReadCode(typed, places_);
  const CodeAnatomy anatomy = TakeApart(reading, places_);
  ShowParts(codeParts, labDettagli, anatomy.parts);
  std::vector<std::string> lines = anatomy.below;
  // Compared with the calculation tab's inputs once a name is typed there.
  if (reading.valid && !(Cognome->text().trimmed().isEmpty() && Nome->text().trimmed().isEmpty())) {
    // A date field that shows no date gives none.
    const bool dated = DateTimePicker1->TakeTyped();
    const PersonData person{
        ToUtf8(Cognome->text()), ToUtf8(Nome->text()), RadioButton1->isChecked() ? "F" : "M",
        dated ? std::optional(PickerDate()) : std::nullopt, ToUtf8(ComboBox1->currentText())};
    // Whom the verdict is about: the calculation tab's person, as shown there.
    labDati->setText(QStringLiteral("Dati del calcolo: %1, %2, %3, %4")
                         .arg((Cognome->text() + QLatin1Char(' ') + Nome->text()).simplified(),
                              QString::fromStdString(person.sex), DateTimePicker1->text(),
                              ComboBox1->currentText().simplified()));
    const DataCheck check = CheckAgainstData(reading, person, places_);
    if (!check.error.empty()) lines.push_back(check.error);
    lines.insert(lines.end(), check.lines.begin(), check.lines.end());
  }
  labEsito->setText(FromBytes(reading.lines.front()));
  QStringList details;
  for (const std::string& line : lines) details << FromBytes(line);
  labDettagli->setText(details.join(QLatin1Char('\n')));
  FitLines(labDati, labDettagli);
}
