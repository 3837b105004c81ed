// A table file scanned through a small buffer gives the header and the lines
// holding a text, with their indices, that the whole file read gives.
#include "storage/table/table_file_scan.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "storage/table/table_file.h"
#include "tests/support/temp_folder.h"

namespace {

std::vector<std::pair<std::size_t, std::string>> AsPairs(
    const std::vector<TableFileScan::Line>& lines) {
  std::vector<std::pair<std::size_t, std::string>> pairs;
  for (const TableFileScan::Line& line : lines) pairs.emplace_back(line.index, line.text);
  return pairs;
}

// Every line end TableFile reads, empty lines, a NUL and the lines after it,
// lines longer than a piece, and pieces that end anywhere.
TEST(TableFileScan, GivesTheHeaderAndTheLinesTableFileGives) {
  std::mt19937 random(23);
  TempFolder folder;
  for (int round = 0; round < 400; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 60);
    for (int i = 0; i < length; ++i) {
      text.push_back(random() % 97 == 0 ? '\0' : "aab,\r\n"[random() % 6]);
    }
    const std::string path = folder.Write("t.dat", text);
    const TableFile file = TableFile::FromText(text);
    const std::optional<std::string> header =
        file.LineCount() > 0 ? std::optional<std::string>(file.Line(0)) : std::nullopt;
    for (const std::string needle : {"a", "ab", "b,a", "", "a\r\na"}) {
      std::vector<std::pair<std::size_t, std::string>> expected;
      for (std::size_t i = 1; i < file.LineCount(); ++i) {
        if (file.Line(i).find(needle) != std::string_view::npos) {
          expected.emplace_back(i, file.Line(i));
        }
      }
      for (const std::size_t piece : {1, 2, 3, 7, 4096}) {
        TableFileScan scan(path, piece);
        EXPECT_EQ(scan.Header(), header) << testing::PrintToString(text) << " piece " << piece;
        EXPECT_EQ(AsPairs(scan.LinesHolding(needle)), expected)
            << testing::PrintToString(text) << " needle " << testing::PrintToString(needle)
            << " piece " << piece;
        EXPECT_TRUE(scan.LinesHolding(needle).empty());  // read once
      }
    }
  }
}

TEST(TableFileScan, AFileThatCannotBeReadIsRefusedAsLoadRefusesIt) {
  TempFolder folder;
  for (const std::string& path : {folder.File("missing.dat"), folder.Path().string()}) {
    const std::string refused = ErrorOf([&] { TableFile::Load(path); });
    EXPECT_EQ(refused, "Cannot open file " + path);
    EXPECT_EQ(ErrorOf([&] { TableFileScan scan(path); }), refused);
  }
}

}  // namespace
