#include "widgets/tdata_set_action.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>
#include <stdexcept>
#include <string>

#include "storage/table_error.h"
#include "tests/widgets/archive_fixture.h"
#include "widgets/taction_updater.h"
#include "widgets/trx_db_grid.h"

using archive_test::OpenArchive;
using archive_test::RecordingPrompter;
using archive_test::RunIdle;

namespace {

// First, Prior, Next, Last, Delete.
using Enabling = std::array<bool, 5>;

// The main window in miniature: the five actions on tool buttons, the grid on
// the second of two tabs.
class ActionTest : public ::testing::Test {
 protected:
  void Build(int records) {
    archive = std::make_unique<OpenArchive>(records);
    window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    actions = {new TDataSetFirst(window.get()), new TDataSetPrior(window.get()),
               new TDataSetNext(window.get()), new TDataSetLast(window.get()),
               new TDataSetDelete(window.get())};
    for (TDataSetAction* action : actions) {
      action->SetDataSource(archive->source.get());
      auto* button = new QToolButton(window.get());
      button->setDefaultAction(action);
      layout->addWidget(button);
    }
    tabs = new QTabWidget(window.get());
    tabs->addTab(new QWidget, "Calcola codice");
    grid = new TRxDBGrid;
    grid->AddColumn("Cognome", 66);
    grid->SetDataSource(archive->source.get());
    tabs->addTab(grid, "Archivio codici");
    layout->addWidget(tabs);
    tabs->setCurrentIndex(1);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }

  Enabling Updated() {
    Enabling enabled{};
    for (std::size_t i = 0; i < actions.size(); ++i) {
      actions[i]->Update();
      enabled[i] = actions[i]->isEnabled();
    }
    return enabled;
  }

  Enabling Current() const {
    Enabling enabled{};
    for (std::size_t i = 0; i < actions.size(); ++i) enabled[i] = actions[i]->isEnabled();
    return enabled;
  }

  TLbCsv& Table() { return archive->table; }

  std::unique_ptr<OpenArchive> archive;
  std::unique_ptr<QWidget> window;
  std::array<TDataSetAction*, 5> actions{};
  QTabWidget* tabs = nullptr;
  TRxDBGrid* grid = nullptr;
};

std::string Pattern(const Enabling& e) {
  std::string text;
  for (bool on : e) text += on ? 'T' : 'F';
  return text;
}

// Enabled states after each move, through the actions themselves: the rows
// are the rules of the table's flags, one step at a time.
TEST_F(ActionTest, EnablingFollowsTheTableFlagsAfterEachMove) {
  enum Move { Start, First, Prior, Next, Last };
  struct Step {
    Move move;
    int expectedNumber;
    const char* expected;  // First Prior Next Last Delete
  };
  struct Case {
    int records;
    std::vector<Step> steps;
  };
  const std::vector<Case> cases = {
      {0, {{Start, 1, "FFFFF"}}},
      {1,
       {{Start, 1, "FFTTT"},
        {Next, 1, "TTFFT"},  // no further record: AtEnd, AtBeginning cleared
        {Prior, 1, "FFTTT"},
        {Last, 1, "TTFFT"},
        {First, 1, "FFTTT"}}},
      {3,
       {{Start, 1, "FFTTT"},
        {Next, 2, "TTTTT"},
        {Next, 3, "TTTTT"},  // landing on the last record leaves AtEnd clear
        {Next, 3, "TTFFT"},  // a further Next sets it
        {Prior, 2, "TTTTT"},
        {Prior, 1, "TTTTT"},  // landing on the first leaves AtBeginning clear
        {Prior, 1, "FFTTT"},
        {Last, 3, "TTFFT"},
        {First, 1, "FFTTT"}}},
  };
  for (const Case& c : cases) {
    window = nullptr;
    archive = nullptr;
    Build(c.records);
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      SCOPED_TRACE("records " + std::to_string(c.records) + ", step " + std::to_string(i));
      if (step.move != Start) {
        TDataSetAction* action = actions[static_cast<std::size_t>(step.move) - 1];
        action->Update();
        ASSERT_TRUE(action->isEnabled());
        action->trigger();
      }
      EXPECT_EQ(Table().RecordNumber(), step.expectedNumber);
      EXPECT_EQ(Pattern(Updated()), step.expected);
    }
  }
}

TEST_F(ActionTest, DeleteWithoutHandlerDeletesAndDisablesOnTheLastRecord) {
  Build(2);
  actions[4]->trigger();
  EXPECT_EQ(Table().RecordCount(), 1);
  EXPECT_EQ(Pattern(Updated()), "TTTTT");
  actions[4]->trigger();
  EXPECT_EQ(Table().RecordCount(), 0);
  EXPECT_EQ(Pattern(Updated()), "FFFFF");
  EXPECT_EQ(grid->model()->rowCount(), 1);
}

TEST_F(ActionTest, DeleteOnAReadOnlyTableIsDisabled) {
  Build(2);
  Table().SetReadOnly(true);
  EXPECT_EQ(Pattern(Updated()), "FFTTF");
}

TEST_F(ActionTest, ClosedTableDisablesEverything) {
  Build(2);
  Table().Close();
  EXPECT_EQ(Pattern(Updated()), "FFFFF");
}

TEST_F(ActionTest, ExecuteHandlerReplacesDelete) {
  Build(3);
  int handled = 0;
  actions[4]->SetOnExecute([&] { ++handled; });
  actions[4]->Execute();
  actions[4]->trigger();
  auto* button = window->findChildren<QToolButton*>().at(4);
  ASSERT_EQ(button->defaultAction(), actions[4]);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(handled, 3);
  EXPECT_EQ(Table().RecordCount(), 3);
}

TEST_F(ActionTest, ExecuteRechecksTheEnablingFirst) {
  Build(3);
  int handled = 0;
  actions[4]->SetOnExecute([&] { ++handled; });
  RecordingPrompter prompter;
  for (TDataSetAction* action : actions) action->SetPrompter(&prompter);
  Table().Close();  // the grid still serves them, from a closed table
  actions[4]->Execute();
  EXPECT_EQ(handled, 0);
  EXPECT_FALSE(actions[4]->isEnabled());
  actions[2]->Execute();  // a Next on a closed table would fail
  EXPECT_TRUE(prompter.Errors().empty());
}

TEST_F(ActionTest, ErrorsGoToTheHandlerNotTheEventLoop) {
  Build(1);
  RecordingPrompter prompter;
  actions[4]->SetPrompter(&prompter);
  actions[4]->SetOnExecute([] { throw TableError("LbCsv2: boom"); });
  EXPECT_NO_THROW(actions[4]->trigger());
  EXPECT_EQ(prompter.Errors(), std::vector<std::string>{"LbCsv2: boom"});
  // An action whose owner handed it no prompter still keeps it from Qt.
  actions[4]->SetPrompter(nullptr);
  EXPECT_NO_THROW(actions[4]->trigger());
}

TEST_F(ActionTest, WithoutAShowingGridOnlyActionsWithAHandlerStayEnabled) {
  Build(3);
  actions[4]->SetOnExecute([] {});
  Table().SetRecordNumber(2);
  EXPECT_EQ(Pattern(Updated()), "TTTTT");
  tabs->setCurrentIndex(0);
  EXPECT_EQ(Pattern(Updated()), "FFFFT");
  actions[4]->setEnabled(false);  // what the tab-change handler does
  EXPECT_EQ(Pattern(Updated()), "FFFFF");
  actions[1]->trigger();  // disabled: never reaches the table
  EXPECT_EQ(Table().RecordNumber(), 2);
}

TEST_F(ActionTest, DataSourceOfAnotherTableIsNotServed) {
  Build(3);
  OpenArchive other(2);
  for (TDataSetAction* action : actions) action->SetDataSource(other.source.get());
  EXPECT_EQ(Pattern(Updated()), "FFFFF");
  // With no data source of its own an action takes any connected one.
  for (TDataSetAction* action : actions) action->SetDataSource(nullptr);
  for (TDataSetAction* action : actions) action->setEnabled(true);
  EXPECT_EQ(Pattern(Updated()), "FFTTT");
  EXPECT_FALSE(actions[0]->HandlesTarget(nullptr));
}

TEST_F(ActionTest, IdleUpdateFollowsTheTabsAndSettles) {
  Build(3);
  TActionUpdater updater;
  for (TDataSetAction* action : actions) updater.Add(action);
  actions[4]->SetOnExecute([] {});
  actions[4]->setEnabled(false);  // as designed
  tabs->setCurrentIndex(0);       // the calculation tab, as at start

  RunIdle(50);
  EXPECT_EQ(Pattern(Current()), "FFFFF");  // Delete keeps its designed state

  tabs->setCurrentIndex(1);
  actions[4]->setEnabled(true);  // what the tab-change handler does
  RunIdle(50);
  EXPECT_EQ(Pattern(Current()), "FFTTT");

  Table().Last();
  RunIdle(50);
  EXPECT_EQ(Pattern(Current()), "TTFFT");

  tabs->setCurrentIndex(0);  // Delete, with its handler, keeps the state it has
  RunIdle(50);
  EXPECT_EQ(Pattern(Current()), "FFFFT");
  actions[4]->setEnabled(false);
  RunIdle(50);
  EXPECT_EQ(Pattern(Current()), "FFFFF");

  tabs->setCurrentIndex(1);  // on the archive tab all five follow the table
  RunIdle(50);
  EXPECT_EQ(Pattern(Current()), "TTFFT");

  // Nothing happening: the passes stop instead of feeding each other.
  const int before = updater.PassCount();
  RunIdle(300);
  EXPECT_LE(updater.PassCount() - before, 3);
}

TEST_F(ActionTest, IdleUpdateSkipsActionsOnHiddenControls) {
  Build(3);
  TActionUpdater updater;
  updater.Add(actions[0]);
  for (QToolButton* button : window->findChildren<QToolButton*>()) button->hide();
  RunIdle(50);
  EXPECT_TRUE(actions[0]->isEnabled());  // not updated: still enabled as created
  window->findChildren<QToolButton*>().at(0)->show();
  RunIdle(50);
  EXPECT_FALSE(actions[0]->isEnabled());  // on the first record
}

TEST_F(ActionTest, MenuUpdatesItsEntriesWhenItDropsDown) {
  Build(3);
  TActionUpdater updater;
  QMenu menu;
  for (TDataSetAction* action : actions) menu.addAction(action);
  updater.WatchMenu(&menu);
  Table().Last();
  EXPECT_EQ(Pattern(Current()), "TTTTT");  // nothing updated them yet
  emit menu.aboutToShow();
  EXPECT_EQ(Pattern(Current()), "TTFFT");
}

}  // namespace
