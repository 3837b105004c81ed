// What a screen reader hears in the main window. The card's captions are
// painted into its picture, so the inputs beside them carry the captions as
// their names.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include "ui/named_combo_accessible.h"
#include "ui/tfrm_cod_fis.h"
#include "widgets/tdate_time_picker.h"
#include "widgets/tdb_text.h"
#include "widgets/tjv_hot_link.h"
#include "widgets/tjv_label.h"
#include "widgets/tjv_status_bar2.h"
#include "widgets/trx_db_grid.h"

namespace {

void Name(QWidget* widget, const QString& name, const QString& description = QString()) {
  widget->setAccessibleName(name);
  if (!description.isEmpty()) widget->setAccessibleDescription(description);
}

}  // namespace

void TfrmCodFis::NameControls() {
  setAccessibleDescription(QStringLiteral("Calcolo e archivio dei codici fiscali"));

  // Tool buttons take their names from their actions' captions, as the menu
  // entries do; the descriptions say what they act on.
  const struct {
    QToolButton* button;
    const char* description;
  } tools[] = {
      {ToolButton6, "Va al primo record dell'archivio"},
      {ToolButton7, "Va al record precedente dell'archivio"},
      {ToolButton9, "Va al record successivo dell'archivio"},
      {ToolButton10, "Va all'ultimo record dell'archivio"},
      {ToolButton13, "Elimina il record corrente dell'archivio"},
      {ToolButton1, "Calcola il codice fiscale e lo copia negli appunti"},
      {ToolButton2, "Azzera tutti i dati"},
      {ToolButton8, "Esci dal programma"},
  };
  for (const auto& tool : tools) {
    tool.button->setAccessibleDescription(QString::fromUtf8(tool.description));
  }
  Name(ToolBar4, QStringLiteral("Record"));
  Name(ToolBar1, QStringLiteral("Codice"));
  Name(ToolBar3, QStringLiteral("Programma"));

  Name(PageControl1, QStringLiteral("Schede"));
  Name(TabSheet1, QStringLiteral("Calcola codice"));
  Name(TabSheet2, QStringLiteral("Archivio codici"));
  Name(TabSheet3, QStringLiteral("Verifica codice"));

  Name(Panel1, QStringLiteral("Dati della persona"));
  Name(Image1, QStringLiteral("Tessera del codice fiscale"));
  Name(Cognome, QStringLiteral("Cognome"));
  Name(Nome, QStringLiteral("Nome"));
  Name(RadioButton1, QStringLiteral("Sesso: F"), QStringLiteral("Femmina"));
  Name(RadioButton2, QStringLiteral("Sesso: M"), QStringLiteral("Maschio"));
  // Named by its caption everywhere, its text read as its value.
  NamedComboAccessible::Caption(ComboBox1, QStringLiteral("Luogo di nascita"));
  ComboBox1->setAccessibleDescription(QStringLiteral("Comune o stato estero di nascita"));
  Name(ComboBox1->lineEdit(), QStringLiteral("Luogo di nascita"));
  // Linux also reads a caption from the label a control is the buddy of; the
  // card paints that label, so this one hides.
  auto* caption = new QLabel(QStringLiteral("Luogo di nascita"), Panel1);
  caption->setObjectName(QStringLiteral("ComboBox1Caption"));
  caption->setBuddy(ComboBox1);
  caption->hide();
  Name(DateTimePicker1, QStringLiteral("Data di nascita"));
  DBText1->setAccessibleDescription(QStringLiteral("Provincia del luogo di nascita"));
  Label6->setAccessibleDescription(
      QStringLiteral("Il codice calcolato, copiato negli appunti da Calcola"));

  Name(RxDBGrid1, QStringLiteral("Archivio codici"),
       QStringLiteral("I codici calcolati; un clic ricarica il record nei campi"));

  Name(edtCodice, QStringLiteral("Codice fiscale da verificare"),
       QStringLiteral("Spazi e minuscole ammessi; confrontato con i dati della scheda Calcola "
                      "codice, dato per dato"));

  Name(JvStatusBar21, QStringLiteral("Barra di stato"));
  JvHotLink1->setAccessibleDescription(
      QStringLiteral("Apre nel browser il sito dell'Agenzia delle Entrate"));
}
