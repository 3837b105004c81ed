// The window on an archive kept by a database server (VIVEZE_ARCHIVIO).
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>

#include "tests/support/archive_kinds.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/message_box.h"

namespace {

class DatabaseWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    // Records waiting for the server go to the test's folder.
    SetEnvironment("XDG_DATA_HOME", Path(QStringLiteral("utente")).toStdString());
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    SetEnvironment("VIVEZE_ARCHIVIO", "");
  }
};

TEST_F(DatabaseWindowTest, ServerOutOfReachIsAWarningAndCodesAreStillComputed) {
  SetEnvironment("VIVEZE_ARCHIVIO", "host=/nonexistent-viveze user=u password=s3cr3t");
  MessageBoxScript answerer;
  TfrmCodFis& w = Start();
  ASSERT_EQ(answerer.seen().size(), 1u);
  EXPECT_EQ(answerer.seen()[0].icon, MessageBoxScript::Icon::Warning);
  EXPECT_TRUE(answerer.seen()[0].text.startsWith(QStringLiteral("Archivio non raggiungibile: ")));
  EXPECT_FALSE(answerer.seen()[0].text.contains(QStringLiteral("s3cr3t")));
  EXPECT_EQ(Read("archivio.dat"), "<missing>");  // no file made beside it

  TypePerson("ROSSI", "MARIO", false, QDate(1980, 1, 1), "ROMA");
  w.actCalcola->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("RSSMRA80A01H501U"));
  // Told, once, that it waits, then told of the code.
  ASSERT_EQ(answerer.seen().size(), 3u);
  EXPECT_EQ(answerer.seen()[1].icon, MessageBoxScript::Icon::Warning);
  EXPECT_TRUE(answerer.seen()[1].text.endsWith(
      QStringLiteral(". Il record è conservato e sarà inviato appena possibile.")));
  EXPECT_EQ(answerer.seen()[2].icon, MessageBoxScript::Icon::Information);
  EXPECT_EQ(w.LbCsv2.RecordCount(), 1);
}

TEST_F(DatabaseWindowTest, CalcolaStoresThePersonOnceBeforeTellingAndAsTyped) {
  if (!DbKind::Unready().empty()) GTEST_SKIP() << DbKind::Unready();
  DbKind database;
  database.Make({});
  SetEnvironment("VIVEZE_ARCHIVIO", DbKind::Target());
  const auto stored = [] {
    TLbCsv table;
    return DbKind().Desk(table)->Records();
  };
  TfrmCodFis& w = Start();
  TypePerson("O'BRIEN'); DROP TABLE ARCHIVIO;--", "MARIO", false, QDate(1980, 1, 1), "ROMA");
  const std::string surname = w.Cognome->text().toStdString();
  const ::ArchiveRecord person{surname, "MARIO", "M", "ROMA", "01/01/1980", "BRNMRA80A01H501T"};
  std::vector<::ArchiveRecord> whenTold;
  MessageBoxScript answerer;
  answerer.Then([&](QWidget*) { whenTold = stored(); });
  w.actCalcola->trigger();
  EXPECT_EQ(surname, "O'BRIEN'); DROP TABLE ARCHIVIO;--");
  EXPECT_EQ(whenTold, std::vector<::ArchiveRecord>{person});
  w.actCalcola->trigger();
  EXPECT_EQ(answerer.seen().size(), 2u);
  EXPECT_EQ(stored(), std::vector<::ArchiveRecord>{person});
  EXPECT_EQ(w.LbCsv2.RecordCount(), 1);
}

}  // namespace
