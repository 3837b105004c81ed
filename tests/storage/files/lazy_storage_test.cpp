// The compact line list, columns read when asked for and the write-back
// streamed from the text read: each gives what the plain whole-line versions
// gave.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "storage/files/content_hash.h"
#include "storage/files/line_writer.h"
#include "storage/table/record_format.h"
#include "storage/table/table_file.h"
#include "storage/table/tlb_csv.h"
#include "tests/support/temp_folder.h"

using namespace std::string_literals;

namespace {

std::string RandomLine(std::mt19937& random) {
  static const char kChars[] = {'a', 'b', ',', '"', ' ', 'c', 'd', 'e', 'f'};
  std::string line;
  const int length = static_cast<int>(random() % 30);
  for (int i = 0; i < length; ++i) line.push_back(kChars[random() % sizeof kChars]);
  return line;
}

}  // namespace

TEST(ValueByValue, ReadsWhatTheWholeLineParserReads) {
  std::mt19937 random(11u);
  for (int n = 0; n < 20000; ++n) {
    const std::string line = RandomLine(random);
    std::vector<std::string> whole;
    ParseRecord(line, whole);
    std::vector<std::string> one;
    std::string value;
    std::size_t at = 0;
    while (ReadValue(line, at, value)) one.push_back(value);
    EXPECT_EQ(one, whole) << line;
    // Passing over values lands where reading them does.
    std::size_t skipped = 0;
    std::size_t count = 0;
    while (SkipValue(line, skipped)) ++count;
    EXPECT_EQ(count, whole.size()) << line;
    // One column alone, and none past the last or before the first.
    for (int column = -1; column <= static_cast<int>(whole.size()); ++column) {
      const bool stored = column >= 0 && column < static_cast<int>(whole.size());
      EXPECT_EQ(ValueAt(line, column, value), stored ? whole[column] : "") << line << column;
    }
  }
}

TEST(LazyColumns, AnyOrderOfReadingGivesTheRecordsValues) {
  TempFolder folder;
  const std::string path = folder.Write(
      "t.dat", "A,B,C,D\r\nx,\"y, z\",\"say \"\"hi\"\"\",w\r\nshort\r\n1,\"open,2,3\r\n,,,\r\n");
  TLbCsv table;
  table.SetTableName(path);
  table.SetReadOnly(true);
  table.Open();
  std::mt19937 random(5u);
  for (int pass = 0; pass < 20; ++pass) {
    for (table.First(); !table.AtEnd(); table.Next()) {
      const std::vector<std::string> expected = table.RecordValues(table.RecordNumber());
      std::vector<int> order = {0, 1, 2, 3, 2, 0};
      std::shuffle(order.begin(), order.end(), random);
      for (const int column : order) {
        EXPECT_EQ(table.Field(column).Text(), expected[static_cast<std::size_t>(column)])
            << table.RecordNumber() << " " << column;
      }
    }
  }
  table.SetRecordNumber(3);  // an unclosed quote: it and what follows read empty
  EXPECT_EQ(table.Field(3).Text(), "");
  EXPECT_EQ(table.Field(0).Text(), "1");
  EXPECT_EQ(table.Field(1).Value(), std::optional<std::string>(""));
}

TEST(LazyColumns, AnEditAfterReadingOneColumnKeepsTheOthers) {
  TempFolder folder;
  const std::string path = folder.Write("t.dat", "A,B,C\r\nx,\"y, z\",w\r\nkeep,me,too\r\n");
  {
    TLbCsv table;
    table.SetTableName(path);
    table.Open();
    EXPECT_EQ(table.Field(2).Text(), "w");
    table.Edit();
    table.Field(2).SetText("v");
    table.Post();
    EXPECT_EQ(table.Field(1).Text(), "y, z");
    table.Close();
  }
  EXPECT_EQ(TempFolder::Read(path), "A,B,C\r\nx,\"y, z\",v\r\nkeep,me,too\r\n");
}

TEST(CompactLines, WriteBackStreamsTheTextReadAndHashesWhatItWrote) {
  TempFolder folder;
  const std::string path = folder.File("t.dat");
  struct Case {
    std::string text;
    std::string written;  // after appending "new" and erasing line 2
  };
  const std::vector<Case> cases = {
      {"A\r\n1\r\n2\r\n3\r\n", "A\r\n1\r\n3\r\nnew\r\n"},
      {"A\n1\n2\n3", "A\r\n1\r\n3\r\nnew\r\n"},
      {"A\r\n1\r\r\n2\n\r3\r\n", "A\r\n1\r\n3\r\nnew\r\n"},
      {"A\r\n\r\n1\r\n2\r\n3\0\r\nafter"s, "A\r\n1\r\n3\r\nnew\r\n"},
  };
  for (const Case& c : cases) {
    TableFile file = TableFile::FromText(c.text);
    const std::uint64_t unchanged = file.WriteBack(path);
    EXPECT_EQ(unchanged, ContentHash::Of(TempFolder::Read(path))) << c.text;
    EXPECT_EQ(unchanged, file.TextHash());
    file.Append("new");
    file.Erase(2);
    EXPECT_EQ(file.WriteBack(path), ContentHash::Of(c.written)) << c.text;
    EXPECT_EQ(TempFolder::Read(path), c.written) << c.text;
    EXPECT_EQ(file.Text(), c.written);
  }
}

TEST(CompactLines, AddingAndDeletingAgainKeepsTheLinesRight) {
  TableFile file = TableFile::FromText("A\r\n1\r\n2\r\n");
  for (int i = 0; i < 1000; ++i) {
    file.Append(std::string("x").append(std::to_string(i)));
    file.Replace(1, std::string("r").append(std::to_string(i)));
    file.Erase(file.LineCount() - 1);
  }
  file.Append("last");
  EXPECT_EQ(file.Text(), "A\r\nr999\r\n2\r\nlast\r\n");
}

TEST(CompactLines, ALineTooLongForAnEntryIsKeptWhole) {
  TempFolder folder;
  const std::string longLine((std::size_t{8} << 20) + 5, 'L');
  const std::string text = std::string("A\r\n").append(longLine).append("\r\nb\r\n");
  const std::string path = folder.Write("t.dat", text);
  TableFile file = TableFile::Load(path);
  ASSERT_EQ(file.LineCount(), 3u);
  EXPECT_TRUE(file.Line(1) == longLine);
  EXPECT_EQ(file.Line(2), "b");
  file.WriteBack(path);
  EXPECT_TRUE(TempFolder::Read(path) == text);
}

TEST(LineWriter, StretchesGoOutWholeWhenLongAndGatheredWhenShort) {
  std::vector<std::string> pieces;
  LineWriter writer(
      [&](std::string_view piece) {
        pieces.emplace_back(piece);
        return true;
      },
      8);
  EXPECT_TRUE(writer.Stretch("ab\r\n"));
  EXPECT_TRUE(writer.Line("c"));
  EXPECT_TRUE(writer.Stretch("0123456789\r\n"));
  EXPECT_TRUE(writer.Line("d"));
  EXPECT_TRUE(writer.Finish());
  EXPECT_EQ(pieces, (std::vector<std::string>{"ab\r\nc\r\n", "0123456789\r\n", "d\r\n"}));
  int calls = 0;
  LineWriter failing([&](std::string_view) { return ++calls > 5; }, 4);
  EXPECT_FALSE(failing.Stretch("0123456789"));
  EXPECT_FALSE(failing.Line("x"));
  EXPECT_FALSE(failing.Finish());
  EXPECT_EQ(calls, 1);  // nothing more is written after a failure
}
