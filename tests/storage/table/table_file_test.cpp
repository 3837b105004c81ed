#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "storage/table/record_format.h"
#include "storage/table/table_file.h"
#include "storage/table/tlb_csv.h"
#include "tests/support/temp_folder.h"

using Values = std::vector<std::string>;
using namespace std::string_literals;

namespace {

std::vector<std::string> LinesOf(const TableFile& file) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < file.LineCount(); ++i) lines.emplace_back(file.Line(i));
  return lines;
}

}  // namespace

TEST(TableFileLoad, SplitsAtEveryLineEndDropsEmptyLinesAndStopsAtNul) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"A,B\r\n1,2\r\n", {"A,B", "1,2"}},
      {"A,B\n1,2\n3,4", {"A,B", "1,2", "3,4"}},
      {"A,B\r1,2\r", {"A,B", "1,2"}},
      {"A,B\n\r1,2", {"A,B", "1,2"}},  // LF then CR: two line ends
      {"\r\n\n\rA,B\r\n\r\n1,2\r\n\r\n", {"A,B", "1,2"}},
      {"A,B\r\n  \r\n", {"A,B", "  "}},
      {"A,B\r\n1,2\r\n3,\0004\r\n5,6\r\n"s, {"A,B", "1,2", "3,"}},
      {"\0A,B\r\n"s, {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LinesOf(TableFile::FromText(c.text)), c.lines) << c.text;
  }
}

TEST(TableFileLoad, UnreadableFileIsCannotOpenWithItsPath) {
  TempFolder folder;
  const std::string missing = folder.File("missing.dat");
  EXPECT_EQ(ErrorOf([&] { TableFile::Load(missing); }), "Cannot open file " + missing);
  std::filesystem::create_directory(folder.File("dir.dat"));
  EXPECT_EQ(ErrorOf([&] { TableFile::Load(folder.File("dir.dat")); }),
            "Cannot open file " + folder.File("dir.dat"));
}

TEST(TableFileHeader, SplitsAtEveryCommaWithoutQuotingOrTrimming) {
  EXPECT_EQ(SplitHeader("A,B"), (Values{"A", "B"}));
  EXPECT_EQ(SplitHeader("A,,B"), (Values{"A", "", "B"}));
  EXPECT_EQ(SplitHeader("A,B,"), (Values{"A", "B", ""}));
  EXPECT_EQ(SplitHeader("\"A,B\", C "), (Values{"\"A", "B\"", " C "}));
}

TEST(TableFileRecord, ParserReadsQuotingAsWritten) {
  struct Case {
    std::string line;
    Values values;
  };
  const std::vector<Case> cases = {
      {R"(x,"y, z","say ""hi""")", {"x", "y, z", "say \"hi\""}},
      {R"(ab"c,d"e)", {"abc,de"}},  // a quote opens quoting anywhere
      {R"(a""b,c)", {"ab", "c"}},   // two quotes outside quotes add nothing
      {R"("""")", {"\""}},
      {R"(a,"b,c)", {"a"}},  // unclosed: that value and the rest are lost
      {R"(a,"b"",c)", {"a"}},
      {"   ", {"   "}},
      {" a , b ", {" a ", " b "}},
      {",", {"", ""}},
      {"", {""}},
  };
  for (const Case& c : cases) {
    Values values{"stale"};
    ParseRecord(c.line, values);
    EXPECT_EQ(values, c.values) << c.line;
  }
}

TEST(TableFileRecord, WriterQuotesOnlyCommasAndQuotes) {
  struct Case {
    Values values;
    std::string line;
  };
  const std::vector<Case> cases = {
      {{"x", "y, z", "say \"hi\""}, R"(x,"y, z","say ""hi""")"},
      {{" lead", "trail ", ""}, " lead,trail ,"},
      {{"", ""}, ","},
      {{""}, R"("")"},                    // an empty line would be dropped on loading
      {{"a\r\nb", "c\0d"s}, "a  b,c d"},  // no line end inside a line
  };
  for (const Case& c : cases) EXPECT_EQ(WriteRecord(c.values), c.line);
  Values back;
  ParseRecord(WriteRecord({""}), back);
  EXPECT_EQ(back, Values{""});
}

TEST(TableFileRecord, WorkedExampleIsWrittenAndReadByteForByte) {
  TempFolder folder;
  const std::string path = folder.Write("t.dat", "A,B,C\r\n");
  {
    TLbCsv table("LbCsv2");
    table.SetTableName(path);
    table.Open();
    table.Insert();
    table.FieldNamed("A").SetText("x");
    table.FieldNamed("B").SetText("y, z");
    table.FieldNamed("C").SetText("say \"hi\"");
    table.Post();
    table.Close();
  }
  EXPECT_EQ(TempFolder::Read(path), "A,B,C\r\nx,\"y, z\",\"say \"\"hi\"\"\"\r\n");
  TLbCsv table;
  table.SetTableName(path);
  table.SetReadOnly(true);
  table.Open();
  EXPECT_EQ(table.RecordValues(1), (Values{"x", "y, z", "say \"hi\""}));
}

TEST(TableFileRecord, RandomValuesRoundTripThroughTheFile) {
  TempFolder folder;
  const std::string path = folder.Write("t.dat", "One,Two,Three,Four\r\n");
  std::mt19937 random(20240611);
  const std::string alphabet = "ab ,\"Z9'.;-";
  auto randomValue = [&] {
    const int kind = static_cast<int>(random() % 8);
    std::size_t length = kind == 0 ? 255 : random() % 12;
    std::string value;
    for (std::size_t i = 0; i < length; ++i) value += alphabet[random() % alphabet.size()];
    return value;
  };
  std::vector<Values> records(300);
  {
    TLbCsv table;
    table.SetTableName(path);
    table.Open();
    for (Values& record : records) {
      table.Insert();
      for (int column = 0; column < 4; ++column) {
        record.push_back(randomValue());
        table.Field(column).SetText(record.back());
      }
      table.Post();
    }
    table.Close();
  }
  TLbCsv table;
  table.SetTableName(path);
  table.Open();
  ASSERT_EQ(table.RecordCount(), static_cast<int>(records.size()));
  for (const Values& record : records) {
    Values read;
    for (int column = 0; column < 4; ++column) read.push_back(table.Field(column).Text());
    ASSERT_EQ(read, record) << "record " << table.RecordNumber();
    table.Next();
  }
}

TEST(TableFileWriteBack, CrLfAfterEveryLineAndUnreadLinesUnchanged) {
  TempFolder folder;
  const std::string longValue(300, 'L');
  // LF, CR and CR LF ends, blank lines, quoting the writer would not produce,
  // lines beyond the limits and text after a NUL.
  const std::string text = std::string("\nA,B,C\n\nq\"u\"o,\"\"\"\",  \r") + longValue +
                           ",b,c,extra,more\r\nshort\n" + "u,\"unclosed,c\r\n" +
                           "last,,\0hidden,x,y\r\n"s;
  const std::string path = folder.Write("t.dat", text);
  TLbCsv table;
  table.SetTableName(path);
  table.Open();
  ASSERT_EQ(table.RecordCount(), 5);
  EXPECT_EQ(table.RecordValues(1), (Values{"quo", "\"", "  "}));
  EXPECT_EQ(table.RecordValues(2), (Values{longValue, "b", "c"}));
  EXPECT_EQ(table.RecordValues(3), (Values{"short", "", ""}));
  EXPECT_EQ(table.RecordValues(4), (Values{"u", "", ""}));
  EXPECT_EQ(table.RecordValues(5), (Values{"last", "", ""}));
  table.Close();
  EXPECT_EQ(TempFolder::Read(path), "A,B,C\r\nq\"u\"o,\"\"\"\",  \r\n" + longValue +
                                        ",b,c,extra,more\r\nshort\r\nu,\"unclosed,c\r\nlast,,\r\n");
}

TEST(TableFileWriteBack, AnyLineEndsBecomeOneCrLf) {
  const std::vector<std::string> texts = {"A,B\r\nx,y\r\n",     "A,B\r\nx,y",
                                          "A,B\n\nx,y\n\n",     "A,B\r\r\nx,y\r\n",
                                          "\r\nA,B\n\rx,y\n\r", "A,B\r\nx,y\r\n\0A,B\r\n"s,
                                          "A,B\rx,y\r",         "A,B\r\nx,y\r\r\n"};
  TempFolder folder;
  for (const std::string& text : texts) {
    const std::string path = folder.Write("t.dat", text);
    TLbCsv table;
    table.SetTableName(path);
    table.Open();
    table.Close();
    EXPECT_EQ(TempFolder::Read(path), "A,B\r\nx,y\r\n") << text;
  }
}

// FindLine searches the text read as a whole; it must give what asking each
// line in turn gives, whatever was erased, replaced or appended, and where a
// hit runs over a line end or lies in an erased line.
TEST(TableFileFindLine, GivesWhatALineByLineSearchGives) {
  std::mt19937 random(7);
  const auto word = [&](int most) {
    std::string text;
    const int length = static_cast<int>(random() % static_cast<unsigned>(most + 1));
    for (int i = 0; i < length; ++i) text.push_back("ab,"[random() % 3]);
    return text;
  };
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int count = 1 + static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) text += word(6) + (random() % 4 == 0 ? "\n" : "\r\n");
    TableFile file = TableFile::FromText(text);
    for (int edit = static_cast<int>(random() % 5); edit > 0; --edit) {
      const std::size_t at = file.LineCount() == 0 ? 0 : random() % file.LineCount();
      switch (random() % 3) {
        case 0:
          if (file.LineCount() > 0) file.Erase(at);
          break;
        case 1:
          if (file.LineCount() > 0) file.Replace(at, word(5));
          break;
        default:
          file.Append(word(5));
      }
    }
    const std::string needle = word(3);
    const std::size_t from = random() % (file.LineCount() + 1);
    // Takes only some of the lines holding it, so later hits are looked at too.
    const unsigned taken = random() % 3;
    const auto accept = [&](std::string_view line) { return line.size() % 3 != taken; };
    std::size_t expected = file.LineCount();
    for (std::size_t i = from; i < file.LineCount(); ++i) {
      if (file.Line(i).find(needle) != std::string_view::npos && accept(file.Line(i))) {
        expected = i;
        break;
      }
    }
    const std::size_t found = file.FindLine(needle, from, [&](std::string_view line) {
      EXPECT_NE(line.find(needle), std::string_view::npos) << "asked of a line without it";
      return accept(line);
    });
    ASSERT_EQ(found, expected) << "text " << testing::PrintToString(text) << " needle " << needle
                               << " from " << from;
  }
}

TEST(TableFileHeader, BadHeadersKeepTheTableClosedAndTheFileUntouched) {
  struct Case {
    std::string text;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"", "List index out of bounds (0)"},
      {"\r\n\n\r", "List index out of bounds (0)"},
      {"A,B,\r\n1,2,\r\n", "LbCsv2: Field name missing"},
      {"A,,B\r\n", "LbCsv2: Field name missing"},
      {"Nome,Sex,NOME\r\nx,y,z\r\n", "A component named NOME already exists"},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    const std::string path = folder.Write("t.dat", c.text);
    {
      TLbCsv table("LbCsv2");
      table.SetTableName(path);
      EXPECT_EQ(ErrorOf([&] { table.Open(); }), c.error) << c.text;
      EXPECT_FALSE(table.Active());
      table.Close();
    }
    EXPECT_EQ(TempFolder::Read(path), c.text);
  }
}

TEST(TableFileHeader, NamesDifferByBlanksButNotByCaseAndManyColumnsOpen) {
  TempFolder folder;
  TLbCsv table;
  table.SetReadOnly(true);
  table.SetTableName(folder.Write("blank.dat", "Code ,Code,\"Prov\"\r\nA,B,C\r\n"));
  table.Open();
  EXPECT_EQ(table.FieldNamed("code ").Text(), "A");
  EXPECT_EQ(table.FieldNamed("cODE").Text(), "B");
  EXPECT_EQ(table.FieldNamed("\"prov\"").Text(), "C");

  // More columns than the 256 a record once had room for: accepted.
  std::string header = "C0";
  for (int i = 1; i < 300; ++i) header += std::string(",C") + std::to_string(i);
  table.SetTableName(folder.Write("wide.dat", header + "\r\n" + std::string(299, ',') + "v\r\n"));
  table.Open();
  EXPECT_EQ(table.FieldCount(), 300);
  EXPECT_EQ(table.FieldNamed("c299").Text(), "v");
}
