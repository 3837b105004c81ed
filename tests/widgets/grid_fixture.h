// The archive grid laid out as the main window has it.
#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <memory>
#include <utility>

#include "tests/widgets/archive_fixture.h"
#include "widgets/trx_db_grid.h"

namespace grid_test {

// The archive grid as the main window lays it out, with an edit box beside it
// to take the focus away.
class GridTest : public ::testing::Test {
 protected:
  void Show(int records) {
    archive = std::make_unique<archive_test::OpenArchive>(records);
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

  archive_test::RecordingPrompter prompter;
  std::unique_ptr<archive_test::OpenArchive> archive;
  std::unique_ptr<QWidget> window;
  TRxDBGrid* grid = nullptr;
  QLineEdit* edit = nullptr;
};

}  // namespace grid_test
