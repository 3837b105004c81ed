// The municipality table shipped with the program, read as the program reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "storage/tlbcsv.h"

namespace {

struct Place {
  std::string code;
  std::string province;
};

class ShippedMunicipalities : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    TLbCsv table("LbCsv1");
    table.SetTableName(std::string(VIVEZE_DATA_DIR) + "/comuni.dat");
    table.SetReadOnly(true);
    table.Open();
    header_ = {table.Field(0).FieldName(), table.Field(1).FieldName(), table.Field(2).FieldName()};
    fieldCount_ = table.FieldCount();
    TStringField& name = table.FieldNamed("comuni");
    TStringField& code = table.FieldNamed("Code");
    TStringField& province = table.FieldNamed("Prov");
    table.First();
    while (!table.AtEnd()) {
      names_.push_back(name.Text());
      places_[name.Text()] = {code.Text(), province.Text()};
      table.Next();
    }
  }

  static inline std::vector<std::string> header_;
  static inline int fieldCount_ = 0;
  static inline std::vector<std::string> names_;
  static inline std::map<std::string, Place> places_;
};

TEST_F(ShippedMunicipalities, HasTheColumnsTheProgramReads) {
  EXPECT_EQ(fieldCount_, 3);
  EXPECT_EQ(header_, (std::vector<std::string>{"comuni", "Code", "Prov"}));
}

TEST_F(ShippedMunicipalities, NamesAreUniqueSortedUpperCaseAscii) {
  EXPECT_EQ(places_.size(), names_.size()) << "a name appears twice";
  EXPECT_TRUE(std::is_sorted(names_.begin(), names_.end()));
  for (const std::string& name : names_) {
    ASSERT_FALSE(name.empty());
    for (unsigned char c : name) {
      // Only what any keyboard types and the lookup's upper-casing leaves alone.
      ASSERT_TRUE(c >= 0x20 && c < 0x7F && !(c >= 'a' && c <= 'z')) << name;
    }
    EXPECT_EQ(name.front() == ' ' || name.back() == ' ', false) << name;
  }
}

TEST_F(ShippedMunicipalities, CodesMakeSixteenCharacterFiscalCodes) {
  int italian = 0;
  int foreign = 0;
  std::set<std::string> codes;
  for (const auto& [name, place] : places_) {
    const std::string& c = place.code;
    ASSERT_EQ(c.size(), 4u) << name;
    EXPECT_TRUE(c[0] >= 'A' && c[0] <= 'Z' && isdigit(c[1]) && isdigit(c[2]) && isdigit(c[3]))
        << name << " " << c;
    EXPECT_TRUE(codes.insert(c).second) << "code used twice: " << c;
    if (place.province == "EE") {
      ++foreign;
      EXPECT_EQ(c[0], 'Z') << name;
    } else {
      ++italian;
      EXPECT_EQ(place.province.size(), 2u) << name;
      EXPECT_NE(c[0], 'Z') << name;
    }
  }
  EXPECT_GE(italian, 7800);
  EXPECT_GE(foreign, 200);
}

TEST_F(ShippedMunicipalities, WellKnownPlaces) {
  const std::map<std::string, Place> known = {
      {"CESENA", {"C573", "FC"}},
      {"ROMA", {"H501", "RM"}},
      {"MILANO", {"F205", "MI"}},
      {"FORLI'", {"D704", "FC"}},
      {"FRANCIA", {"Z110", "EE"}},
      {"TORINO", {"L219", "TO"}},
      {"NAPOLI", {"F839", "NA"}},
      {"CANTU'", {"B639", "CO"}},
      {"CASTRO (BG)", {"C337", "BG"}},
      {"CASTRO (LE)", {"M261", "LE"}},
      {"PALAU", {"G258", "SS"}},
      {"PALAU (EE)", {"Z734", "EE"}},
      {"CECOSLOVACCHIA", {"Z105", "EE"}},
      {"UNIONE SOVIETICA", {"Z135", "EE"}},
      {"STATI UNITI D'AMERICA", {"Z404", "EE"}},
  };
  for (const auto& [name, expected] : known) {
    const auto found = places_.find(name);
    ASSERT_NE(found, places_.end()) << name;
    EXPECT_EQ(found->second.code, expected.code) << name;
    EXPECT_EQ(found->second.province, expected.province) << name;
  }
}

}  // namespace
