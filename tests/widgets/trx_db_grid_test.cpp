#include "widgets/trx_db_grid.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <stdexcept>
#include <string>

#include "tests/widgets/archive_fixture.h"
#include "tests/widgets/grid_fixture.h"

using grid_test::GridTest;

namespace {

TEST_F(GridTest, ShowsOneRowPerRecordWithFieldTitles) {
  Show(3);
  ASSERT_EQ(grid->model()->rowCount(), 3);
  ASSERT_EQ(grid->model()->columnCount(), 6);
  EXPECT_EQ(grid->model()->headerData(5, Qt::Horizontal).toString(), "CodiceFiscale");
  EXPECT_EQ(grid->model()->index(1, 0).data().toString(), "COGNOME2");
  EXPECT_EQ(grid->model()->index(2, 5).data().toString(), "CODE3");
  EXPECT_EQ(grid->columnWidth(2), 13);
  ExpectFollowsCursor();
}

TEST_F(GridTest, EmptyArchiveShowsOneBlankRowAndClosedTableNone) {
  Show(0);
  ASSERT_EQ(grid->model()->rowCount(), 1);
  for (int column = 0; column < 6; ++column) {
    EXPECT_TRUE(grid->model()->index(0, column).data().toString().isEmpty());
  }
  Table().Close();
  EXPECT_EQ(grid->model()->rowCount(), 0);
  EXPECT_FALSE(grid->currentIndex().isValid());
  Table().Open();
  EXPECT_EQ(grid->model()->rowCount(), 1);
}

TEST_F(GridTest, ClickOnTheBlankRowOfAnEmptyArchiveRaisesNoCellClick) {
  Show(0);
  QSignalSpy clicks(grid, &TRxDBGrid::CellClick);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(0, 1));
  EXPECT_EQ(clicks.count(), 0);
  EXPECT_EQ(Table().RecordCount(), 0);
}

TEST_F(GridTest, PressMakesTheRowCurrentAndReleaseReportsTheColumn) {
  Show(5);
  QSignalSpy clicks(grid, &TRxDBGrid::CellClick);
  QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, CellCentre(3, 2));
  EXPECT_EQ(Table().RecordNumber(), 4);
  EXPECT_EQ(clicks.count(), 0);  // not before the release
  QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, CellCentre(3, 2));
  ASSERT_EQ(clicks.count(), 1);
  EXPECT_EQ(clicks.at(0).at(0).toInt(), 2);
  ExpectFollowsCursor();

  // Back up to a row above, then a click on the current row moves nothing.
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(1, 0));
  EXPECT_EQ(Table().RecordNumber(), 2);
  EXPECT_EQ(clicks.count(), 2);
  EXPECT_EQ(clicks.at(1).at(0).toInt(), 0);
}

TEST_F(GridTest, PressBelowTheLastRowMovesNothingAndReleaseThereRaisesNothing) {
  Show(3);
  Table().SetRecordNumber(2);
  QSignalSpy clicks(grid, &TRxDBGrid::CellClick);
  const QPoint below(CellCentre(2, 1).x(), grid->viewport()->height() - 3);
  ASSERT_LT(grid->rowAt(below.y()), 0);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, below);
  EXPECT_EQ(Table().RecordNumber(), 2);
  EXPECT_EQ(clicks.count(), 0);
}

TEST_F(GridTest, DoubleClickRaisesDblClickAndNoSecondCellClick) {
  Show(4);
  QSignalSpy clicks(grid, &TRxDBGrid::CellClick);
  QSignalSpy doubles(grid, &TRxDBGrid::DblClick);
  // What the system delivers: press, release, double click, release.
  const QPoint at = CellCentre(2, 0);
  for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, at, grid->viewport()->mapToGlobal(at), Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &event);
  }
  EXPECT_EQ(doubles.count(), 1);
  EXPECT_EQ(clicks.count(), 1);  // the first click's release only
  EXPECT_EQ(Table().RecordNumber(), 3);
}

TEST_F(GridTest, WheelMovesOneRecordPerStep) {
  Show(6);
  const QPoint at = CellCentre(0, 0);
  auto wheel = [&](int delta) {
    QWheelEvent event(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &event);
  };
  wheel(-240);
  EXPECT_EQ(Table().RecordNumber(), 3);
  wheel(-60);  // half a step: nothing yet
  EXPECT_EQ(Table().RecordNumber(), 3);
  wheel(-60);
  EXPECT_EQ(Table().RecordNumber(), 4);
  wheel(120);
  EXPECT_EQ(Table().RecordNumber(), 3);
  ExpectFollowsCursor();
}

TEST_F(GridTest, FollowsTheCursorWhateverMovesIt) {
  Show(40);
  const int page = grid->VisibleRowCount();
  ASSERT_GT(page, 3);
  ASSERT_LT(page, 40);

  struct Step {
    const char* name;
    std::function<void()> act;
    int expectedNumber;
  };
  const std::vector<Step> steps = {
      {"SetRecordNumber", [&] { Table().SetRecordNumber(30); }, 30},
      {"Home", [&] { QTest::keyClick(grid, Qt::Key_Home); }, 1},
      {"PageDown", [&] { QTest::keyClick(grid, Qt::Key_PageDown); }, 1 + page},
      {"Down", [&] { QTest::keyClick(grid, Qt::Key_Down); }, 2 + page},
      {"Right", [&] { QTest::keyClick(grid, Qt::Key_Right); }, 3 + page},
      {"Left", [&] { QTest::keyClick(grid, Qt::Key_Left); }, 2 + page},
      {"PageUp", [&] { QTest::keyClick(grid, Qt::Key_PageUp); }, 2},
      {"End", [&] { QTest::keyClick(grid, Qt::Key_End); }, 40},
      {"Down at the end", [&] { QTest::keyClick(grid, Qt::Key_Down); }, 40},
      {"Ctrl+Home", [&] { QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier); }, 1},
      {"Ctrl+Down", [&] { QTest::keyClick(grid, Qt::Key_Down, Qt::ControlModifier); }, page},
      {"Ctrl+End", [&] { QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier); }, 40},
      {"Ctrl+PageUp", [&] { QTest::keyClick(grid, Qt::Key_PageUp, Qt::ControlModifier); },
       40 - page + 1},
      {"Insert and Post",
       [&] {
         Table().Insert();
         Table().FieldNamed("Cognome").SetText("ROSSI");
         Table().Post();
       },
       41},
      {"SetRecordNumber 5", [&] { Table().SetRecordNumber(5); }, 5},
      {"Last then Delete",
       [&] {
         Table().Last();
         Table().Delete();
       },
       40},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.act();
    EXPECT_EQ(Table().RecordNumber(), step.expectedNumber);
    ExpectFollowsCursor();
  }
  EXPECT_EQ(grid->model()->rowCount(), 40);
  EXPECT_EQ(grid->model()->index(39, 0).data().toString(), "COGNOME40");
}

TEST_F(GridTest, RowsAreAlwaysWholeAtTheTop) {
  Show(40);
  // Whatever the height, so the last row seldom ends at the bottom edge.
  for (int height = 150; height <= 223; height += 7) {
    SCOPED_TRACE(height);
    grid->setFixedSize(337, height);
    QApplication::processEvents();
    QTest::keyClick(grid, Qt::Key_End);
    const int top = grid->rowAt(0);
    ASSERT_GE(top, 0);
    EXPECT_EQ(grid->visualRect(grid->model()->index(top, 0)).top(), 0);
    ExpectFollowsCursor();
    EXPECT_EQ(top, 40 - grid->VisibleRowCount());  // the view window ends on the last record

    QTest::keyClick(grid, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(Table().RecordNumber(), top + 1);
    EXPECT_EQ(grid->visualRect(grid->currentIndex()).top(), 0);
    // Back one by one from the middle, then up past the top: whole rows all along.
    Table().SetRecordNumber(20);
    for (int step = 0; step < 3; ++step) QTest::keyClick(grid, Qt::Key_Up);
    EXPECT_EQ(grid->visualRect(grid->model()->index(grid->rowAt(0), 0)).top(), 0);
    QTest::keyClick(grid, Qt::Key_End);
    QTest::keyClick(grid, Qt::Key_PageUp);
    EXPECT_EQ(grid->visualRect(grid->model()->index(grid->rowAt(0), 0)).top(), 0);
  }
}

TEST_F(GridTest, InsertedRecordShowsAsAnExtraLastRowUntilPosted) {
  Show(2);
  Table().Insert();
  ASSERT_EQ(grid->model()->rowCount(), 3);
  EXPECT_EQ(grid->currentIndex().row(), 2);
  Table().FieldNamed("Nome").SetText("MARIO");
  EXPECT_EQ(grid->model()->index(2, 1).data().toString(), "MARIO");
  Table().Cancel();
  EXPECT_EQ(grid->model()->rowCount(), 2);
  ExpectFollowsCursor();
}

TEST_F(GridTest, KeysThatDoNothing) {
  Show(3);
  Table().SetRecordNumber(2);
  for (const Qt::Key key : {Qt::Key_Delete, Qt::Key_Insert, Qt::Key_F2, Qt::Key_Return,
                            Qt::Key_Enter, Qt::Key_A, Qt::Key_Escape}) {
    QTest::keyClick(grid, key);
    EXPECT_EQ(Table().RecordNumber(), 2) << key;
    EXPECT_EQ(Table().RecordCount(), 3) << key;
    EXPECT_EQ(Table().State(), TDataSetState::Browse) << key;
  }
}

TEST_F(GridTest, EscCancelsAPendingInsert) {
  Show(2);
  Table().Insert();
  Table().FieldNamed("Nome").SetText("X");
  QTest::keyClick(grid, Qt::Key_Escape);
  EXPECT_EQ(Table().State(), TDataSetState::Browse);
  EXPECT_EQ(Table().RecordCount(), 2);
}

TEST_F(GridTest, KeysAndWheelDoNothingWhileTheTableIsClosed) {
  Show(3);
  Table().Close();
  for (const Qt::Key key : {Qt::Key_End, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Escape}) {
    QTest::keyClick(grid, key);
  }
  QWheelEvent wheel(QPointF(5, 5), grid->viewport()->mapToGlobal(QPoint(5, 5)), QPoint(),
                    QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(grid->viewport(), &wheel);
  EXPECT_TRUE(prompter.Errors().empty());  // a move on a closed table would have failed
}

TEST_F(GridTest, TabLeavesTheGridAndAnUnwrittenInsertIsCancelled) {
  Show(2);
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  grid->setFocus();
  ASSERT_TRUE(grid->hasFocus());
  Table().Insert();
  QTest::keyClick(grid, Qt::Key_Tab);
  EXPECT_TRUE(edit->hasFocus());
  EXPECT_EQ(Table().State(), TDataSetState::Browse);
  EXPECT_EQ(Table().RecordCount(), 2);

  // A written insert is left to the table.
  grid->setFocus();
  Table().Insert();
  Table().FieldNamed("Nome").SetText("X");
  edit->setFocus();
  EXPECT_EQ(Table().State(), TDataSetState::Insert);
}

TEST_F(GridTest, CtrlDeleteAsksAndDeletesOnYesOnly) {
  Show(3);
  Table().SetRecordNumber(2);
  struct Case {
    bool yes;
    int recordsAfter;
  };
  for (const Case& c : {Case{false, 3}, Case{true, 2}}) {
    SCOPED_TRACE(c.yes);
    const std::size_t asked = prompter.Questions().size();
    prompter.ThenAnswer(c.yes);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(prompter.Questions().size(), asked + 1);
    EXPECT_EQ(prompter.Questions().back().caption, "Confirm");
    EXPECT_EQ(prompter.Questions().back().text, "Delete record?");
    EXPECT_EQ(Table().RecordCount(), c.recordsAfter);
  }
  EXPECT_EQ(grid->model()->index(1, 0).data().toString(), "COGNOME3");
  ExpectFollowsCursor();
}

TEST_F(GridTest, CtrlDeleteWithoutAnAnswerKeepsTheRecord) {
  Show(1);
  QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(prompter.Questions().size(), 1u);
  EXPECT_EQ(Table().RecordCount(), 1);
  // A grid whose owner handed it nobody to ask never deletes.
  grid->SetPrompter(nullptr);
  QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(Table().RecordCount(), 1);
}

TEST_F(GridTest, CtrlDeleteDoesNothingOnAnEmptyOrReadOnlyTable) {
  Show(0);
  prompter.ThenAnswer(true);
  QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_TRUE(prompter.Questions().empty());
  window = nullptr;
  archive = nullptr;
  Show(2);
  Table().SetReadOnly(true);
  QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_TRUE(prompter.Questions().empty());
  EXPECT_EQ(Table().RecordCount(), 2);
}

TEST_F(GridTest, ScrollBarStandsForTheCurrentRecord) {
  Show(30);
  QScrollBar* bar = grid->RecordScrollBar();
  EXPECT_TRUE(bar->isVisible());
  EXPECT_FALSE(grid->verticalScrollBar()->isVisible());
  EXPECT_EQ(bar->minimum(), 1);
  EXPECT_EQ(bar->maximum(), 30);
  EXPECT_EQ(bar->pageStep(), grid->VisibleRowCount());
  Table().SetRecordNumber(17);
  EXPECT_EQ(bar->value(), 17);
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(Table().RecordNumber(), 18);
  EXPECT_EQ(bar->value(), 18);
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(Table().RecordNumber(), 30);
  ExpectFollowsCursor();

  Table().Insert();  // the position stays while inserting
  EXPECT_EQ(bar->value(), 30);
}

TEST_F(GridTest, ScrollBarHiddenWhenAllRecordsFit) {
  Show(3);
  EXPECT_FALSE(grid->RecordScrollBar()->isVisible());
}

}  // namespace
