// The archive's rules, on every kind of archive: the duplicate check and its
// cursor, what is stored, and two desks on one archive.
#include <gtest/gtest.h>

#include "tests/support/archive_kinds.h"

namespace {

const ArchiveRecord kFirst{"A", "B", "M", "X", "01/01/1980", "CODE1"};
const ArchiveRecord kSecond{"C", "D", "F", "Y", "02/02/1990", "CODE2"};
const ArchiveRecord kThird{"E", "F", "M", "Z", "03/03/2000", "CODE3"};

template <typename Kind>
using ArchiveRules = ArchiveKindTest<Kind>;
TYPED_TEST_SUITE(ArchiveRules, ArchiveKinds, ArchiveKindName);

TYPED_TEST(ArchiveRules, FindCodeStopsOnTheMatchOrOnTheLastRecord) {
  Archive& archive = this->Open({kFirst, kSecond, kThird});
  TLbCsv& table = this->table_;
  EXPECT_TRUE(archive.FindCode("CODE2"));
  EXPECT_EQ(table.RecordNumber(), 2);
  EXPECT_TRUE(archive.FindCode("CODE1"));
  EXPECT_EQ(table.RecordNumber(), 1);
  // Exact and case-sensitive; a miss leaves the last record current.
  EXPECT_FALSE(archive.FindCode("code2"));
  EXPECT_EQ(table.RecordNumber(), 3);
  EXPECT_FALSE(archive.FindCode("CODE"));
  EXPECT_EQ(table.RecordNumber(), 3);
}

TYPED_TEST(ArchiveRules, FindCodeOnAnEmptyArchive) {
  Archive& archive = this->Open({});
  EXPECT_FALSE(archive.FindCode("CODE1"));
  EXPECT_TRUE(this->table_.Empty());
}

// Quotes, commas, SQL and letters beyond A-Z are values like any other.
TYPED_TEST(ArchiveRules, AddedValuesAreStoredAsTyped) {
  Archive& archive = this->Open({kFirst});
  const ArchiveRecord person{"O'Brien'); DROP TABLE archivio;--",
                             "MARIA, \"GRAZIA\"",
                             "F",
                             "Forlì",
                             "05/01/1980",
                             "BRNMRA80A45D704X"};
  archive.Add(person);
  EXPECT_EQ(archive.LastError(), "");
  EXPECT_EQ(archive.Current(), person);
  TLbCsv other;
  EXPECT_EQ(this->OtherDesk(other)->Records(), (std::vector<ArchiveRecord>{kFirst, person}));
}

// Another desk's changes are taken in by the duplicate check.
TYPED_TEST(ArchiveRules, FindCodeSeesAnotherDesksChanges) {
  Archive& archive = this->Open({kFirst, kSecond});
  TLbCsv other;
  std::unique_ptr<Archive> desk = this->OtherDesk(other);
  desk->Add(kThird);
  ASSERT_TRUE(desk->FindCode("CODE1"));
  desk->DeleteCurrent();
  EXPECT_TRUE(archive.FindCode("CODE3"));
  EXPECT_FALSE(archive.FindCode("CODE1"));
  EXPECT_EQ(archive.Records(), (std::vector<ArchiveRecord>{kSecond, kThird}));
}

// Both checked before either stored it: the archive keeps one record.
TYPED_TEST(ArchiveRules, OnePersonArchivedByTwoDesksAtOnceIsStoredOnce) {
  Archive& archive = this->Open({kFirst});
  TLbCsv other;
  std::unique_ptr<Archive> desk = this->OtherDesk(other);
  EXPECT_FALSE(archive.FindCode("CODE2"));
  EXPECT_FALSE(desk->FindCode("CODE2"));
  archive.Add(kSecond);
  desk->Add(kSecond);
  EXPECT_EQ(archive.LastError() + desk->LastError(), "");
  TLbCsv third;
  EXPECT_EQ(this->OtherDesk(third)->Records(), (std::vector<ArchiveRecord>{kFirst, kSecond}));
}

}  // namespace
