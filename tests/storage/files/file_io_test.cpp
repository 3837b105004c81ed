#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "storage/files/content_hash.h"
#include "storage/files/file_io.h"
#include "storage/files/line_writer.h"
#include "storage/table/table_file.h"
#include "tests/support/temp_folder.h"

using namespace std::string_literals;

TEST(ContentHash, DependsOnTheWholeSequenceNotOnHowItIsGiven) {
  std::mt19937 random(7);
  std::string text(1000, '\0');
  for (char& c : text) c = static_cast<char>(random());
  const std::uint64_t whole = ContentHash::Of(text);
  for (int trial = 0; trial < 200; ++trial) {
    ContentHash pieces;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t size = std::min<std::size_t>(random() % 70, text.size() - at);
      pieces.Add(std::string_view(text).substr(at, size));
      at += size;
    }
    ASSERT_EQ(pieces.Value(), whole);
  }
}

TEST(ContentHash, EveryChangedBitAndEveryLengthGivesAnotherValue) {
  const std::string text = "Cognome,Nome\r\nROSSI,MARIO\r\nBIANCHI,ANNA\r\nVERDI,LUCA,,\r\n";
  std::set<std::uint64_t> seen = {ContentHash::Of(text)};
  for (std::size_t at = 0; at < text.size(); ++at) {
    for (int bit = 0; bit < 8; ++bit) {
      std::string changed = text;
      changed[at] = static_cast<char>(changed[at] ^ (1 << bit));
      EXPECT_TRUE(seen.insert(ContentHash::Of(changed)).second) << at << " " << bit;
    }
  }
  // Trailing zero bytes are bytes too.
  std::string zeros;
  for (int length = 0; length < 70; ++length, zeros += '\0') {
    EXPECT_TRUE(seen.insert(ContentHash::Of(zeros)).second) << length;
  }
}

TEST(LineWriter, GathersLinesInPiecesNoLongerThanTheBuffer) {
  std::vector<std::string> texts;
  for (int length = 0; length < 20; ++length) texts.push_back(std::string(length, 'a' + length));
  const std::vector<std::string_view> lines(texts.begin(), texts.end());
  std::string expected;
  for (const std::string& line : texts) expected += line + "\r\n";
  for (const std::size_t bufferSize : {1u, 2u, 3u, 8u, 21u, 22u, 1000u}) {
    std::string written;
    std::size_t calls = 0;
    EXPECT_TRUE(WriteLinesThrough(
        lines,
        [&](std::string_view piece) {
          ++calls;
          // A piece is a filled buffer or a single line too long for it.
          EXPECT_TRUE(piece.size() <= std::max<std::size_t>(bufferSize, 2) ||
                      piece.find_first_of("\r\n") == std::string_view::npos);
          written += piece;
          return true;
        },
        bufferSize));
    EXPECT_EQ(written, expected) << bufferSize;
    if (bufferSize == 1000) {
      EXPECT_EQ(calls, 1u);
    }
  }
  int calls = 0;
  EXPECT_FALSE(WriteLinesThrough(
      lines, [&](std::string_view) { return ++calls < 2; }, 8));
  EXPECT_EQ(calls, 2);  // nothing more is written after a failure
  std::string none = "untouched";
  EXPECT_TRUE(WriteLinesThrough({}, [&](std::string_view piece) {
    none = piece;
    return true;
  }));
  EXPECT_EQ(none, "untouched");
}

TEST(SafeReplace, StreamedLinesLongerAndShorterThanTheBufferReachTheFile) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", "old\r\n");
  const std::string longLine(3u << 20, 'L');
  std::vector<std::string> texts = {"Cognome,Nome", longLine};
  for (int i = 0; i < 20000; ++i) texts.push_back("ROSSI" + std::to_string(i) + ",MARIO");
  texts.push_back(longLine);
  const std::vector<std::string_view> lines(texts.begin(), texts.end());
  ASSERT_TRUE(ReplaceFileLines(path, lines));
  std::string expected;
  for (const std::string& line : texts) expected += line + "\r\n";
  EXPECT_TRUE(TempFolder::Read(path) == expected);
  EXPECT_EQ(folder.EntryCount(), 1);
}

TEST(TableFileLostBytes, TellsWhetherTheTextHeldANul) {
  EXPECT_FALSE(TableFile::FromText("A\r\nx\r\n").LostBytes());
  EXPECT_FALSE(TableFile().LostBytes());
  EXPECT_TRUE(TableFile::FromText("A\r\nx\0y\r\n"s).LostBytes());
  EXPECT_TRUE(TableFile::FromText("A\r\nx\r\n\0"s).LostBytes());
  TempFolder folder;
  EXPECT_TRUE(TableFile::Load(folder.Write("t.dat", "\0A\r\n"s)).LostBytes());
}

TEST(TableFileHashes, AreThoseOfTheBytesReadAndOfTheTextWritten) {
  TempFolder folder;
  const std::string bytes = "A,B\n1,2\r\n\r\n3,4\0hidden"s;
  const std::string path = folder.Write("t.dat", bytes);
  TableFile file = TableFile::Load(path);
  EXPECT_EQ(file.ReadHash(), ContentHash::Of(bytes));
  EXPECT_EQ(file.TextHash(), ContentHash::Of(file.Text()));
  file.Append("5,6");
  file.Erase(1);
  EXPECT_EQ(file.TextHash(), ContentHash::Of("A,B\r\n3,4\r\n5,6\r\n"));
  file.WriteBack(path);
  EXPECT_EQ(ContentHash::Of(TempFolder::Read(path)), file.TextHash());
  EXPECT_EQ(TableFile::Load(path).ReadHash(), file.TextHash());
}

// Files of a few megabytes are read into blocks of their own from the
// system: every byte must land, at any length around a page or huge page.
TEST(LargeFiles, AreReadWholeAndTheirLinesKept) {
  TempFolder folder;
  std::mt19937 random(11);
  constexpr std::size_t kHugePage = std::size_t{2} << 20;
  for (const std::size_t size :
       {LargeBlockAllocator<char>::kLargeBlock - 1, LargeBlockAllocator<char>::kLargeBlock,
        kHugePage - 1, kHugePage, kHugePage + 4097, 3 * kHugePage + 5}) {
    std::string text = "Cognome,CodiceFiscale\r\n";
    while (text.size() + 40 < size) {
      text.append("P").append(std::to_string(random())).append(",");
      text.append(std::to_string(random())).append("\r\n");
    }
    text += std::string(size - 2 - text.size(), 'X') + "\r\n";
    const std::string path = folder.Write("big.dat", text);
    const std::optional<FileBytes> bytes = ReadWholeFile(path);
    ASSERT_TRUE(bytes.has_value()) << size;
    EXPECT_EQ(bytes->size(), size);
    EXPECT_TRUE(*bytes == text) << size;
    const TableFile file = TableFile::Load(path);
    EXPECT_EQ(file.ReadHash(), ContentHash::Of(text)) << size;
    EXPECT_TRUE(file.Text() == text) << size;
    EXPECT_EQ(file.Line(file.LineCount() - 1),
              std::string(size - 2 - text.rfind("\r\n", size - 3) - 2, 'X'));
  }
}

TEST(LargeBlockAllocator, AVectorKeepsItsElementsAsItGrowsPastTheThresholdAndBack) {
  const auto value = [](std::uint64_t k) { return k * 0x9E3779B97F4A7C15ull; };
  std::vector<std::uint64_t, LargeBlockAllocator<std::uint64_t>> values;
  constexpr std::uint64_t kCount = 3 * (std::uint64_t{2} << 20) / sizeof(std::uint64_t) + 3;
  for (std::uint64_t k = 0; k < kCount; ++k) values.push_back(value(k));
  std::uint64_t wrong = 0;
  for (std::uint64_t k = 0; k < kCount; ++k) wrong += values[k] != value(k);
  EXPECT_EQ(wrong, 0u);
  values.resize(10);
  values.shrink_to_fit();
  EXPECT_EQ(values.back(), value(9));
}

TEST(OriginalCopy, IsTheWholeFileBesideItUnderTheFirstFreeName) {
  TempFolder folder;
  const std::string bytes = "Cognome\r\nROSSI\0\x01\xff tail\r\n"s;
  const std::string path = folder.Write("archivio.dat", bytes);
#ifndef _WIN32
  std::filesystem::permissions(path, std::filesystem::perms(0600));
#endif
  EXPECT_EQ(CopyBesideAsOriginal(path), path + ".orig");
  EXPECT_EQ(CopyBesideAsOriginal(path), path + ".orig.2");
  std::filesystem::create_directory(path + ".orig.3");  // taken, even by a folder
  EXPECT_EQ(CopyBesideAsOriginal(path), path + ".orig.4");
  for (const std::string copy : {".orig", ".orig.2", ".orig.4"}) {
    EXPECT_EQ(TempFolder::Read(path + copy), bytes) << copy;
#ifndef _WIN32
    EXPECT_EQ(std::filesystem::status(path + copy).permissions(), std::filesystem::perms(0600));
#endif
  }
  EXPECT_EQ(TempFolder::Read(path), bytes);
  const std::string missing = folder.File("missing.dat");
  EXPECT_EQ(ErrorOf([&] { CopyBesideAsOriginal(missing); }), "Cannot open file " + missing);
}

TEST(FileStamp, ChangesWithEveryWriteAndNotWithoutOne) {
  TempFolder folder;
  const std::string path = folder.File("archivio.dat");
  EXPECT_FALSE(StampOf(path).exists);
  ASSERT_TRUE(ReplaceFileContents(path, "abc"));
  const FileStamp first = StampOf(path);
  EXPECT_TRUE(first.exists);
  EXPECT_EQ(first.size, 3u);
  EXPECT_EQ(StampOf(path), first);
  // Same size, and likely the same clock tick: still another stamp.
  ASSERT_TRUE(ReplaceFileContents(path, "xyz"));
  const FileStamp second = StampOf(path);
  EXPECT_NE(second, first);
#ifndef _WIN32
  // The standard library on Windows sets file times to the second only.
  const auto time = std::filesystem::file_time_type(std::chrono::seconds(1700000000));
  std::filesystem::last_write_time(path, time);
  const FileStamp touched = StampOf(path);
  EXPECT_NE(touched, second);
  std::filesystem::last_write_time(path, time + std::chrono::nanoseconds(1500));
  EXPECT_EQ(StampOf(path).modified - touched.modified, 1500);
#endif
}
