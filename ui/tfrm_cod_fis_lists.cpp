// The main window's lists: a whole file computed or checked, or the archive
// exported, as the command line does it, on a thread of its own, with a
// dialog counting the rows.
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>
#include <QUrl>

#include <memory>

#include "lists/archive_export.h"
#include "lists/batch.h"
#include "lists/code_list.h"
#include "lists/desk_locale.h"
#include "storage/table/table_file.h"
#include "ui/list_job.h"
#include "ui/tfrm_cod_fis.h"

namespace {

const QString kListFilter = QStringLiteral("Elenchi (*.csv *.txt);;Tutti i file (*)");

// Beside the list, the mark before the extension: "elenco.csv" gives
// "elenco-codici.csv".
QString ProposedOutput(const QString& input, const QString& mark) {
  const QFileInfo list(input);
  const QString extension = list.suffix().isEmpty() ? QString() : QLatin1Char('.') + list.suffix();
  return list.dir().filePath(list.completeBaseName() + mark + extension);
}

std::string PathText(const QString& path) {
  return QDir::toNativeSeparators(path).toUtf8().toStdString();
}

}  // namespace

void TfrmCodFis::actCalcolaElencoExecute() { StartList(false); }

void TfrmCodFis::actControllaElencoExecute() { StartList(true); }

void TfrmCodFis::StartList(bool check) {
  if (listJob_) return;
  const QString caption =
      check ? QStringLiteral("Controlla elenco") : QStringLiteral("Calcola elenco");
  const QString input = PickListFile
                            ? PickListFile(this, caption)
                            : QFileDialog::getOpenFileName(this, caption, QString(), kListFilter);
  if (input.isEmpty()) return;
  const QString proposed =
      ProposedOutput(input, check ? QStringLiteral("-controllo") : QStringLiteral("-codici"));
  const QString output = PickListOutput
                             ? PickListOutput(this, caption, proposed)
                             : QFileDialog::getSaveFileName(this, caption, proposed, kListFilter);
  if (output.isEmpty()) return;

  // The list reads a place table of its own: the window's is not for
  // another thread, and the archive is not touched.
  StartListJob(
      caption,
      [table = paths_.municipalities, in = PathText(input), out = PathText(output), check,
       hook = WatchList](const ListWatch& given) {
        ListWatch watch = given;
        if (hook) hook(watch);
        PlaceRegister places(table);
        return check ? CheckList(in, out, places, watch) : ComputeList(in, out, places, watch);
      },
      output);
}

void TfrmCodFis::actEsportaArchivioExecute() {
  if (listJob_ || !LbCsv2.Active()) return;
  const QString caption = QStringLiteral("Esporta archivio");
  const QString proposed = QDir::home().filePath(QStringLiteral("archivio.csv"));
  const QString output = PickExportFile
                             ? PickExportFile(this, proposed)
                             : QFileDialog::getSaveFileName(this, caption, proposed, kListFilter);
  if (output.isEmpty()) return;
  // The thread writes a copy of the lines: the archive goes on taking in
  // other desks' records meanwhile.
  auto lines = std::make_shared<TableFile>(TableFile::FromText(LbCsv2.Lines().Text()));
  StartListJob(
      caption,
      [lines, out = PathText(output), hook = WatchList](const ListWatch& given) {
        ListWatch watch = given;
        if (hook) hook(watch);
        return ExportArchive(*lines, out, DeskListSeparator(), watch);
      },
      output);
}

void TfrmCodFis::StartListJob(const QString& caption,
                              std::function<ListOutcome(const ListWatch&)> work,
                              const QString& output) {
  listJob_ = std::make_unique<ListJob>(std::move(work));
  listOutput_ = output;
  connect(listJob_.get(), &ListJob::Finished, this,
          [this] { Guarded([this] { ListFinished(); }); });
  actCalcolaElenco->setEnabled(false);
  actControllaElenco->setEnabled(false);
  actEsportaArchivio->setEnabled(false);

  // Not modal: the window keeps working while the list runs.
  listProgress_ = new QProgressDialog(QStringLiteral("Righe elaborate: 0"),
                                      QStringLiteral("Cancel"), 0, 0, this);
  listProgress_->setObjectName(QStringLiteral("ListProgress"));
  listProgress_->setWindowTitle(caption);
  // Wide enough for its caption and a count of millions.
  listProgress_->setMinimumWidth(listProgress_->fontMetrics().horizontalAdvance(caption) * 3);
  listProgress_->setWindowModality(Qt::NonModal);
  listProgress_->setAutoClose(false);
  listProgress_->setAutoReset(false);
  // A short list ends before the dialog would flash by.
  listProgress_->setMinimumDuration(300);
  listProgress_->setValue(0);
  connect(listProgress_, &QProgressDialog::canceled, listJob_.get(), &ListJob::Cancel);
  listClock_ = new QTimer(this);
  connect(listClock_, &QTimer::timeout, this, &TfrmCodFis::ListProgress);
  listClock_->start(50);
}

void TfrmCodFis::ListProgress() {
  if (listJob_ && listProgress_) {
    listProgress_->setLabelText(QStringLiteral("Righe elaborate: %1").arg(listJob_->Rows()));
  }
}

void TfrmCodFis::ListFinished() {
  const ListOutcome outcome = listJob_->Outcome();
  DropList();
  if (outcome.cancelled) return;
  if (outcome.status == 2) {
    MessageBoxes::Warning(this, QString::fromUtf8(outcome.message));
    return;
  }
  if (MessageBoxes::InformationOffering(this, QString::fromUtf8(outcome.summary),
                                        QStringLiteral("Apri cartella"))) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(listOutput_).absolutePath()));
  }
}

bool TfrmCodFis::StopListBeforeClosing() {
  if (!listJob_) return true;
  if (!MessageBoxes::WarningQuestion(
          this, QStringLiteral("Interrompere l'elaborazione dell'elenco?"), false)) {
    return false;
  }
  // It may have ended while the question was up.
  if (listJob_) {
    // Stopped between two rows; the output is not written.
    listJob_->Cancel();
    listJob_->Wait();
    DropList();
  }
  return true;
}

void TfrmCodFis::DropList() {
  listJob_.reset();
  delete listClock_;
  listClock_ = nullptr;
  delete listProgress_;
  listProgress_ = nullptr;
  actCalcolaElenco->setEnabled(true);
  actControllaElenco->setEnabled(true);
  actEsportaArchivio->setEnabled(true);
}
