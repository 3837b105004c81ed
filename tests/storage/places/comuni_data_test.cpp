// The municipality table shipped with the program, read as the program reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "storage/table/tlb_csv.h"

namespace {

struct Place {
  std::string name;
  std::string code;
  std::string province;
  std::string from;   // first day with the code, yyyy-mm-dd
  std::string until;  // last day, empty while in use

  // ISO dates compare as text.
  bool ValidOn(const std::string& day) const {
    return from <= day && (until.empty() || day <= until);
  }
};

bool IsIsoDate(const std::string& s) {
  if (s.size() != 10 || s[4] != '-' || s[7] != '-') return false;
  for (int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (!isdigit(static_cast<unsigned char>(s[i]))) return false;
  }
  const int month = std::stoi(s.substr(5, 2));
  const int day = std::stoi(s.substr(8, 2));
  return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

class ShippedMunicipalities : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    TLbCsv table("LbCsv1");
    table.SetTableName(std::string(VIVEZE_DATA_DIR) + "/comuni.dat");
    table.SetReadOnly(true);
    table.Open();
    for (int i = 0; i < table.FieldCount(); ++i) header_.push_back(table.Field(i).FieldName());
    TStringField& name = table.FieldNamed("comuni");
    TStringField& code = table.FieldNamed("Code");
    TStringField& province = table.FieldNamed("Prov");
    TStringField& from = table.FieldNamed("Dal");
    TStringField& until = table.FieldNamed("Al");
    table.First();
    while (!table.AtEnd()) {
      places_.push_back({name.Text(), code.Text(), province.Text(), from.Text(), until.Text()});
      table.Next();
    }
  }

  static std::vector<Place> Named(const std::string& name) {
    std::vector<Place> found;
    for (const Place& p : places_) {
      if (p.name == name) found.push_back(p);
    }
    return found;
  }

  // The record of `name` valid on `day`, as the program chooses it by birth date.
  static std::optional<Place> On(const std::string& name, const std::string& day) {
    std::optional<Place> found;
    for (const Place& p : Named(name)) {
      if (!p.ValidOn(day)) continue;
      EXPECT_FALSE(found.has_value()) << name << " has two records on " << day;
      found = p;
    }
    return found;
  }

  static inline std::vector<std::string> header_;
  static inline std::vector<Place> places_;
};

TEST_F(ShippedMunicipalities, HasTheSixColumnsInOrder) {
  EXPECT_EQ(header_, (std::vector<std::string>{"comuni", "Code", "Prov", "Dal", "Al", "Lingua"}));
}

TEST_F(ShippedMunicipalities, NamesAreSortedUpperCaseAsciiWithPeriodsInDateOrderThatNeverOverlap) {
  ASSERT_FALSE(places_.empty());
  for (const Place& p : places_) {
    ASSERT_FALSE(p.name.empty());
    for (unsigned char c : p.name) {
      // Only what any keyboard types and the lookup's upper-casing leaves alone.
      ASSERT_TRUE(c >= 0x20 && c < 0x7F && !(c >= 'a' && c <= 'z')) << p.name;
    }
    EXPECT_FALSE(p.name.front() == ' ' || p.name.back() == ' ') << p.name;
    EXPECT_TRUE(IsIsoDate(p.from)) << p.name << " " << p.from;
    EXPECT_TRUE(p.until.empty() || IsIsoDate(p.until)) << p.name << " " << p.until;
    EXPECT_TRUE(p.until.empty() || p.from <= p.until) << p.name << " " << p.code;
  }
  for (size_t i = 1; i < places_.size(); ++i) {
    const Place& a = places_[i - 1];
    const Place& b = places_[i];
    ASSERT_LE(a.name, b.name) << "not in byte order";
    if (a.name != b.name) continue;
    // Same name: the earlier record must end before the next one begins.
    ASSERT_FALSE(a.until.empty()) << a.name << " " << a.code << " is open but not last";
    EXPECT_LT(a.until, b.from) << a.name << ": " << a.code << " and " << b.code << " overlap";
  }
}

// A code stands on a record for each name it had; it is in use while one of
// them is open.
TEST_F(ShippedMunicipalities, CodesMakeSixteenCharacterFiscalCodesAndCountAsDocumented) {
  std::set<std::string> italian, italianInUse, foreign, foreignInUse;
  for (const Place& p : places_) {
    const std::string& c = p.code;
    ASSERT_EQ(c.size(), 4u) << p.name;
    EXPECT_TRUE(c[0] >= 'A' && c[0] <= 'Z' && isdigit(c[1]) && isdigit(c[2]) && isdigit(c[3]))
        << p.name << " " << c;
    const bool open = p.until.empty();
    if (p.province == "EE") {
      foreign.insert(c);
      if (open) foreignInUse.insert(c);
      EXPECT_EQ(c[0], 'Z') << p.name;
    } else {
      italian.insert(c);
      if (open) italianInUse.insert(c);
      EXPECT_EQ(p.province.size(), 2u) << p.name;
      EXPECT_NE(c[0], 'Z') << p.name;
    }
  }
  // The counts data/README.md gives.
  EXPECT_EQ(italianInUse.size(), 7896u);
  EXPECT_EQ(italian.size() - italianInUse.size(), 1967u);
  EXPECT_EQ(foreignInUse.size(), 259u);
  EXPECT_EQ(foreign.size() - foreignInUse.size(), 25u);
}

TEST_F(ShippedMunicipalities, PlacesInUseTodayKeepTheirNames) {
  const std::map<std::string, std::pair<std::string, std::string>> known = {
      {"CESENA", {"C573", "FC"}},
      {"ROMA", {"H501", "RM"}},
      {"MILANO", {"F205", "MI"}},
      {"FORLI'", {"D704", "FC"}},
      {"FRANCIA", {"Z110", "EE"}},
      {"CANTU'", {"B639", "CO"}},
      {"CASTRO (BG)", {"C337", "BG"}},
      {"CASTRO (LE)", {"M261", "LE"}},
      {"PALAU", {"G258", "SS"}},
      {"PALAU (EE)", {"Z734", "EE"}},
      {"STATI UNITI D'AMERICA", {"Z404", "EE"}},
      {"CITTA' DELLA PIEVE", {"C744", "PG"}},  // stored in the wrong code page upstream
      {"CHATILLON", {"C294", "AO"}},
  };
  for (const auto& [name, expected] : known) {
    const std::optional<Place> today = On(name, "2026-12-07");
    ASSERT_TRUE(today.has_value()) << name;
    EXPECT_TRUE(today->until.empty()) << name;
    EXPECT_EQ(today->code, expected.first) << name;
    EXPECT_EQ(today->province, expected.second) << name;
  }
}

TEST_F(ShippedMunicipalities, TheBirthDateChoosesTheCode) {
  struct Case {
    std::string name, day, code;  // code empty: no record on that day
  };
  const std::vector<Case> cases = {
      {"MONTALCINO", "1975-03-15", "F402"},
      {"MONTALCINO", "2016-12-31", "F402"},
      {"MONTALCINO", "2017-01-01", "M378"},
      {"MONTALCINO", "2020-06-01", "M378"},
      {"LESSONA", "1934-05-10", "E552"},
      {"LESSONA", "2015-12-31", "E552"},
      {"LESSONA", "2016-01-01", "M371"},
      {"BELLAGIO", "2014-02-03", "A744"},
      {"BELLAGIO", "2014-02-04", "M335"},
      {"SOVIZZO", "2024-01-21", "I879"},
      {"SOVIZZO", "2024-01-22", "M436"},
      {"CORIGLIANO CALABRO", "1975-03-15", "D005"},
      {"CORIGLIANO CALABRO", "2018-03-31", ""},
      {"ROSSANO", "1975-03-15", "H579"},
      {"CORIGLIANO-ROSSANO", "1975-03-15", ""},
      {"CORIGLIANO-ROSSANO", "2018-03-31", "M403"},
      {"BAZZANO", "1975-03-15", "A726"},
      {"BAZZANO", "2014-01-01", ""},
      {"VALSAMOGGIA", "2014-01-01", "M320"},
      {"HONG KONG", "1985-03-03", "Z221"},
      {"MACAO", "1985-03-03", "Z231"},
      {"VIETNAM DEL SUD", "1970-01-01", "Z244"},
      {"VIETNAM DEL NORD", "1970-01-01", "Z245"},
      {"TANGANICA", "1960-01-01", "Z350"},
      {"ZANZIBAR", "1960-01-01", "Z356"},
      {"PUERTO RICO", "1990-01-01", "Z518"},
      {"GEORGIA (Z136)", "1993-01-01", "Z136"},
      {"ARMENIA (Z137)", "1993-01-01", "Z137"},
      {"UZBEKISTAN (Z143)", "1993-01-01", "Z143"},
      {"CECOSLOVACCHIA", "1980-01-01", "Z105"},
      {"CECOSLOVACCHIA", "1993-01-01", ""},
  };
  for (const Case& c : cases) {
    const std::optional<Place> found = On(c.name, c.day);
    if (c.code.empty()) {
      EXPECT_FALSE(found.has_value()) << c.name << " on " << c.day << " gives " << found->code;
    } else {
      ASSERT_TRUE(found.has_value()) << c.name << " on " << c.day;
      EXPECT_EQ(found->code, c.code) << c.name << " on " << c.day;
    }
  }
}

TEST_F(ShippedMunicipalities, MontalcinoIsOneNameWithTwoPeriods) {
  const std::vector<Place> montalcino = Named("MONTALCINO");
  ASSERT_EQ(montalcino.size(), 2u);
  EXPECT_EQ(montalcino[0].code, "F402");
  EXPECT_EQ(montalcino[0].until, "2016-12-31");
  EXPECT_EQ(montalcino[1].code, "M378");
  EXPECT_EQ(montalcino[1].from, "2017-01-01");
  EXPECT_EQ(montalcino[1].until, "");
  EXPECT_EQ(montalcino[0].province, "SI");
  EXPECT_EQ(montalcino[1].province, "SI");
}

}  // namespace
