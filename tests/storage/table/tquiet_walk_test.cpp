// Walking a table without its views following each step.
#include "storage/table/tquiet_walk.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "storage/table/tlb_csv.h"
#include "tests/support/event_recorder.h"
#include "tests/support/temp_folder.h"

namespace {

using E = TDataEvent;

class QuietWalkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string text = "Name\r\n";
    for (int i = 1; i <= 5; ++i) text.append("r").append(std::to_string(i)).append("\r\n");
    table_.SetTableName(folder_.Write("t.dat", text));
    table_.Open();
    table_.Attach(&view_);
    // What the view would show when told.
    view_.onEvent = [this] { seen_.push_back(table_.FieldNamed("Name").Text()); };
  }
  void TearDown() override { table_.Detach(&view_); }

  TempFolder folder_;
  TLbCsv table_{"LbCsv2"};
  Recorder view_;
  std::vector<std::string> seen_;
};

TEST_F(QuietWalkTest, ViewsAreToldOnceOfTheRecordTheWalkEndsOn) {
  {
    TQuietWalk walk(table_);
    table_.Last();
    table_.First();
    while (table_.FieldNamed("Name").Text() != "r4") table_.Next();
    EXPECT_TRUE(view_.events.empty());
  }
  EXPECT_EQ(view_.events, std::vector<E>{E::RecordChanged});
  EXPECT_EQ(seen_, std::vector<std::string>{"r4"});
  EXPECT_EQ(table_.RecordNumber(), 4);
  // Afterwards every move is told again.
  table_.Next();
  EXPECT_EQ(view_.Count(E::RecordChanged), 2);
}

TEST_F(QuietWalkTest, AViewAttachedDuringTheWalkIsToldOnce) {
  Recorder late;
  {
    TQuietWalk walk(table_);
    table_.Next();
    table_.Attach(&late);
    table_.Next();
    table_.Next();
  }
  EXPECT_EQ(late.events, std::vector<E>{E::RecordChanged});
  EXPECT_EQ(view_.events, std::vector<E>{E::RecordChanged});
  table_.Detach(&late);
}

TEST_F(QuietWalkTest, NestedWalksTellOnceWhenTheOutermostEnds) {
  {
    TQuietWalk outer(table_);
    table_.Next();
    {
      TQuietWalk inner(table_);
      table_.Next();
    }
    EXPECT_TRUE(view_.events.empty());
    table_.Next();
  }
  EXPECT_EQ(view_.events, std::vector<E>{E::RecordChanged});
  EXPECT_EQ(seen_, std::vector<std::string>{"r4"});
}

TEST_F(QuietWalkTest, AWalkThatMovesNothingTellsNothing) {
  {
    TQuietWalk walk(table_);
    table_.First();  // already there
    table_.Prior();  // AtBeginning already set
  }
  EXPECT_TRUE(view_.events.empty());
}

TEST_F(QuietWalkTest, ChangesOtherThanMovesAreToldAtOnce) {
  {
    TQuietWalk walk(table_);
    table_.Next();
    table_.Insert();
    table_.FieldNamed("Name").SetText("r6");
    table_.Post();
    EXPECT_EQ(view_.events, (std::vector<E>{E::StateChanged, E::FieldChanged, E::StateChanged,
                                            E::DataSetChanged}));
    view_.events.clear();
    table_.First();
  }
  EXPECT_EQ(view_.events, std::vector<E>{E::RecordChanged});
  EXPECT_EQ(seen_.back(), "r1");
}

TEST_F(QuietWalkTest, AWalkLeftByAnErrorStillTellsTheViews) {
  EXPECT_THROW(
      {
        TQuietWalk walk(table_);
        table_.Last();
        throw std::runtime_error("stop");
      },
      std::runtime_error);
  EXPECT_EQ(seen_, std::vector<std::string>{"r5"});
}

}  // namespace
