// The update of the place table from the menu: the registry's file picked,
// storage's answer shown, the new table read at once.
#include <QComboBox>
#include <QDir>
#include <QFileDialog>

#include "storage/place_table/place_table_update.h"
#include "ui/tfrm_cod_fis.h"
#include "widgets/byte_list_model.h"
#include "widgets/byte_text.h"

namespace {

QString AskForRegistryFile(QWidget* parent) {
  return QFileDialog::getOpenFileName(
      parent, QStringLiteral("Aggiorna elenco comuni"), QString(),
      QStringLiteral("Archivio dei comuni (*.csv);;Tutti i file (*)"));
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
