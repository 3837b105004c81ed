#include "storage/table/delimited_text.h"

#include <gtest/gtest.h>

namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(DelimitedText, ReadsWhatSpreadsheetsAndTheRegistryWrite) {
  struct Case {
    std::string what, text;
    char separator;  // given to the reader, 0 to find it
    char found;
    bool byteOrderMark;
    std::vector<std::string> header;
    Rows rows;
  };
  const std::vector<Case> cases = {
      {"registry: byte-order mark, quoted names, bare numbers, CR LF",
       "\xEF\xBB\xBF\"ID\",\"NOME\"\r\n12,\"ABANO\"\r\n1,\"FIÈ\"\r\n",
       0,
       ',',
       true,
       {"ID", "NOME"},
       {{"12", "ABANO"}, {"1", "FIÈ"}}},
      {"semicolon found, LF, no last line end",
       "a;b;c,d\n1;2;3,4",
       0,
       ';',
       false,
       {"a", "b", "c,d"},
       {{"1", "2", "3,4"}}},
      {"comma preferred on a tie", "a;b,c\n", 0, ',', false, {"a;b", "c"}, {}},
      {"tab found", "a\tb\r\n1\t\r\n", 0, '\t', false, {"a", "b"}, {{"1", ""}}},
      {"a quoted separator in the header does not count",
       "\"a;b\",c\n1,2\n",
       0,
       ',',
       false,
       {"a;b", "c"},
       {{"1", "2"}}},
      {"doubled quotes and line breaks inside quotes",
       "a,b\r\n\"say \"\"hi\"\"\",\"x\r\ny\"\r\n",
       0,
       ',',
       false,
       {"a", "b"},
       {{"say \"hi\"", "x\r\ny"}}},
      {"empty lines passed over, empty values kept",
       "a,b\n\n,\n\"\"\n",
       0,
       ',',
       false,
       {"a", "b"},
       {{"", ""}, {""}}},
      {"a quote inside a value is text",
       "a,b\nsay \"hi\",2\n",
       0,
       ',',
       false,
       {"a", "b"},
       {{"say \"hi\"", "2"}}},
      {"separator given", "a;b,c\n1;2,3\n", ',', ',', false, {"a;b", "c"}, {{"1;2", "3"}}},
  };
  for (const Case& c : cases) {
    const auto read = ReadDelimitedText(c.text, c.separator);
    ASSERT_TRUE(read.has_value()) << c.what;
    EXPECT_EQ(read->separator, c.found) << c.what;
    EXPECT_EQ(read->byteOrderMark, c.byteOrderMark) << c.what;
    EXPECT_EQ(read->header, c.header) << c.what;
    EXPECT_EQ(read->rows, c.rows) << c.what;
  }
  EXPECT_FALSE(ReadDelimitedText("a,b\n\"never closed,1\n").has_value());
  EXPECT_FALSE(ReadDelimitedText("\xEF\xBB\xBF\r\n").has_value());
}

}  // namespace
