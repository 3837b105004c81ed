// A view's order of a table's records, following the table as it changes.
#include "storage/table/record_order.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "storage/table/record_format.h"
#include "storage/table/table_file.h"
#include "storage/table/tlb_csv.h"

namespace {

// The records by their first value, in the table's order among equals.
RecordOrder::Key FirstValue() {
  return [](std::string_view line, std::string& key) { ValueAt(line, 0, key); };
}

std::vector<int> InOrder(RecordOrder& order) {
  std::vector<int> records;
  for (int position = 0; position < order.Size(); ++position) {
    records.push_back(order.RecordAt(position));
  }
  return records;
}

TableFile Lines(const std::vector<std::string>& keys) {
  std::string text = "K,N\r\n";
  for (std::size_t i = 0; i < keys.size(); ++i) text += keys[i] + "," + std::to_string(i) + "\r\n";
  return TableFile::FromText(text);
}

TEST(RecordOrder, OrdersByKeyThenByTheTablesOrder) {
  TLbCsv table;
  table.Open(Lines({"C", "A", "B", "A"}));
  RecordOrder order(table, FirstValue());
  EXPECT_EQ(InOrder(order), (std::vector<int>{2, 4, 3, 1}));
  EXPECT_EQ(order.PositionOf(1), 3);
  EXPECT_EQ(order.PrefixRange("A"), (std::pair<int, int>{0, 2}));
  EXPECT_EQ(order.PrefixRange("AB"), (std::pair<int, int>{2, 2}));
  // The table keeps its own order.
  EXPECT_EQ(table.Lines().Line(1), "C,0");
}

// After any run of adds, deletes, edits, other desks' lines taken in and
// lines put in place of all, the order followed edit by edit is the one
// made afresh.
TEST(RecordOrder, FollowingTheEditsGivesTheOrderMadeAfresh) {
  std::mt19937 random(7);
  TLbCsv table;
  table.Open(Lines({"M", "D", "T", "D", "A"}));
  RecordOrder followed(table, FirstValue());
  ASSERT_EQ(followed.Size(), 5);
  const auto key = [&random] { return std::string(1, static_cast<char>('A' + random() % 6)); };
  for (int step = 0; step < 400; ++step) {
    const int count = table.RecordCount();
    switch (random() % 5) {
      case 0:
        table.Insert();
        table.Field(0).SetText(key());
        table.Post();
        break;
      case 1:
        if (count > 0) {
          table.SetRecordNumber(1 + static_cast<int>(random() % static_cast<unsigned>(count)));
          table.Delete();
        }
        break;
      case 2:
        if (count > 0) {
          table.SetRecordNumber(1 + static_cast<int>(random() % static_cast<unsigned>(count)));
          table.Edit();
          table.Field(0).SetText(key());
          table.Post();
        }
        break;
      case 3: {
        std::vector<std::size_t> erase;
        for (int r = 1; r <= count; ++r) {
          if (random() % 4 == 0) erase.push_back(static_cast<std::size_t>(r));
        }
        table.TakeInLines(erase, {key() + ",x", key() + ",y"}, 1);
        break;
      }
      default:
        if (step % 50 == 0) table.ReplaceLines(Lines({key(), key(), key()}), 1);
        break;
    }
    RecordOrder afresh(table, FirstValue());
    ASSERT_EQ(InOrder(followed), InOrder(afresh)) << "after step " << step;
  }
}

}  // namespace
