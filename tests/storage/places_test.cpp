// The municipality table as a register of places: names, the lookup and the
// cursor it leaves.
#include "storage/places.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/tlbcsv.h"
#include "temp_folder.h"

namespace {

class PlacesTest : public ::testing::Test {
 protected:
  Places& Open(const std::string& text) {
    table_.Close();
    table_.SetTableName(folder_.Write("comuni.dat", text));
    table_.SetReadOnly(true);
    table_.Open();
    return places_;
  }

  TempFolder folder_;
  TLbCsv table_{"LbCsv1"};
  Places places_{table_};
};

const char* const kPlaces =
    "comuni,Code,Prov\r\n"
    "ABANO TERME,A001,PD\r\n"
    "CESENA,C573,FC\r\n"
    "FORLI',D704,FC\r\n"
    "ZURIGO,Z133,EE\r\n";

TEST_F(PlacesTest, NamesInFileOrderLeaveTheLastCurrent) {
  Places& places = Open(kPlaces);
  EXPECT_EQ(places.Names(),
            (std::vector<std::string>{"ABANO TERME", "CESENA", "FORLI'", "ZURIGO"}));
  EXPECT_EQ(table_.RecordNumber(), 4);
  EXPECT_EQ(Open("comuni,Code,Prov\r\n").Names(), std::vector<std::string>{});
}

TEST_F(PlacesTest, FindUpperCasesOnlyAToZAndComparesWhole) {
  Places& places = Open(kPlaces);
  EXPECT_TRUE(places.Find("forli'"));
  EXPECT_EQ(table_.RecordNumber(), 3);
  EXPECT_EQ(places.Code(), "D704");
  EXPECT_EQ(places.Province(), "FC");
  EXPECT_TRUE(places.Find("Abano Terme"));
  EXPECT_EQ(table_.RecordNumber(), 1);
  EXPECT_EQ(places.Province(), "PD");
  // No part matches, no trimming, no other letters folded.
  for (const char* miss : {"CESEN", " CESENA", "CESENA ", "FORLI", "ZÜRIGO"}) {
    EXPECT_FALSE(places.Find(miss)) << miss;
    EXPECT_EQ(table_.RecordNumber(), 4) << miss;
    EXPECT_EQ(places.Code(), "Z133") << miss;
  }
}

TEST_F(PlacesTest, StoredLowerCaseNamesAreNeverFound) {
  Places& places = Open("comuni,Code,Prov\r\nroma,H501,RM\r\nMILANO,F205,MI\r\n");
  EXPECT_FALSE(places.Find("roma"));
  EXPECT_EQ(places.Code(), "F205");
}

TEST_F(PlacesTest, ColumnsByNameAndAClosedTable) {
  Places& places = Open("Prov,extra,Code,COMUNI\r\nRM,x,H501,ROMA\r\n");
  EXPECT_TRUE(places.Find("roma"));
  EXPECT_EQ(places.Code(), "H501");
  EXPECT_EQ(places.Province(), "RM");
  table_.Close();
  EXPECT_EQ(ErrorOf([&] { places.Find("ROMA"); }),
            "LbCsv1: Cannot perform this operation on a closed dataset");
  Open("comuni,Code\r\nROMA,H501\r\n");
  EXPECT_EQ(ErrorOf([&] { places.Province(); }), "LbCsv1: Field 'Prov' not found");
}

}  // namespace
