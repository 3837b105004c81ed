#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "storage/table/tlb_csv.h"
#include "tests/support/event_recorder.h"
#include "tests/support/temp_folder.h"

using Values = std::vector<std::string>;

namespace {

// A read-only table of `records` records named r1, r2, ... in column "Name".
class MovesTest : public ::testing::Test {
 protected:
  void OpenWith(int records) {
    std::string text = "Name,Num\r\n";
    for (int i = 1; i <= records; ++i) {
      text += std::string("r") + std::to_string(i) + "," + std::to_string(i) + "\r\n";
    }
    table_.SetTableName(folder_.Write("t.dat", text));
    table_.SetReadOnly(true);
    table_.Open();
  }
  std::string Current() { return table_.FieldNamed("Name").Text(); }
  // Current record, then AtBeginning and AtEnd as 1 or 0: "r3 10".
  std::string Where() {
    return Current() + " " + (table_.AtBeginning() ? "1" : "0") + (table_.AtEnd() ? "1" : "0");
  }

  TempFolder folder_;
  TLbCsv table_{"LbCsv2"};
};

}  // namespace

TEST_F(MovesTest, EmptyTableHasNoCurrentRecordAndBothFlagsWhateverMoves) {
  OpenWith(0);
  EXPECT_EQ(table_.RecordCount(), 0);
  EXPECT_TRUE(table_.Empty());
  EXPECT_EQ(table_.RecordNumber(), 1);
  EXPECT_EQ(Where(), " 11");
  EXPECT_EQ(table_.FieldNamed("Num").Value(), std::nullopt);
  const std::vector<std::function<void()>> moves = {[&] { table_.Next(); },
                                                    [&] { table_.Prior(); },
                                                    [&] { table_.Last(); },
                                                    [&] { table_.First(); },
                                                    [&] { EXPECT_EQ(table_.Skip(3), 0); },
                                                    [&] { table_.SetRecordNumber(1); }};
  for (const auto& move : moves) {
    move();
    EXPECT_EQ(Where(), " 11");
  }
}

TEST_F(MovesTest, FlagsFollowTheMoveRules) {
  OpenWith(3);
  EXPECT_EQ(Where(), "r1 10");
  table_.Next();
  EXPECT_EQ(Where(), "r2 00");
  table_.Next();
  EXPECT_EQ(Where(), "r3 00");  // arriving on the last record is not AtEnd
  table_.Next();
  EXPECT_EQ(Where(), "r3 01");
  table_.Next();
  EXPECT_EQ(Where(), "r3 01");
  table_.Prior();
  EXPECT_EQ(Where(), "r2 00");
  table_.Last();
  EXPECT_EQ(Where(), "r3 01");
  table_.Prior();
  EXPECT_EQ(Where(), "r2 00");
  table_.Prior();
  EXPECT_EQ(Where(), "r1 00");
  table_.Prior();
  EXPECT_EQ(Where(), "r1 10");
  table_.First();
  EXPECT_EQ(Where(), "r1 10");
}

TEST_F(MovesTest, OneRecordFirstAndLastSetOneFlagEach) {
  OpenWith(1);
  table_.Last();
  EXPECT_EQ(Where(), "r1 01");
  table_.First();
  EXPECT_EQ(Where(), "r1 10");
  table_.Next();
  EXPECT_EQ(Where(), "r1 01");
}

TEST_F(MovesTest, ScanVisitsEveryRecordOnce) {
  OpenWith(5);
  std::string seen;
  for (table_.First(); !table_.AtEnd(); table_.Next()) seen += table_.FieldNamed("NUM").Text();
  EXPECT_EQ(seen, "12345");
}

TEST_F(MovesTest, SkipCountsTheStepsMadeAndSetsTheFlagOfTheEndItHits) {
  struct Case {
    int from;
    int by;
    int moved;
    std::string where;
  };
  const std::vector<Case> cases = {
      {1, 2, 2, "r3 00"},   {1, 4, 4, "r5 00"}, {1, 9, 4, "r5 01"},   {5, -4, -4, "r1 00"},
      {5, -9, -4, "r1 10"}, {3, 0, 0, "r3 00"}, {3, -2, -2, "r1 00"}, {5, 1, 0, "r5 01"},
  };
  OpenWith(5);
  for (const Case& c : cases) {
    table_.SetRecordNumber(c.from);
    EXPECT_EQ(table_.Skip(c.by), c.moved) << c.from << " by " << c.by;
    EXPECT_EQ(Where(), c.where) << c.from << " by " << c.by;
  }
  table_.Last();
  EXPECT_EQ(table_.Skip(1), 0);  // AtEnd already set
  table_.First();
  EXPECT_EQ(table_.Skip(-1), 0);
}

TEST_F(MovesTest, SettingTheRecordNumberClampsAndClearsBothFlags) {
  OpenWith(4);
  const std::vector<std::pair<int, std::string>> cases = {
      {2, "r2 00"}, {0, "r1 00"}, {-7, "r1 00"}, {5, "r4 00"}, {99, "r4 00"}, {4, "r4 00"}};
  for (const auto& [number, where] : cases) {
    table_.Last();
    table_.SetRecordNumber(number);
    EXPECT_EQ(Where(), where) << number;
    EXPECT_EQ(table_.RecordNumber(), std::stoi(where.substr(1, 1)));
  }
}

TEST_F(MovesTest, ClosedTableRefusesMovesAndChanges) {
  const std::string closed = "LbCsv2: Cannot perform this operation on a closed dataset";
  const std::vector<std::function<void()>> actions = {
      [&] { table_.First(); },  [&] { table_.Prior(); }, [&] { table_.Next(); },
      [&] { table_.Last(); },   [&] { table_.Skip(1); }, [&] { table_.SetRecordNumber(1); },
      [&] { table_.Insert(); }, [&] { table_.Edit(); },  [&] { table_.Delete(); }};
  for (const auto& action : actions) EXPECT_EQ(ErrorOf(action), closed);
  EXPECT_EQ(ErrorOf([&] { table_.Post(); }), "LbCsv2: Dataset not in edit or insert mode");
  EXPECT_EQ(ErrorOf([&] { table_.FieldNamed("Name"); }), "LbCsv2: Field 'Name' not found");
  table_.SetName("Other");
  EXPECT_EQ(ErrorOf([&] { table_.Next(); }),
            "Other: Cannot perform this operation on a closed dataset");
}

TEST_F(MovesTest, FieldsAreFoundIgnoringCaseAndGoneAfterClosing) {
  OpenWith(2);
  TStringField& name = table_.FieldNamed("nAME");
  EXPECT_EQ(&name, &table_.Field(0));
  EXPECT_EQ(name.FieldName(), "Name");
  EXPECT_EQ(name.Value(), "r1");
  EXPECT_EQ(ErrorOf([&] { table_.FieldNamed("Nam"); }), "LbCsv2: Field 'Nam' not found");
  EXPECT_EQ(ErrorOf([&] { table_.Field(2); }), "List index out of bounds (2)");
  table_.Close();
  EXPECT_EQ(table_.FieldCount(), 0);
  // A field still held reads as having no record.
  EXPECT_EQ(name.Value(), std::nullopt);
  EXPECT_EQ(name.Text(), "");
  table_.Open();
  EXPECT_EQ(name.Value(), std::nullopt);
  EXPECT_EQ(table_.FieldNamed("Name").Value(), "r1");
}

TEST_F(MovesTest, RecordValuesReadsAnyRecordWithoutMoving) {
  OpenWith(3);
  table_.Next();
  EXPECT_EQ(table_.RecordValues(3), (Values{"r3", "3"}));
  EXPECT_EQ(table_.RecordValues(1), (Values{"r1", "1"}));
  EXPECT_EQ(table_.RecordValues(0), (Values{"", ""}));
  EXPECT_EQ(table_.RecordValues(4), (Values{"", ""}));
  EXPECT_EQ(Where(), "r2 00");
}

TEST_F(MovesTest, ViewsAreToldOfEveryChange) {
  TempFolder folder;
  TLbCsv table("LbCsv2");
  table.SetTableName(folder.Write("a.dat", "A\r\nx\r\ny\r\n"));
  Recorder view;
  table.Attach(&view);
  using E = TDataEvent;
  const std::vector<std::pair<std::function<void()>, std::vector<E>>> steps = {
      {[&] { table.Open(); }, {E::ActiveChanged}},
      {[&] { table.Next(); }, {E::RecordChanged}},
      {[&] { table.Next(); }, {E::RecordChanged}},  // AtEnd set, same record
      {[&] { table.Next(); }, {}},
      {[&] { table.Insert(); }, {E::StateChanged}},
      {[&] { table.FieldNamed("A").SetText("z"); }, {E::FieldChanged}},
      {[&] { table.First(); }, {E::StateChanged, E::DataSetChanged, E::RecordChanged}},
      {[&] { table.Edit(); }, {E::StateChanged}},
      {[&] { table.Cancel(); }, {E::StateChanged, E::DataSetChanged}},
      {[&] { table.Delete(); }, {E::DataSetChanged}},
      {[&] { table.SetRecordNumber(2); }, {E::RecordChanged}},
      {[&] { table.Close(); }, {E::ActiveChanged}},
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    view.events.clear();
    steps[i].first();
    EXPECT_EQ(view.events, steps[i].second) << "step " << i;
  }
  EXPECT_EQ(TempFolder::Read(table.TableName()), "A\r\ny\r\nz\r\n");
}

TEST_F(MovesTest, ViewsMayDetachWhileBeingTold) {
  OpenWith(3);
  Recorder self, other, last;
  self.onEvent = [&] { table_.Detach(&self); };
  other.onEvent = [&] { table_.Detach(&last); };
  table_.Attach(&self);
  table_.Attach(&other);
  table_.Attach(&last);
  table_.Attach(&other);  // once only
  table_.Next();
  EXPECT_EQ(self.events.size(), 1u);
  EXPECT_EQ(other.events.size(), 1u);
  EXPECT_TRUE(last.events.empty());
  table_.Next();
  EXPECT_EQ(self.events.size(), 1u);
  EXPECT_EQ(other.events.size(), 2u);
  table_.Detach(&other);
  table_.Last();
  EXPECT_EQ(other.events.size(), 2u);
}

TEST(TableLifetime, DestructionClosesWritesBackAndTellsTheViews) {
  TempFolder folder;
  const std::string path = folder.Write("a.dat", "A\nx\n");
  Recorder view;
  {
    TLbCsv table;
    table.SetTableName(path);
    table.SetActive(true);
    table.Attach(&view);
    table.Insert();
    table.Field(0).SetText("y");
    table.Post();
  }
  EXPECT_EQ(view.events.back(), TDataEvent::ActiveChanged);
  EXPECT_EQ(TempFolder::Read(path), "A\r\nx\r\ny\r\n");
}
