#include "ui/tfrm_cerca.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "storage/archive/archive.h"
#include "storage/table/tlb_csv.h"
#include "widgets/byte_text.h"
#include "widgets/tdata_source.h"
#include "widgets/tprompter.h"
#include "widgets/trx_db_grid.h"

TfrmCerca::TfrmCerca(TLbCsv& table, TRxDBGrid& grid, TPrompter* prompter, ArchiveTextToUtf8 toUtf8,
                     QWidget* parent)
    : QDialog(parent, Qt::Tool),
      table_(table),
      grid_(grid),
      prompter_(prompter),
      find_(table, std::move(toUtf8)) {
  setObjectName(QStringLiteral("frmCerca"));
  setWindowTitle(QStringLiteral("Cerca nell'archivio"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* hint = new QLabel(
      QStringLiteral("Cognome, nome, codice fiscale (anche solo l'inizio) o data di nascita:"),
      this);
  hint->setWordWrap(true);
  layout->addWidget(hint);
  edtCerca = new QLineEdit(this);
  edtCerca->setObjectName(QStringLiteral("edtCerca"));
  edtCerca->setClearButtonEnabled(true);
  hint->setBuddy(edtCerca);
  layout->addWidget(edtCerca);

  auto* steps = new QHBoxLayout();
  labConteggio = new QLabel(this);
  labConteggio->setObjectName(QStringLiteral("labConteggio"));
  steps->addWidget(labConteggio, 1);
  btnPrecedente = new QPushButton(QStringLiteral("&Precedente"), this);
  btnPrecedente->setObjectName(QStringLiteral("btnPrecedente"));
  btnPrecedente->setAutoDefault(false);
  btnSuccessivo = new QPushButton(QStringLiteral("&Successivo"), this);
  btnSuccessivo->setObjectName(QStringLiteral("btnSuccessivo"));
  btnSuccessivo->setAutoDefault(false);
  steps->addWidget(btnPrecedente);
  steps->addWidget(btnSuccessivo);
  layout->addLayout(steps);

  auto* record = new QFormLayout();
  const char* const captions[] = {
      "Cognome:", "Nome:", "Sesso:", "Data di nascita:", "Luogo:", "Codice:"};
  for (std::size_t i = 0; i < labRecord.size(); ++i) {
    labRecord[i] = new QLabel(this);
    labRecord[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    record->addRow(QString::fromUtf8(captions[i]), labRecord[i]);
  }
  layout->addLayout(record);

  connect(edtCerca, &QLineEdit::textChanged, this, &TfrmCerca::Cerca);
  connect(edtCerca, &QLineEdit::returnPressed, this, &TfrmCerca::Successivo);
  connect(btnSuccessivo, &QPushButton::clicked, this, &TfrmCerca::Successivo);
  connect(btnPrecedente, &QPushButton::clicked, this, &TfrmCerca::Precedente);
  if (TDataSource* source = grid.DataSource()) {
    connect(source, qOverload<TDataEvent>(&TDataSource::DataEvent), this, &TfrmCerca::TableEvent);
  }
  ShowFound();
}

void TfrmCerca::Prepare() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  find_.Prepare();
  QApplication::restoreOverrideCursor();
}

void TfrmCerca::Cerca() {
  found_ = find_.Search(ToUtf8(edtCerca->text()));
  TRecordView& view = grid_.RecordView();
  const int row = view.NextRow(found_, 0, true);
  if (row >= 0) {
    searching_ = true;
    TPrompter::Guard(prompter_, this, [&] { view.MoveToRow(row); });
    searching_ = false;
  }
  ShowFound();
}

void TfrmCerca::Step(bool forward) {
  if (found_.Empty()) return;
  TRecordView& view = grid_.RecordView();
  const int current = view.CurrentRow();
  int row = view.NextRow(found_, current + (forward ? 1 : -1), forward);
  // Past the last one, round again from the other end.
  if (row < 0) row = view.NextRow(found_, forward ? 0 : table_.RecordCount() - 1, forward);
  if (row >= 0 && row != current) {
    TPrompter::Guard(prompter_, this, [&] { view.MoveToRow(row); });
  }
  ShowFound();
}

void TfrmCerca::keyPressEvent(QKeyEvent* event) {
  // F3 and Shift+F3, from the field or a button alike.
  if (event->key() == Qt::Key_F3) {
    Step(!event->modifiers().testFlag(Qt::ShiftModifier));
    return;
  }
  QDialog::keyPressEvent(event);
}

void TfrmCerca::Successivo() { Step(true); }
void TfrmCerca::Precedente() { Step(false); }

void TfrmCerca::TableEvent(TDataEvent event) {
  if (searching_) return;
  if (event == TDataEvent::DataSetChanged || event == TDataEvent::ActiveChanged) {
    // Records came or went (a delete, another desk's): found again, without
    // moving the record the user is on.
    found_ = find_.Search(ToUtf8(edtCerca->text()));
  }
  if (event != TDataEvent::FieldChanged) ShowFound();
}

void TfrmCerca::ShowFound() {
  TRecordView& view = grid_.RecordView();
  const bool onFound = table_.Active() && table_.State() == TDataSetState::Browse &&
                       found_.Contains(table_.RecordNumber());
  btnPrecedente->setEnabled(!found_.Empty());
  btnSuccessivo->setEnabled(!found_.Empty());
  if (edtCerca->text().trimmed().isEmpty()) {
    labConteggio->clear();
  } else if (found_.Empty()) {
    labConteggio->setText(QStringLiteral("Nessun record trovato"));
  } else if (onFound) {
    labConteggio->setText(QStringLiteral("%1 di %2")
                              .arg(view.CountBefore(found_, view.CurrentRow()) + 1)
                              .arg(found_.Count()));
  } else {
    labConteggio->setText(QStringLiteral("Trovati: %1").arg(found_.Count()));
  }
  using namespace archive_column;
  const char* const columns[] = {kCognome, kNome, kSex, kData, kComune, kCodiceFiscale};
  for (std::size_t i = 0; i < labRecord.size(); ++i) {
    labRecord[i]->setText(onFound ? FromBytes(table_.FieldNamed(columns[i]).Text()) : QString());
  }
}
