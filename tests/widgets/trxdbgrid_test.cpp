#include "widgets/trxdbgrid.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>
#include <fstream>
#include <stdexcept>
#include <string>

#include "archive_fixture.h"

using archive_test::OpenArchive;
using archive_test::RecordingPrompter;

namespace {

// The archive grid as the main window lays it out, with an edit box beside it
// to take the focus away.
class GridTest : public ::testing::Test {
 protected:
  void Show(int records) {
    archive = std::make_unique<OpenArchive>(records);
    window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    grid = new TRxDBGrid(window.get());
    grid->setFixedSize(337, 223);
    edit = new QLineEdit(window.get());
    layout->addWidget(grid);
    layout->addWidget(edit);
    const std::pair<const char*, int> columns[] = {{"Cognome", 66}, {"Nome", 99},
                                                   {"Sex", 13},     {"Comune", 72},
                                                   {"Data", 61},    {"CodiceFiscale", 122}};
    for (const auto& [field, width] : columns) grid->AddColumn(field, width);
    grid->SetDataSource(archive->source.get());
    grid->SetPrompter(&prompter);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    grid->setFocus();
  }

  TLbCsv& Table() { return archive->table; }

  // The highlighted row is the current record's and lies wholly in view.
  void ExpectFollowsCursor() {
    const QModelIndex current = grid->currentIndex();
    ASSERT_TRUE(current.isValid());
    EXPECT_EQ(current.row(), Table().RecordNumber() - 1);
    EXPECT_TRUE(grid->selectionModel()->isRowSelected(current.row(), QModelIndex()));
    EXPECT_EQ(grid->selectionModel()->selectedRows().size(), 1);
    const QRect row = grid->visualRect(current);
    EXPECT_GE(row.top(), 0);
    EXPECT_LE(row.bottom(), grid->viewport()->height());
  }

  QPoint CellCentre(int row, int column) const {
    return grid->visualRect(grid->model()->index(row, column)).center();
  }

  RecordingPrompter prompter;
  std::unique_ptr<OpenArchive> archive;
  std::unique_ptr<QWidget> window;
  TRxDBGrid* grid = nullptr;
  QLineEdit* edit = nullptr;
};

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

TEST_F(GridTest, LeftClickOnATitleOnlyDrawsItPressed) {
  Show(3);
  Table().SetRecordNumber(2);
  TTitleButtonHeader* header = grid->TitleHeader();
  QSignalSpy titleClicks(header, &TTitleButtonHeader::TitleClicked);
  QSignalSpy cellClicks(grid, &TRxDBGrid::CellClick);
  const QPoint title(header->sectionViewportPosition(1) + 30, header->height() / 2);
  QTest::mousePress(header->viewport(), Qt::LeftButton, {}, title);
  EXPECT_EQ(header->TrackedSection(), 1);
  EXPECT_TRUE(header->TitleDrawnPressed());
  QTest::mouseMove(header->viewport(), QPoint(header->sectionViewportPosition(3) + 10, title.y()));
  EXPECT_FALSE(header->TitleDrawnPressed());
  QTest::mouseMove(header->viewport(), title);
  EXPECT_TRUE(header->TitleDrawnPressed());
  QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, title);
  EXPECT_EQ(header->TrackedSection(), -1);
  EXPECT_EQ(titleClicks.count(), 1);
  EXPECT_EQ(cellClicks.count(), 0);
  EXPECT_EQ(header->visualIndex(1), 1);
  EXPECT_EQ(Table().RecordNumber(), 2);
}

TEST_F(GridTest, RightDragMovesATitle) {
  Show(3);
  TTitleButtonHeader* header = grid->TitleHeader();
  QSignalSpy titleClicks(header, &TTitleButtonHeader::TitleClicked);
  // Through the window system, which follows a right press with a request
  // for a context menu.
  QWindow* handle = window->windowHandle();
  const auto inWindow = [&](int x) {
    return header->viewport()->mapTo(window.get(), QPoint(x, header->height() / 2));
  };
  const int from = header->sectionViewportPosition(0) + 20;
  const int to = header->sectionViewportPosition(3) + 50;  // past the middle of "Comune"
  QTest::mousePress(handle, Qt::RightButton, {}, inWindow(from));
  for (int x = from; x <= to; x += 10) QTest::mouseMove(handle, inWindow(x));
  QTest::mouseRelease(handle, Qt::RightButton, {}, inWindow(to));
  EXPECT_EQ(header->visualIndex(0), 3);
  EXPECT_EQ(header->logicalIndex(0), 1);
  EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "Cognome");
  EXPECT_EQ(titleClicks.count(), 0);
  EXPECT_EQ(header->TrackedSection(), -1);
  // The cells follow their titles.
  EXPECT_EQ(grid->columnAt(CellCentre(0, 0).x()), 0);
  EXPECT_GT(CellCentre(0, 0).x(), CellCentre(0, 3).x());
}

TEST_F(GridTest, LeftDragOnATitleBorderResizesAndNeverMoves) {
  Show(3);
  TTitleButtonHeader* header = grid->TitleHeader();
  QSignalSpy titleClicks(header, &TTitleButtonHeader::TitleClicked);
  const int y = header->height() / 2;
  auto leftDrag = [&](int fromX, int toX) {
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(fromX, y));
    const int step = toX > fromX ? 5 : -5;
    for (int x = fromX + step; (step > 0 ? x <= toX : x >= toX); x += step) {
      QMouseEvent move(QEvent::MouseMove, QPointF(x, y),
                       header->viewport()->mapToGlobal(QPoint(x, y)), Qt::NoButton, Qt::LeftButton,
                       Qt::NoModifier);
      QApplication::sendEvent(header->viewport(), &move);
    }
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(toX, y));
  };
  const int border = header->sectionViewportPosition(1) - 1;  // between Cognome and Nome
  leftDrag(border, border + 30);
  // Whether the first 5-pixel step counts depends on the drag threshold.
  EXPECT_NEAR(grid->columnWidth(0), 96, 5);
  EXPECT_EQ(titleClicks.count(), 0);
  leftDrag(1, 200);  // the left edge of the first title is no border
  leftDrag(header->sectionViewportPosition(1) + 30, 300);
  for (int column = 0; column < 6; ++column) EXPECT_EQ(header->visualIndex(column), column);
}

TEST(GridLongValuesTest, AreShownCutAndKeptWhole) {
  QTemporaryDir folder;
  const std::string path = folder.filePath(QStringLiteral("archivio.dat")).toStdString();
  const std::string huge(10'000'000, 'X');
  const std::string exact(TArchiveModel::kShownCharacters, 'Y');
  std::string accented;  // two bytes a letter in UTF-8
  for (int n = 0; n < 400; ++n) accented += "\xC3\x88";
  {
    std::ofstream out(path, std::ios::binary);
    out << "Cognome,Nome,Sex,Comune,Data,CodiceFiscale\r\n"
        << huge << ",MARIO,M,ROMA,01/01/1980,CODE1\r\n"
        << exact << "," << accented << ",F,ROMA,01/01/1980,CODE2\r\n";
  }
  TLbCsv table("LbCsv2");
  table.SetTableName(path);
  table.Open();
  TDataSource source(&table);
  TRxDBGrid grid;
  grid.resize(337, 223);
  for (const char* field : {"Cognome", "Nome"}) grid.AddColumn(field, 80);
  grid.SetDataSource(&source);
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));

  const QString shown = grid.model()->index(0, 0).data().toString();
  EXPECT_EQ(shown.size(), TArchiveModel::kShownCharacters + 1);
  EXPECT_EQ(shown, QString(TArchiveModel::kShownCharacters, QLatin1Char('X')) + QChar(0x2026));
  EXPECT_EQ(grid.model()->index(0, 1).data().toString(), "MARIO");
  EXPECT_EQ(grid.model()->index(1, 0).data().toString().toStdString(), exact);  // just fits
  const QString letters = grid.model()->index(1, 1).data().toString();
  EXPECT_EQ(letters, QString(TArchiveModel::kShownCharacters, QChar(0xC8)) + QChar(0x2026));

  // The table holds the values whole, and so does the file after a change.
  EXPECT_EQ(table.RecordValues(1).at(0), huge);
  table.Insert();
  table.FieldNamed("Cognome").SetText("ROSSI");
  table.Post();
  table.Close();
  table.Open();
  ASSERT_EQ(table.RecordCount(), 3);
  EXPECT_EQ(table.RecordValues(1).at(0), huge);
  EXPECT_EQ(table.RecordValues(2).at(1), accented);
  EXPECT_EQ(grid.model()->index(0, 0).data().toString().size(),
            TArchiveModel::kShownCharacters + 1);
}

TEST(GridShownLaterTest, ShowsTheCurrentRecordWhenItsTabComesUp) {
  OpenArchive archive(40);
  QTabWidget tabs;
  tabs.resize(337, 250);
  tabs.addTab(new QWidget, "Calcola codice");
  auto* grid = new TRxDBGrid;
  grid->AddColumn("Cognome", 66);
  grid->SetDataSource(archive.source.get());
  tabs.addTab(grid, "Archivio codici");
  tabs.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tabs));
  archive.table.SetRecordNumber(35);
  tabs.setCurrentIndex(1);
  QApplication::processEvents();
  const QModelIndex current = grid->currentIndex();
  EXPECT_EQ(current.row(), 34);
  const QRect row = grid->visualRect(current);
  EXPECT_GE(row.top(), 0);
  EXPECT_LE(row.bottom(), grid->viewport()->height());
  EXPECT_EQ(grid->RecordScrollBar()->value(), 35);
}

}  // namespace
