// The main window's handlers: start-up, the municipality lookup, Calcola, the
// archive tab and the exit. They read the controls, ask storage, and show
// what comes back; the rules live in storage.
#include "ui/tfrm_cod_fis.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include "engine/fiscal_code.h"
#include "engine/letter_folding.h"
#include "engine/short_date.h"
#include "engine/today.h"
#include "storage/archive/db_archive.h"
#include "storage/archive/file_archive.h"
#include "storage/places/place_chain.h"
#include "storage/places/place_lookup.h"
#include "storage/setup/archive_choice.h"
#include "storage/setup/data_files.h"
#include "ui/light_palette.h"
#include "ui/list_job.h"
#include "ui/tfrm_dialog.h"
#include "widgets/byte_list_model.h"
#include "widgets/byte_text.h"
#include "widgets/tdata_source.h"
#include "widgets/tdataset_action.h"
#include "widgets/tdate_time_picker.h"
#include "widgets/tdb_text.h"
#include "widgets/trxdbgrid.h"

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

TfrmCodFis::TfrmCodFis(const QString& dataFolder, QWidget* parent, DataFileReadAhead* readAhead)
    : QMainWindow(parent), dataFolder_(dataFolder), readAhead_(readAhead) {
  CreateComponents();
  archive_ = MakeArchive(LbCsv2);
  BindEvents();
  // A failed write-through is told once; the archive stays in memory and the
  // next change or the exit tries again.
  // A server out of reach is a warning: what was added waits for it.
  archive_->SetErrorHandler([this](const std::exception& error) {
    if (dynamic_cast<const ArchiveUnreachable*>(&error) != nullptr) {
      MessageBoxes::Warning(this, QString::fromUtf8(error.what()));
    } else {
      MessageBoxes::Error(this, error);
    }
  });
  if (auto* database = dynamic_cast<DbArchive*>(archive_.get())) {
    // Other desks' changes, asked of the connection a few times a second (it
    // never waits); not while a delete is being confirmed, whose record must
    // stay the one asked about.
    auto* live = new QTimer(this);
    live->setObjectName(QStringLiteral("ArchiveRefresh"));
    connect(live, &QTimer::timeout, this, [this, database] {
      if (confirmationsWaiting_ == 0) database->Refresh();
    });
    live->start(250);
  }
  // Another desk holding the archive: the user is asked, and the window
  // keeps painting while the lock is waited for.
  archive_->SetBusyHandler([this](const ArchiveBusy& busy) {
    return MessageBoxes::WarningQuestion(
        this, QString::fromUtf8(busy.what()) + QStringLiteral(". Riprovare?"));
  });
  if (auto* file = dynamic_cast<FileArchive*>(archive_.get())) {
    file->SetLockWait([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
  }
  archive_->SetCopyHandler([this](const std::string& copy) {
    MessageBoxes::Information(
        this, QStringLiteral("L'archivio conteneva dati illeggibili (un carattere NUL), che "
                             "andrebbero persi al salvataggio. Il file originale è stato copiato "
                             "in:\n") +
                  FromUtf8(copy));
  });
  Guarded([this] { FormCreate(); });
}

TfrmCodFis::~TfrmCodFis() {
  // Closed while its rules are still there to write it back under the lock;
  // nobody is asked anything while the window goes.
  archive_->SetBusyHandler(nullptr);
  if (auto* file = dynamic_cast<FileArchive*>(archive_.get())) file->SetLockWait(nullptr);
  try {
    archive_->Close();
  } catch (const std::exception&) {
    // Every record was written through when it changed.
  }
  // Views go before the tables they watch.
  delete RxDBGrid1;
  delete DBText1;
  delete DataSource1;
  delete DataSource2;
}

void TfrmCodFis::BindEvents() {
  const auto bind = [this](QAction* action, void (TfrmCodFis::*handler)()) {
    connect(action, &QAction::triggered, this,
            [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
  };
  bind(actCalcola, &TfrmCodFis::actCalcolaExecute);
  bind(actAzzera, &TfrmCodFis::actAzzeraExecute);
  bind(actEsci, &TfrmCodFis::actEsciExecute);
  bind(actAggiornaComuni, &TfrmCodFis::actAggiornaComuniExecute);
  bind(actCalcolaElenco, &TfrmCodFis::actCalcolaElencoExecute);
  bind(actControllaElenco, &TfrmCodFis::actControllaElencoExecute);
  bind(actFirst, &TfrmCodFis::actFirstExecute);
  bind(actPrev, &TfrmCodFis::actPrevExecute);
  bind(actNext, &TfrmCodFis::actNextExecute);
  bind(actLast, &TfrmCodFis::actLastExecute);
  bind(actDelete, &TfrmCodFis::actDeleteExecute);
  connect(ToolButton8, &QToolButton::clicked, this,
          [this] { Guarded([this] { actEsciExecute(); }); });
  connect(ComboBox1, &QComboBox::activated, this,
          [this] { Guarded([this] { ComboBox1Click(); }); });
  connect(PageControl1, &QTabWidget::currentChanged, this,
          [this] { Guarded([this] { PageControl1Change(); }); });
  connect(RxDBGrid1, &TRxDBGrid::CellClick, this,
          [this](int column) { Guarded([this, column] { RxDBGrid1CellClick(column); }); });
  connect(RxDBGrid1, &TRxDBGrid::DblClick, this,
          [this] { Guarded([this] { RxDBGrid1DblClick(); }); });
  // Ctrl+Delete in the grid deletes as the delete action does, through the
  // archive, which writes it through.
  RxDBGrid1->SetRecordDeleter([this] { archive_->DeleteCurrent(); });
  BindCheckTab();
}

bool TfrmCodFis::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
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

// --- Start-up -------------------------------------------------------------

void TfrmCodFis::FormCreate() {
  ComboBox1->clear();
  ComboBox1->setEditText(QString());

  // Storage takes paths in UTF-8 and decides where an installed program keeps them.
  paths_ = dataFolder_.isEmpty()
               ? LocateDataFiles()
               : WithNewerPlaceTable(MakeDataFilePaths(
                     QDir::toNativeSeparators(dataFolder_).toUtf8().toStdString()));
  const std::string unreachable =
      OpenArchiveAndPlaces(*archive_, paths_, LbCsv1, std::exchange(readAhead_, nullptr));
  DBText1->CheckField();

  placeNames_->SetValues(places_.Names());
  LbCsv1.Last();  // where filling the list from the table leaves it

  actAzzeraExecute();
  // Codes are still computed; what is archived waits for the server.
  if (!unreachable.empty()) MessageBoxes::Warning(this, QString::fromUtf8(unreachable));
}

// --- Calculation tab --------------------------------------------------------

void TfrmCodFis::ComboBox1Click() { ShowPlace(LbCsv1, LookUpMunicipality(PickerDate())); }

CalendarDate TfrmCodFis::PickerDate() const {
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
  ShowPlace(LbCsv1, place);
  if (!place.Found()) {
    Label6->setText(QString());
    const std::string typed = ToUtf8(ComboBox1->currentText());
    const QString refusal = QString::fromUtf8(PlaceLookupMessage(place, typed));
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
  if (person.codiceFiscale == kErrorCode) return person.codiceFiscale;

  if (!CodeInArchive(person.codiceFiscale)) archive_->Add(person);
  QString told = QStringLiteral(
      "Il Codice è stato copiato negli appunti\n"
      "Incollalo dove ti serve con: CTRL+V");
  if (nearby) told += QStringLiteral("\nCodice luogo non in uso alla data di nascita.");
  MessageBoxes::Information(this, told);
  return person.codiceFiscale;
}

bool TfrmCodFis::CodeInArchive(const std::string& code) { return archive_->FindCode(code); }

// --- Exit -----------------------------------------------------------------

bool TfrmCodFis::CloseTables() {
  LbCsv1.Close();
  try {
    archive_->Close();
  } catch (const std::exception& error) {
    MessageBoxes::Error(this, error);
    if (MessageBoxes::Question(this, QStringLiteral("Confirm"),
                               QStringLiteral("Impossibile salvare l'archivio. Uscire comunque? "
                                              "Le modifiche andranno perse."))) {
      // Asked once: the window closes without trying again.
      LbCsv2.Discard();
      return true;
    }
    // Staying on: the archive is still open in memory; the municipalities
    // come back so the window keeps working.
    Guarded([this] { LbCsv1.Open(); });
    return false;
  }
  return true;
}

void TfrmCodFis::actEsciExecute() {
  if (!StopListBeforeClosing() || !CloseTables()) return;
  close();
}

void TfrmCodFis::closeEvent(QCloseEvent* event) {
  if (confirmationsWaiting_ > 0) {
    // Carried out once the pending confirmation has been answered.
    closeRequested_ = true;
    event->ignore();
    return;
  }
  if (!StopListBeforeClosing()) {
    event->ignore();
    return;
  }
  if (LbCsv2.Active() && !CloseTables()) {
    event->ignore();
    return;
  }
  event->accept();
}

void TfrmCodFis::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (placed_) return;
  placed_ = true;
  // Another screen may have another pixel density.
  if (QWindow* window = windowHandle()) {
    connect(window, &QWindow::screenChanged, this, &TfrmCodFis::RenderArtwork);
    RenderArtwork();
  }
  if (QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  PageControl1->tabBar()->setFocus(Qt::ActiveWindowFocusReason);
}

// --- Archive tab ------------------------------------------------------------

void TfrmCodFis::RxDBGrid1CellClick(int /*column*/) {
  using namespace archive_column;
  Cognome->setText(FromBytes(archive_->CurrentValue(kCognome)));
  Nome->setText(FromBytes(archive_->CurrentValue(kNome)));
  (archive_->CurrentValue(kSex) == "F" ? RadioButton1 : RadioButton2)->setChecked(true);
  ComboBox1->setEditText(FromBytes(archive_->CurrentValue(kComune)));
  // The place as it was on the archived birth date, when that date reads.
  const std::string born = archive_->CurrentValue(kData);
  CalendarDate lookUpDate = PickerDate();
  try {
    lookUpDate = TextToDate(born);
  } catch (const DateConversionError&) {
    // Reported below, once the municipality is shown.
  }
  // Of two places of that name then, the one the archived code was made for.
  ShowPlace(LbCsv1, SettledByFiscalCode(LookUpMunicipality(lookUpDate),
                                        archive_->CurrentValue(kCodiceFiscale)));
  const CalendarDate date = TextToDate(born);
  DateTimePicker1->setDate(QDate(date.year, date.month, date.day));
  Label6->setText(FromBytes(archive_->CurrentValue(kCodiceFiscale)));
}

void TfrmCodFis::RxDBGrid1DblClick() {
  PageControl1->setCurrentWidget(TabSheet1);
  PageControl1Change();
}

void TfrmCodFis::PageControl1Change() {
  QWidget* shown = PageControl1->currentWidget();
  DataSetDelete1->setEnabled(shown == TabSheet2);
  actCalcola->setEnabled(shown == TabSheet1);
  actAzzera->setEnabled(shown == TabSheet1);
}

void TfrmCodFis::ConfirmAndDelete(const QString& question) {
  auto* dialog = new TfrmDialog();
  dialog->setWindowTitle(QStringLiteral("Eliminazione record"));
  dialog->labTitolo()->setText(QStringLiteral("Attenzione!"));
  dialog->labInfo()->setText(question);
  ++confirmationsWaiting_;
  const bool confirmed = MessageBoxes::WaitForAnswer(*dialog);
  --confirmationsWaiting_;
  delete dialog;
  if (confirmationsWaiting_ == 0 && closeRequested_) {
    // The close asked for during the wait, once this handler has returned.
    closeRequested_ = false;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
  }
  if (confirmed) archive_->DeleteCurrent();
}

void TfrmCodFis::DataSetDelete1Execute() {
  using namespace archive_column;
  const QString who = FromBytes(LbCsv2.FieldNamed(kCognome).Text()) + QLatin1Char(' ') +
                      FromBytes(LbCsv2.FieldNamed(kNome).Text());
  ConfirmAndDelete(QStringLiteral("Verrà eliminato il Viveze Vevoziv di:\n\n") + who +
                   QStringLiteral("  Continuare?"));
}

void TfrmCodFis::actFirstExecute() { LbCsv2.First(); }
void TfrmCodFis::actPrevExecute() { LbCsv2.Prior(); }
void TfrmCodFis::actNextExecute() { LbCsv2.Next(); }
void TfrmCodFis::actLastExecute() { LbCsv2.Last(); }

void TfrmCodFis::actDeleteExecute() {
  ConfirmAndDelete(QStringLiteral("Il record corrente verrà eliminato.\n\nContinuare?"));
}
