// The grid sorted by a column: a view of the table, moved through as shown.
#include <gtest/gtest.h>

#include <QTest>
#include <string>
#include <vector>

#include "storage/table/table_file.h"
#include "tests/widgets/grid_fixture.h"
#include "widgets/tdata_set_action.h"
#include "widgets/trx_db_grid.h"

using grid_test::GridTest;

namespace {

// Surnames COGNOME1 .. COGNOME12 sort as text: 1, 10, 11, 12, 2, 3, ...
std::vector<int> RecordsByName(bool descending) {
  std::vector<int> records = {1, 10, 11, 12, 2, 3, 4, 5, 6, 7, 8, 9};
  if (descending) std::reverse(records.begin(), records.end());
  return records;
}

class SortTest : public GridTest {
 protected:
  void ClickTitle(int column) {
    TTitleButtonHeader* header = grid->TitleHeader();
    const QPoint title(header->sectionViewportPosition(column) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, title);
  }
  // The records the rows show, by the code column ("CODE<n>").
  std::vector<int> Shown() {
    std::vector<int> records;
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
      records.push_back(grid->model()->index(row, 5).data().toString().mid(4).toInt());
    }
    return records;
  }
  int CurrentRecordShown() {
    return grid->model()->index(grid->currentIndex().row(), 5).data().toString().mid(4).toInt();
  }
};

TEST_F(SortTest, ATitleClickSortsTheViewAndAgainReversesIt) {
  Show(12);
  Table().SetRecordNumber(3);
  const std::string lines = Table().Lines().Text();
  ClickTitle(0);
  EXPECT_EQ(Shown(), RecordsByName(false));
  EXPECT_EQ(grid->TitleHeader()->SortMarkSection(), 0);
  EXPECT_FALSE(grid->TitleHeader()->SortMarkDescending());
  // The same person stays current, highlighted where the order puts it.
  EXPECT_EQ(Table().RecordNumber(), 3);
  EXPECT_EQ(CurrentRecordShown(), 3);
  ClickTitle(0);
  EXPECT_EQ(Shown(), RecordsByName(true));
  EXPECT_TRUE(grid->TitleHeader()->SortMarkDescending());
  EXPECT_EQ(CurrentRecordShown(), 3);
  // A view: the table keeps its order.
  EXPECT_EQ(Table().Lines().Text(), lines);
  grid->ShowTableOrder();
  EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(grid->TitleHeader()->SortMarkSection(), -1);
}

// Keys, the record actions and their enabling go through the rows as shown.
TEST_F(SortTest, MovesAndRecordActionsFollowTheOrderShown) {
  Show(12);
  TDataSetNext next;
  TDataSetPrior prior;
  TDataSetLast last;
  TDataSetFirst first;
  for (TDataSetAction* action :
       std::initializer_list<TDataSetAction*>{&next, &prior, &last, &first}) {
    action->SetDataSource(archive->source.get());
  }
  ClickTitle(0);
  Table().SetRecordNumber(12);
  next.trigger();
  EXPECT_EQ(Table().RecordNumber(), 2);
  QTest::keyClick(grid, Qt::Key_Down);
  EXPECT_EQ(Table().RecordNumber(), 3);
  QTest::keyClick(grid, Qt::Key_Up);
  prior.trigger();
  EXPECT_EQ(Table().RecordNumber(), 12);
  last.trigger();
  EXPECT_EQ(Table().RecordNumber(), 9);
  next.Update();
  EXPECT_FALSE(next.isEnabled());
  QTest::keyClick(grid, Qt::Key_Home);
  EXPECT_EQ(Table().RecordNumber(), 1);
  first.Update();
  EXPECT_FALSE(first.isEnabled());
  next.Update();
  EXPECT_TRUE(next.isEnabled());
  // Moved by someone else (a find), the view's flags are the table's again.
  Table().SetRecordNumber(9);
  first.Update();
  EXPECT_TRUE(first.isEnabled());
}

// A record added or deleted takes or leaves its place in the order.
TEST_F(SortTest, TheOrderFollowsAddsAndDeletes) {
  Show(12);
  ClickTitle(0);
  Table().Insert();
  Table().FieldNamed("Cognome").SetText("COGNOME0");
  Table().FieldNamed("CodiceFiscale").SetText("CODE13");
  Table().Post();
  std::vector<int> expected = RecordsByName(false);
  expected.insert(expected.begin(), 13);
  EXPECT_EQ(Shown(), expected);
  EXPECT_EQ(CurrentRecordShown(), 13);
  Table().SetRecordNumber(10);
  Table().Delete();
  EXPECT_EQ(Shown(), (std::vector<int>{13, 1, 11, 12, 2, 3, 4, 5, 6, 7, 8, 9}));
}

}  // namespace
