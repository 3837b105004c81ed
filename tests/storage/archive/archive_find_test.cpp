// Finding people in the archive: what a text finds, and the find following
// the archive as records come and go, on the file and on the database.
#include "storage/archive/archive_find.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/short_date.h"
#include "tests/support/archive_kinds.h"

namespace {

const std::vector<ArchiveRecord> kPeople = {
    {"ROSSI", "MARIO", "M", "MONTALCINO", "15/03/1975", "RSSMRA75C15F402O"},
    {"ROSSI", "MARIA", "F", "ROMA", "02/01/1980", "RSSMRA80A42H501X"},
    {"ROSSINI", "MARIO", "M", "CESENA", "01/06/1976", "RSSMRA76H01C573Z"},
    {"BIANCHI", "ROSSINA", "F", "ROMA", "10/10/1990", "BNCRSN90R50H501Y"},
    {"DE LUCA", "ANNA", "F", "ROMA", "05/05/1985", "DLCNNA85E45H501W"},
    {"D'ÀNGELO", "LUCA", "M", "ROMA", "07/07/1977", "DNGLCU77L07H501V"},
};

// The codes of the records `typed` finds.
std::set<std::string> Found(ArchiveFind& find, const TLbCsv& table, const std::string& typed) {
  const RecordSet set = find.Search(typed);
  std::set<std::string> codes;
  for (int record = set.NextFrom(1); record != 0; record = set.NextFrom(record + 1)) {
    codes.insert(table.RecordValues(record)[5]);
  }
  EXPECT_EQ(static_cast<int>(codes.size()), set.Count()) << typed;
  return codes;
}

template <typename Kind>
using ArchiveFinding = ArchiveKindTest<Kind>;
TYPED_TEST_SUITE(ArchiveFinding, ArchiveKinds, ArchiveKindName);

TYPED_TEST(ArchiveFinding, ATextFindsByNameCodeOrBirthDate) {
  SetShortDateFormat("dd/MM/yyyy");
  this->Open(kPeople);
  ArchiveFind find(this->table_);
  const std::string mario75 = "RSSMRA75C15F402O", maria = "RSSMRA80A42H501X",
                    rossini = "RSSMRA76H01C573Z", rossana = "BNCRSN90R50H501Y",
                    deLuca = "DLCNNA85E45H501W", dAngelo = "DNGLCU77L07H501V";
  const struct {
    const char* typed;
    std::set<std::string> codes;
  } cases[] = {
      // A word: the start of a surname or of a name, or of a code.
      {"rossi", {mario75, maria, rossini, rossana}},
      {"RSSMRA", {mario75, maria, rossini}},
      // Surname then name, the last word begun; or name then surname.
      {"ROSSI MARIO", {mario75}},
      {"rossi ma", {mario75, maria}},
      {"MARIO ROSSI", {mario75, rossini}},
      // Folded as names are: spaces, apostrophes and accents do not count.
      {"de luca", {deLuca}},
      {"DELUCA", {deLuca}},
      {"d'angelo luca", {dAngelo}},
      {"Dàngelo", {dAngelo}},
      // A code, whole or begun, with the spaces of a card.
      {"RSSMRA75", {mario75}},
      {" rss mra 75c15 f402o ", {mario75}},
      // A birth date or a year, alone or with the names.
      {"15/03/1975", {mario75}},
      {"1975-03-15", {mario75}},
      {"1977", {dAngelo}},
      {"rossi 1976", {rossini}},
      // A date still being typed is passed over.
      {"ROSSI MARIO 15/03/19", {mario75}},
      {"", {}},
      {"  ", {}},
      {"VERDI", {}},
      {"RSSMRA99", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Found(find, this->table_, c.typed), c.codes) << c.typed;
}

// What this desk adds and deletes, and what another desk stores, is found
// as soon as the archive holds it: the find's orders follow the table.
TYPED_TEST(ArchiveFinding, FollowsAddsDeletesAndOtherDesks) {
  SetShortDateFormat("dd/MM/yyyy");
  Archive& archive = this->Open(kPeople);
  ArchiveFind find(this->table_);
  ASSERT_EQ(Found(find, this->table_, "ROSSI MARI").size(), 2U);
  archive.Add({"ROSSI", "MARINO", "M", "ROMA", "01/01/1960", "RSSMRN60A01H501T"});
  EXPECT_EQ(Found(find, this->table_, "ROSSI MARI").size(), 3U);
  ASSERT_TRUE(archive.FindCode("RSSMRA80A42H501X"));
  archive.DeleteCurrent();
  EXPECT_EQ(Found(find, this->table_, "ROSSI MARI"),
            (std::set<std::string>{"RSSMRA75C15F402O", "RSSMRN60A01H501T"}));

  TLbCsv other{"LbCsv2"};
  std::unique_ptr<Archive> desk = this->OtherDesk(other);
  desk->Add({"ROSSI", "MARTA", "F", "ROMA", "03/03/1963", "RSSMRT63C43H501U"});
  ASSERT_TRUE(desk->FindCode("RSSMRA75C15F402O"));
  desk->DeleteCurrent();
  // Taken in as a desk takes them in: the database on its timer, the file
  // when it is read again.
  archive.Refresh();
  archive.FindCode("NONE");
  EXPECT_EQ(Found(find, this->table_, "ROSSI MAR"),
            (std::set<std::string>{"RSSMRN60A01H501T", "RSSMRT63C43H501U"}));
}

}  // namespace
