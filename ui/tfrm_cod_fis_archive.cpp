// The archive tab: its grid, a record reloaded into the inputs by a click,
// the record actions and the delete after the user's confirmation, the
// find window, and a record's code or row copied.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <array>

#include "engine/short_date.h"
#include "lists/desk_locale.h"
#include "storage/archive/archive.h"
#include "storage/archive/archive_keys.h"
#include "storage/places/place_lookup.h"
#include "storage/table/record_format.h"
#include "ui/pixel_font.h"
#include "ui/tfrm_cerca.h"
#include "ui/tfrm_cod_fis.h"
#include "ui/tfrm_dialog.h"
#include "widgets/byte_text.h"
#include "widgets/tdate_time_picker.h"
#include "widgets/trx_db_grid.h"

namespace {

// The archive's names as the find and the sort fold them: the desk's 8-bit
// text read as UTF-8, where it is not already.
ArchiveTextToUtf8 StoredAsUtf8() {
#ifdef _WIN32
  return [](std::string_view stored) { return DeskTextAsUtf8(stored); };
#else
  return {};
#endif
}

}  // namespace

void TfrmCodFis::CreateArchiveTab() {
  RxDBGrid1 = new TRxDBGrid(TabSheet2);
  RxDBGrid1->setObjectName(QStringLiteral("RxDBGrid1"));
  RxDBGrid1->setGeometry(0, 0, 337, 223);
  RxDBGrid1->setFont(PixelFont(QStringLiteral("Microsoft Sans Serif"), 11));
  RxDBGrid1->SetTitleFont(PixelFont(QStringLiteral("Microsoft Sans Serif"), 12, true));
  RxDBGrid1->SetDataSource(DataSource2);
  // The archive's six columns, in its order.
  constexpr std::array<int, kArchiveColumns.size()> widths = {66, 99, 13, 72, 61, 122};
  for (std::size_t c = 0; c < kArchiveColumns.size(); ++c) {
    RxDBGrid1->AddColumn(QString::fromLatin1(kArchiveColumns[c]), widths[c]);
  }
  RxDBGrid1->SetPrompter(&prompter_);
  // A sort compares names as the find does, and dates as dates.
  RxDBGrid1->SetSortKeys([](const TLbCsv& table, const std::string& field) {
    return ArchiveColumnKey(table, field, StoredAsUtf8());
  });
  RxDBGrid1->addAction(actCopiaCodice);
  RxDBGrid1->addAction(actCopiaRiga);
  auto* separator = new QAction(RxDBGrid1);
  separator->setSeparator(true);
  RxDBGrid1->addAction(separator);
  RxDBGrid1->addAction(actOrdineArchivio);
  RxDBGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TfrmCodFis::actCercaArchivioExecute() {
  PageControl1->setCurrentWidget(TabSheet2);
  const bool first = frmCerca == nullptr;
  if (first) frmCerca = new TfrmCerca(LbCsv2, *RxDBGrid1, &prompter_, StoredAsUtf8(), this);
  frmCerca->show();
  frmCerca->Prepare();
  if (first && screen() != nullptr) {
    // Beside the window, where the grid stays in sight; over it only when
    // the screen has no room on either side.
    const QRect room = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    const QSize size = frmCerca->frameGeometry().size();
    QPoint at(frame.right() + 8, frame.top());
    if (at.x() + size.width() > room.right()) at.setX(frame.left() - 8 - size.width());
    if (at.x() >= room.left()) frmCerca->move(at);
  }
  frmCerca->raise();
  frmCerca->activateWindow();
  frmCerca->edtCerca->setFocus();
  frmCerca->edtCerca->selectAll();
}

void TfrmCodFis::actCopiaCodiceExecute() {
  if (LbCsv2.Active() && LbCsv2.RecordCount() > 0) {
    QGuiApplication::clipboard()->setText(
        FromBytes(archive_->CurrentValue(archive_column::kCodiceFiscale)));
  }
}

void TfrmCodFis::actCopiaRigaExecute() {
  if (LbCsv2.Active() && LbCsv2.RecordCount() > 0) {
    QGuiApplication::clipboard()->setText(
        FromBytes(WriteRecord(LbCsv2.RecordValues(LbCsv2.RecordNumber()))));
  }
}

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
  ShowMunicipality(
      SettledByFiscalCode(LookUpMunicipality(lookUpDate), archive_->CurrentValue(kCodiceFiscale)));
  const CalendarDate date = TextToDate(born);
  DateTimePicker1->setDate(QDate(date.year, date.month, date.day));
  Label6->setText(FromBytes(archive_->CurrentValue(kCodiceFiscale)));
}

void TfrmCodFis::RxDBGrid1DblClick() {
  PageControl1->setCurrentWidget(TabSheet1);
  PageControl1Change();
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
