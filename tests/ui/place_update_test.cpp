// "Aggiorna elenco comuni..." in the window, the registry's file given in
// place of the dialog: the report, and the new place typed and computed at once.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>

#include "tests/support/registry_copies.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/message_box.h"

TEST_F(ShippedPlacesTest, AnUpdatedTableIsUsedAtOnceTheTypedTextAndRecordKept) {
  Write("archivio.dat", kHeader + "ROSSI,MARIO,M,ROMA,15/03/1975,RSSMRA75C15H501X\r\n" +
                            "VERDI,ANNA,F,ROMA,15/03/1975,VRDNNA75C55H501X\r\n");
  Write("ANPR_archivio_comuni.csv", QByteArray::fromStdString(RegistryWithMerger(VIVEZE_DATA_DIR)));
  TfrmCodFis& w = Start();
  w.LbCsv2.SetRecordNumber(1);
  TypePerson("ROSSI", "MARIO", false, {2025, 3, 15}, "Albese Albavilla");
  w.PickRegistryFile = [this](QWidget*) { return Path("ANPR_archivio_comuni.csv"); };
  MessageBoxScript answerer;
  w.actAggiornaComuni->trigger();
  ASSERT_EQ(answerer.seen().size(), 1u);
  EXPECT_EQ(answerer.seen()[0].icon, MessageBoxScript::Icon::Information);
  EXPECT_EQ(answerer.seen()[0].text,
            QStringLiteral("Elenco comuni aggiornato: 1 nuovi, 2 cessati, 0 rinominati"));
  EXPECT_EQ(w.ComboBox1->currentText(), QStringLiteral("Albese Albavilla"));
  EXPECT_NE(w.ComboBox1->findText(QStringLiteral("ALBESE ALBAVILLA")), -1);
  EXPECT_EQ(w.LbCsv2.RecordNumber(), 1);
  w.actCalcola->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text().left(15), QStringLiteral("RSSMRA25C15M999"));
}
