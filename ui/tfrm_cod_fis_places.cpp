// The main window's places: the suggestions while a place is typed, and the
// update of the place table (the registry's file picked, storage's answer
// shown, the new table read at once).
#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QStyle>
#include <algorithm>

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
