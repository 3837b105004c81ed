#include "widgets/tdb_text.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <fstream>

#include "storage/table_error.h"
#include "tests/widgets/archive_fixture.h"

namespace {

// A municipality table of three rows, read-only as the program opens it.
struct Municipalities {
  Municipalities() {
    const std::string path = dir.filePath("comuni.dat").toLocal8Bit().toStdString();
    std::ofstream out(path, std::ios::binary);
    out << "comuni,Code,Prov\r\nCESENA,C573,FC\r\nFORLI',D704,FC\r\nRIMINI,H294,<b>RN</b>\r\n";
    out.close();
    table.SetTableName(path);
    table.SetReadOnly(true);
    source = std::make_unique<TDataSource>(&table);
  }
  // The table opened, `label` showing its `field`.
  void OpenUnder(TDBText& label, const char* field) {
    table.Open();
    label.SetDataSource(source.get());
    label.SetDataField(field);
  }
  QTemporaryDir dir;
  TLbCsv table{"LbCsv1"};
  std::unique_ptr<TDataSource> source;
};

TEST(TDBTextTest, ShowsTheFieldOfTheCurrentRecordAndNothingWhileClosed) {
  Municipalities m;
  TDBText label;
  label.setObjectName("DBText1");
  label.SetDataSource(m.source.get());
  label.SetDataField("prov");  // column names match ignoring case
  EXPECT_EQ(label.text(), "");
  m.table.Open();
  EXPECT_EQ(label.text(), "FC");
  m.table.Last();
  EXPECT_EQ(label.text(), "<b>RN</b>");
  EXPECT_EQ(label.textFormat(), Qt::PlainText);
  m.table.Close();
  EXPECT_EQ(label.text(), "");
}

TEST(TDBTextTest, AnAnswerShownInsteadLastsUntilTheTableNextChanges) {
  Municipalities m;
  TDBText label;
  m.OpenUnder(label, "Prov");
  label.ShowInstead("BG / LE");
  EXPECT_EQ(label.text(), "BG / LE");
  m.table.Next();
  EXPECT_EQ(label.text(), "FC");
}

TEST(TDBTextTest, MissingFieldShowsNothingAndCheckFieldNamesTheLabel) {
  Municipalities m;
  TDBText label;
  label.setObjectName("DBText1");
  label.SetDataSource(m.source.get());
  label.SetDataField("Provincia");
  EXPECT_NO_THROW(label.CheckField());  // closed: nothing to check yet
  m.table.Open();
  EXPECT_EQ(label.text(), "");
  try {
    label.CheckField();
    FAIL() << "no error";
  } catch (const TableError& e) {
    EXPECT_STREQ(e.what(), "DBText1: Field 'Provincia' not found");
  }
  label.SetDataField("Prov");
  EXPECT_NO_THROW(label.CheckField());
  EXPECT_EQ(label.text(), "FC");
}

TEST(TDBTextTest, DestroyedDataSourceLeavesTheLabelEmpty) {
  Municipalities m;
  TDBText label;
  m.OpenUnder(label, "comuni");
  EXPECT_EQ(label.text(), "CESENA");
  m.source.reset();
  EXPECT_EQ(label.text(), "");
  EXPECT_EQ(label.DataSource(), nullptr);
  m.table.Next();  // no longer attached: nothing to tell
}

TEST(TDataSourceTest, RelaysTheEventsOfItsCurrentTableOnly) {
  archive_test::OpenArchive first(2);
  archive_test::OpenArchive second(2);
  TDataSource& source = *first.source;
  QSignalSpy events(&source, qOverload<TDataEvent>(&TDataSource::DataEvent));
  first.table.Next();
  ASSERT_EQ(events.count(), 1);
  EXPECT_EQ(events.at(0).at(0).value<TDataEvent>(), TDataEvent::RecordChanged);

  source.SetDataSet(&second.table);
  EXPECT_EQ(events.count(), 2);  // views re-read: told as an opening
  EXPECT_EQ(events.at(1).at(0).value<TDataEvent>(), TDataEvent::ActiveChanged);
  first.table.Next();
  EXPECT_EQ(events.count(), 2);
  second.table.Last();
  EXPECT_EQ(events.count(), 3);
  EXPECT_EQ(source.DataSet(), &second.table);
  source.SetDataSet(nullptr);
  second.table.First();
  EXPECT_EQ(events.count(), 4);
}

}  // namespace
