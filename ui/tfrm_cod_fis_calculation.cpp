// The calculation tab: the inputs over the picture of the card, the
// suggestions while a place is typed, the lookup of the place, Azzera and
// Calcola, which computes, copies, archives and tells.
#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>

#include "engine/fiscal_code.h"
#include "engine/letter_folding.h"
#include "engine/short_date.h"
#include "engine/today.h"
#include "lists/person_code.h"
#include "storage/places/place_chain.h"
#include "storage/places/place_lookup.h"
#include "ui/captioned_value_accessible.h"
#include "ui/light_palette.h"
#include "ui/pixel_font.h"
#include "ui/popup_click_through.h"
#include "ui/tfrm_cod_fis.h"
#include "widgets/byte_list_model.h"
#include "widgets/byte_text.h"
#include "widgets/tdate_time_picker.h"
#include "widgets/tdb_text.h"

namespace {

const char* const kDefaultMunicipality = "CESENA";

// The background of the edit box being typed in: the card's own tooltip
// colour, as the card keeps its light look on a dark desktop.
QColor InputColour() { return LightPalette::InputColour(); }

void SetBackground(QLineEdit* edit, const QColor& colour) {
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, colour);
  edit->setPalette(palette);
}

}  // namespace

void TfrmCodFis::CreateCalculationTab() {
  Panel1 = new QWidget(TabSheet1);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(0, 8, 337, 215);
  LightPalette::Apply(Panel1);

  Image1 = new QLabel(Panel1);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(-1, -1, 339, 217);

  const auto whiteBackground = [](QWidget* w, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = w->palette();
    palette.setColor(role, colour);
    w->setPalette(palette);
    w->setBackgroundRole(role);
    w->setAutoFillBackground(true);
  };

  // A bold value on the card, heard by a screen reader with its caption.
  const auto placeValue = [&](QLabel* label, const QString& name, const QString& caption,
                              const QRect& where, int pixels) {
    label->setObjectName(name);
    CaptionedValueAccessible::Caption(label, caption);
    label->setGeometry(where);
    label->setFont(PixelFont(QStringLiteral("MS Sans Serif"), pixels, true));
    whiteBackground(label, QPalette::Window, Qt::white);
  };
  Label6 = new QLabel(Panel1);
  placeValue(Label6, QStringLiteral("Label6"), QStringLiteral("Codice fiscale"),
             QRect(59, 99, 241, 24), 16);
  // Selectable, and Ctrl+C copies it (whole when nothing is selected).
  Label6->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  Label6->installEventFilter(this);

  const auto makeEdit = [&](const QString& name, int top, const QString& text) {
    auto* edit = new QLineEdit(text, Panel1);
    edit->setObjectName(name);
    edit->setGeometry(59, top, 193, 12);
    edit->setFrame(false);
    edit->setTextMargins(0, 0, 0, 0);
    edit->setContentsMargins(0, 0, 0, 0);
    // Letters are stored as typed, in upper case.
    connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& typed) {
      const QString upper = typed.toUpper();
      if (upper == typed) return;
      const int cursor = edit->cursorPosition();
      edit->setText(upper);
      edit->setCursorPosition(cursor);
    });
    edit->installEventFilter(this);
    return edit;
  };
  Cognome = makeEdit(QStringLiteral("Cognome"), 126, QStringLiteral("COGNOME"));
  whiteBackground(Cognome, QPalette::Base, Qt::white);
  Nome = makeEdit(QStringLiteral("Nome"), 141, QStringLiteral("NOME"));

  ComboBox1 = new QComboBox(Panel1);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setGeometry(59, 157, 145, 21);
  ComboBox1->setEditable(true);
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  ComboBox1->setMaxVisibleItems(8);
  // Ten thousand names go in at once, not item by item.
  placeNames_ = new ByteListModel(ComboBox1);
  ComboBox1->setModel(placeNames_);
  // Suggestions while typing, but nothing may change what is typed: a
  // completer owned by the box would make it swap the typed text for the
  // entry matching it ignoring case. The places offered are found by the
  // lookup's own steps (BOZEN for "bozen", REGGIO DI CALABRIA for "reggio
  // calabria"), so the popup shows them as they come.
  ComboBox1->setCompleter(nullptr);
  placeSuggestions_ = new ByteListModel(ComboBox1);
  auto* completer = new QCompleter(placeSuggestions_, ComboBox1);
  completer->setObjectName(QStringLiteral("ComboBox1Completer"));
  completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
  completer->setWidget(ComboBox1->lineEdit());
  // A click on a tool button both closes the suggestions and runs the button.
  new PopupClickThrough(completer->popup());
  connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, completer,
          [this, completer](const QString& typed) { SuggestPlaces(completer, typed); });
  connect(completer, qOverload<const QString&>(&QCompleter::activated), this,
          [this](const QString& picked) {
            ComboBox1->setEditText(picked);
            Guarded([this] { ComboBox1Click(); });
          });
  ComboBox1->installEventFilter(this);

  DateTimePicker1 = new TDateTimePicker(Panel1);
  DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
  DateTimePicker1->setGeometry(215, 175, 85, 21);
  DateTimePicker1->setDisplayFormat(QString::fromStdString(ShortDateFormat()));

  RadioButton1 = new QRadioButton(QStringLiteral("F"), Panel1);
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton1->setGeometry(287, 130, 33, 17);
  RadioButton1->setChecked(true);
  whiteBackground(RadioButton1, QPalette::Window, Qt::white);
  RadioButton2 = new QRadioButton(QStringLiteral("M"), Panel1);
  RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
  RadioButton2->setGeometry(287, 146, 37, 17);
  whiteBackground(RadioButton2, QPalette::Window, Qt::white);

  DBText1 = new TDBText(Panel1);
  placeValue(DBText1, QStringLiteral("DBText1"), QStringLiteral("Provincia"),
             QRect(59, 177, 41, 17), 13);
  DBText1->SetDataSource(DataSource1);
  DBText1->SetDataField(QString::fromLatin1(place_column::kProvince));

  // Enter in any field of the card, once the field has done with it (an
  // open list of suggestions or the calendar takes it for itself), computes.
  Panel1->installEventFilter(this);
}

bool TfrmCodFis::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == Label6 && type == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) && !Label6->hasSelectedText()) {
    QGuiApplication::clipboard()->setText(Label6->text());
    return true;
  }
  if (watched == Panel1 && type == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      actCalcola->trigger();
      return true;
    }
  }
  if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
    const bool in = type == QEvent::FocusIn;
    if (watched == Cognome) Guarded([&] { in ? CognomeEnter() : CognomeExit(); });
    if (watched == Nome) Guarded([&] { in ? NomeEnter() : NomeExit(); });
    // The drop-down losing the focus to another control, not to its own list.
    if (!in && watched == ComboBox1 &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
      Guarded([this] { ComboBox1Click(); });
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TfrmCodFis::ComboBox1Click() { ShowMunicipality(LookUpMunicipality(PickerDate())); }

void TfrmCodFis::ShowMunicipality(const PlaceLookup& lookup) {
  ShowPlace(LbCsv1, lookup);
  // The cursor stays where a walk stops; the label tells the answer's
  // province, never that of a record the text did not name.
  const QString province = FromBytes(AnsweredProvince(lookup));
  DBText1->ShowInstead(province);
  // Two provinces need more room than two letters: the card is blank up to
  // the date's caption.
  constexpr int kDesignedWidth = 41;
  constexpr int kRoomBeforeTheDate = 72;
  const int needed = DBText1->fontMetrics().horizontalAdvance(province) + 2;
  DBText1->resize(std::clamp(needed, kDesignedWidth, kRoomBeforeTheDate), DBText1->height());
}

CalendarDate TfrmCodFis::PickerDate() const {
  // What the field shows, once taken; the date before when it shows none.
  DateTimePicker1->TakeTyped();
  const QDate date = DateTimePicker1->date();
  return {date.year(), date.month(), date.day()};
}

PlaceLookup TfrmCodFis::LookUpMunicipality(const CalendarDate& born) {
  return places_.Find(ToUtf8(ComboBox1->currentText()), born);
}

void TfrmCodFis::CognomeEnter() { SetBackground(Cognome, InputColour()); }
void TfrmCodFis::CognomeExit() { SetBackground(Cognome, Qt::white); }
void TfrmCodFis::NomeEnter() { SetBackground(Nome, InputColour()); }
void TfrmCodFis::NomeExit() { SetBackground(Nome, Qt::white); }

void TfrmCodFis::actAzzeraExecute() {
  Cognome->clear();
  Nome->clear();
  ComboBox1->setEditText(QString::fromLatin1(kDefaultMunicipality));
  // Not clear(): only a new text tells a screen reader the result changed.
  Label6->setText(QString());
  ComboBox1Click();
  DateTimePicker1->setDate(QDate::currentDate());
}

void TfrmCodFis::actCalcolaExecute() {
  // The code is computed with the date the field shows, or not at all.
  if (!DateTimePicker1->TakeTyped()) {
    Label6->setText(QString());
    MessageBoxes::Warning(this, FromUtf8(UnreadableDateMessage(ToUtf8(DateTimePicker1->text()))));
    return;
  }
  // The code must belong to the municipality shown, which is also archived,
  // as it was on the birth date.
  const CalendarDate born = PickerDate();
  if (born > Today()) {
    Label6->setText(QString());
    MessageBoxes::Warning(
        this, QStringLiteral("Data di nascita nel futuro: ") + FromBytes(DateToText(born)));
    return;
  }
  const PlaceLookup place = LookUpMunicipality(born);
  ShowMunicipality(place);
  if (!place.Found()) {
    Label6->setText(QString());
    const std::string typed = ToUtf8(ComboBox1->currentText());
    const QString refusal = QString::fromUtf8(*PlaceLookupMessage(place, typed));
    // Just before the name's first period or after its last, the code the
    // Agenzia may well have issued is offered, No the default.
    if (const auto near = NearbyRecord(places_, typed, born, place)) {
      const QString question = FromBytes(NearbyRecordQuestion(*near));
      if (MessageBoxes::WarningQuestion(this, refusal + QLatin1Char('\n') + question, false)) {
        Label6->setText(FromBytes(CalculateAndArchive(*near, true)));
      }
      return;
    }
    MessageBoxes::Warning(this, refusal);
    return;
  }
  Label6->setText(FromBytes(CalculateAndArchive(place.place)));
}

std::string TfrmCodFis::CalculateAndArchive(const PlaceRecord& place, bool nearby) {
  // Stored as typed; computed from the letters folded to A to Z.
  ArchiveRecord person{ToStoredBytes(Cognome->text()),
                       ToStoredBytes(Nome->text()),
                       std::string(1, RadioButton1->isChecked() ? 'F' : 'M'),
                       ToBytes(ComboBox1->currentText()),
                       DateToText(PickerDate()),
                       {}};
  person.codiceFiscale = ComputeFiscalCode(FoldNameLetters(ToUtf8(Cognome->text())),
                                           FoldNameLetters(ToUtf8(Nome->text())), PickerDate(),
                                           person.sex, place.code);

  QGuiApplication::clipboard()->setText(FromBytes(person.codiceFiscale));
  if (person.codiceFiscale == kErrorCode) {
    // The date is a real day: the letters are what is missing.
    MessageBoxes::Warning(this, FromUtf8(std::string(kNoLetterMessage)));
    return person.codiceFiscale;
  }

  if (!CodeInArchive(person.codiceFiscale)) archive_->Add(person);
  QString told = QStringLiteral(
      "Il Codice è stato copiato negli appunti\n"
      "Incollalo dove ti serve con: CTRL+V");
  if (nearby) told += QStringLiteral("\nCodice luogo non in uso alla data di nascita.");
  MessageBoxes::Information(this, told);
  return person.codiceFiscale;
}

bool TfrmCodFis::CodeInArchive(const std::string& code) { return archive_->FindCode(code); }

void TfrmCodFis::SuggestPlaces(QCompleter* completer, const QString& typed) {
  // A list of a few screens at most: the first names in order.
  constexpr std::size_t kMostSuggestions = 200;
  std::vector<std::string> offered;
  try {
    offered = places_.Suggest(ToUtf8(typed), kMostSuggestions);
  } catch (const std::runtime_error&) {
    // A table that failed to open says so at the lookup; typing stays quiet.
  }
  placeSuggestions_->SetValues(std::move(offered));
  if (placeSuggestions_->rowCount() == 0) {
    completer->popup()->hide();
  } else {
    // As wide as the longest name offered, so REGGIO DI CALABRIA is read
    // whole, never narrower than the box.
    QAbstractItemView* popup = completer->popup();
    const QWidget* box = completer->widget();
    int widest = 0;
    for (int row = 0; row < placeSuggestions_->rowCount(); ++row) {
      widest = std::max(widest, popup->fontMetrics().horizontalAdvance(
                                    placeSuggestions_->index(row).data().toString()));
    }
    const int frame =
        2 * popup->frameWidth() +
        4 * popup->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, popup) +
        popup->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, popup);
    completer->complete(QRect(0, 0, std::max(box->width(), widest + frame), box->height()));
  }
}
