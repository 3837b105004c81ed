// The grid's titles, and what its cells show.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <fstream>
#include <string>

#include "tests/widgets/archive_fixture.h"
#include "tests/widgets/grid_fixture.h"
#include "widgets/trx_db_grid.h"

using archive_test::OpenArchive;
using grid_test::GridTest;

namespace {

TEST_F(GridTest, LeftClickOnATitleDrawsItPressedUntilReleased) {
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
