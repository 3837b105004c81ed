// The update of the place table from the menu: the registry's file picked
// in a dialog that says what it is and where it is found, storage's answer
// shown, the new table read at once.
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QVBoxLayout>

#include "storage/place_table/place_table_update.h"
#include "ui/tfrm_cod_fis.h"
#include "widgets/byte_list_model.h"
#include "widgets/byte_text.h"

namespace {

// A file dialog that says what it asks for: which file, where the registry
// publishes it, and what the update does with it. Its own dialog, so that
// the words stand beside the files on every system.
QString AskForRegistryFile(QWidget* parent) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Aggiorna elenco comuni"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* about = new QLabel(
      QStringLiteral(
          "Scegliere il file <b>ANPR_archivio_comuni.csv</b>, l'archivio dei comuni "
          "dell'Anagrafe Nazionale della Popolazione Residente (ANPR). Il Ministero "
          "dell'Interno lo pubblica nel repository pubblico dell'ANPR (cartella "
          "<i>src/archivi</i>), raggiungibile dal sito dell'ANPR, www.anpr.interno.it. "
          "Usare il file così come è stato scaricato, senza aprirlo e salvarlo con un foglio "
          "di calcolo.<br><br>L'elenco dei comuni viene ricostruito da questo file e salvato "
          "come <i>comuni-aggiornati.dat</i> accanto all'archivio; <i>comuni.dat</i> non viene "
          "modificato. Un file che non è l'archivio dell'ANPR, o che non contiene tutti i "
          "comuni dell'elenco in uso, viene rifiutato e l'elenco in uso resta."),
      &dialog);
  about->setObjectName(QStringLiteral("RegistryFileAbout"));
  about->setWordWrap(true);
  layout->addWidget(about);
  // The system's file dialog cannot carry these words: the toolkit's own,
  // set in the window.
  auto* files = new QFileDialog(&dialog);
  files->setWindowFlags(Qt::Widget);
  files->setOption(QFileDialog::DontUseNativeDialog);
  files->setFileMode(QFileDialog::ExistingFile);
  files->setNameFilters({QStringLiteral("Archivio dei comuni ANPR (ANPR_archivio_comuni*.csv)"),
                         QStringLiteral("File CSV (*.csv)"), QStringLiteral("Tutti i file (*)")});
  layout->addWidget(files);
  QObject::connect(files, &QFileDialog::finished, &dialog, &QDialog::done);
  dialog.resize(dialog.sizeHint().expandedTo(QSize(640, 520)));
  if (dialog.exec() != QDialog::Accepted || files->selectedFiles().isEmpty()) return QString();
  return files->selectedFiles().constFirst();
}

}  // namespace

void TfrmCodFis::actAggiornaComuniExecute() {
  const QString file = PickRegistryFile ? PickRegistryFile(this) : AskForRegistryFile(this);
  if (file.isEmpty()) return;
  const PlaceUpdate update = UpdatePlaceTable(QDir::toNativeSeparators(file).toUtf8().toStdString(),
                                              paths_.municipalities, paths_.updatedMunicipalities);
  if (update.outcome == PlaceUpdateOutcome::Refused) {
    MessageBoxes::Warning(this, QString::fromUtf8(update.message));
    return;
  }
  if (update.outcome == PlaceUpdateOutcome::Updated) {
    // The list is filled again from the new table; what the user typed stays.
    const QString typed = ComboBox1->currentText();
    paths_.municipalities = paths_.updatedMunicipalities;
    LbCsv1.Close();
    LbCsv1.SetTableName(paths_.municipalities);
    LbCsv1.Open();
    placeNames_->SetValues(places_.Names());
    ComboBox1->setEditText(typed);
    ComboBox1Click();
  }
  MessageBoxes::Information(this, QString::fromUtf8(update.message));
}
